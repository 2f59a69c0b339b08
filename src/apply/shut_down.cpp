#include "apply/shut_down.h"

#include "platform/privileges.h"

namespace vexa::ShutDown {

bool RequestReboot(Restart& restart) {
  EnablePrivileges(restart, {"SeShutdownPrivilege"});
  return restart.ExitWindowsEx(kEwxReboot | kEwxForce, 0);
}

}  // namespace vexa::ShutDown
