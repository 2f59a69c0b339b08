#include "apply/shut_down.h"

namespace vexa::ShutDown {

void EnableShutdownPrivilege(Restart& restart) {
  std::uintptr_t process = restart.GetCurrentProcess();
  std::uintptr_t token = 0;
  bool opened = restart.OpenProcessToken(process, kTokenAdjustPrivileges | kTokenQuery, &token);
  Luid luid;
  restart.LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid);

  PrivilegeRecord newState{};
  newState.PrivilegeCount = 1;
  newState.Privileges[0].LowPart = luid.LowPart;
  newState.Privileges[0].HighPart = luid.HighPart;
  newState.Privileges[0].Attributes = kSePrivilegeEnabled;
  PrivilegeRecord previousState{};
  std::uint32_t returnLength = 0;
  restart.AdjustTokenPrivileges(token, false, &newState, sizeof(PrivilegeRecord), &previousState, &returnLength);
  if (opened) restart.CloseHandle(token);
}

bool RequestReboot(Restart& restart) {
  EnableShutdownPrivilege(restart);
  return restart.ExitWindowsEx(kEwxReboot | kEwxForce, 0);
}

}  // namespace vexa::ShutDown
