// Module ShutDown: the forced reboot that makes the written settings take effect.
#pragma once

#include "platform/platform.h"

namespace vexa::ShutDown {

// Enables SeShutdownPrivilege in the token of the running process. Results are not examined: a step that
// fails leaves the next one working with zeros.
void EnableShutdownPrivilege(Restart& restart);

// Enables the privilege and asks for a forced reboot; true when Windows accepted the request.
bool RequestReboot(Restart& restart);

}  // namespace vexa::ShutDown
