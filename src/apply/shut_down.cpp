#include "apply/shut_down.h"

namespace vexa::ShutDown {

namespace {

// The process token, closed on every path out once it was opened.
class UniqueToken {
 public:
  explicit UniqueToken(Restart& restart) : restart_(restart) {}
  ~UniqueToken() {
    if (opened_) restart_.CloseHandle(handle_);
  }
  UniqueToken(const UniqueToken&) = delete;
  UniqueToken& operator=(const UniqueToken&) = delete;

  void Open(std::uintptr_t process, std::uint32_t access) {
    opened_ = restart_.OpenProcessToken(process, access, &handle_);
  }
  // Zero when the open failed: the next call works with it all the same.
  std::uintptr_t get() const { return handle_; }

 private:
  Restart& restart_;
  std::uintptr_t handle_ = 0;
  bool opened_ = false;
};

}  // namespace

void EnableShutdownPrivilege(Restart& restart) {
  UniqueToken token(restart);
  token.Open(restart.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery);
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
