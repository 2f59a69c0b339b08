#include "apply/shut_down.h"

#include "platform/owned.h"

namespace vexa::ShutDown {

void EnableShutdownPrivilege(Restart& restart) {
  // Zero when the open fails: the next calls work with it all the same.
  std::uintptr_t opened = 0;
  if (!restart.OpenProcessToken(restart.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery, &opened)) opened = 0;
  const UniqueToken token(restart, opened);
  Luid luid;
  restart.LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid);

  PrivilegeRecord newState{};
  newState.PrivilegeCount = 1;
  newState.Privileges[0].LowPart = luid.LowPart;
  newState.Privileges[0].HighPart = luid.HighPart;
  newState.Privileges[0].Attributes = kSePrivilegeEnabled;
  PrivilegeRecord previousState{};
  std::uint32_t returnLength = 0;
  restart.AdjustTokenPrivileges(token.get(), false, &newState, sizeof(PrivilegeRecord), &previousState, &returnLength);
}

bool RequestReboot(Restart& restart) {
  EnableShutdownPrivilege(restart);
  return restart.ExitWindowsEx(kEwxReboot | kEwxForce, 0);
}

}  // namespace vexa::ShutDown
