// Module ShutDown: the forced reboot that makes the written settings take effect.
#pragma once

#include "platform/platform.h"

namespace vexa::ShutDown {

// Enables SeShutdownPrivilege and asks for a forced reboot; true when Windows accepted the request.
bool RequestReboot(Restart& restart);

}  // namespace vexa::ShutDown
