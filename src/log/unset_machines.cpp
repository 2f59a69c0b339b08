#include "log/unset_machines.h"

#include <algorithm>
#include <map>

namespace vexa {

bool IsUnsetLine(const RunRecord& record) {
  return record.mode == RunMode::Auto && record.number.empty() && !record.machineGuid.empty() &&
         ExitCodeOfLine(record) != 0;
}

std::vector<const LogEntry*> UnsetMachines(const RunLog& log) {
  std::map<std::wstring, const LogEntry*> open;  // by MachineGuid print
  for (const LogEntry& entry : log.entries) {
    const RunRecord& r = entry.record;
    if (IsUnsetLine(r)) {
      open[r.machineGuid] = &entry;
    } else if (!r.machineGuid.empty() && entry.Vouches()) {
      open.erase(r.machineGuid);
    }
  }
  std::vector<const LogEntry*> machines;
  machines.reserve(open.size());
  for (const auto& [print, entry] : open) machines.push_back(entry);
  std::stable_sort(machines.begin(), machines.end(),
                   [](const LogEntry* a, const LogEntry* b) { return SecondsOf(a->time) < SecondsOf(b->time); });
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
