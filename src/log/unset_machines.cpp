#include "log/unset_machines.h"

namespace vexa {

bool IsUnsetLine(const RunRecord& record) {
  return record.mode == RunMode::Auto && record.number.empty() && !record.machineGuid.empty() &&
         ExitCodeOfLine(record) != 0;
}

std::vector<const LogEntry*> UnsetMachines(const RunLog& log) {
  // A cafe has a few such machines at most: each looked up in order, kept in the order of its last line.
  std::vector<const LogEntry*> machines;
  for (const LogEntry& entry : log.entries) {
    const RunRecord& r = entry.record;
    const bool unset = IsUnsetLine(r);
    if (!unset && (r.machineGuid.empty() || !entry.Vouches())) continue;
    std::erase_if(machines, [&r](const LogEntry* e) { return e->record.machineGuid == r.machineGuid; });
    if (unset) machines.push_back(&entry);
  }
  return machines;
}

std::wstring UnsetReason(const RunRecord& record) {
  std::wstring_view reason = record.outcome;
  if (reason.starts_with(kRefusedOutcome)) reason.remove_prefix(kRefusedOutcome.size());
  return std::wstring(reason);
}

std::wstring UnsetMachineText(const LogEntry& entry) {
  const RunRecord& r = entry.record;
  return (r.hostName.empty() ? std::wstring(L"(名字未知)") : r.hostName) + L"(机器码 " + r.machineGuid + L") " +
         LogStamp(entry.time) + L": " + UnsetReason(r);
}

}  // namespace vexa
