// The privileges a call needs enabled in the running process's token (a forced restart, mounting a hive).
#pragma once

#include <initializer_list>

#include "platform/platform.h"

namespace vexa {

// Enables up to two privileges ("SeShutdownPrivilege") in the token of the running process. Results are
// not examined: a step that fails leaves the next one working with zeros, and the call that needs the
// privilege says whether it was held.
void EnablePrivileges(Restart& restart, std::initializer_list<const char*> names);

}  // namespace vexa
