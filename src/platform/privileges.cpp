#include "platform/privileges.h"

#include "platform/owned.h"

namespace vexa {

void EnablePrivileges(Restart& restart, std::initializer_list<const char*> names) {
  // Zero when the open fails: the next calls work with it all the same.
  std::uintptr_t opened = 0;
  if (!restart.OpenProcessToken(restart.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery, &opened)) opened = 0;
  const UniqueToken token(restart, opened);
  PrivilegeRecord newState{};
  for (const char* name : names) {
    if (newState.PrivilegeCount == 2) break;  // the record's room
    Luid luid;
    restart.LookupPrivilegeValueA("", name, &luid);
    PrivilegeRecord::Entry& entry = newState.Privileges[newState.PrivilegeCount++];
    entry = {luid.LowPart, luid.HighPart, kSePrivilegeEnabled};
  }
  PrivilegeRecord previousState{};
  std::uint32_t returnLength = 0;
  restart.AdjustTokenPrivileges(token.get(), false, &newState, sizeof(PrivilegeRecord), &previousState, &returnLength);
}

}  // namespace vexa
