#include "cafe/log_table.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "cafe/seats.h"
#include "common/mac_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "log/machine_twins.h"

namespace vexa {

std::wstring TableFromLog(const RunLog& log, const IniFile::Zones& zones) {
  std::vector<std::pair<int, std::wstring>> rows;  // number, line
  std::map<int, std::vector<std::wstring>> byNumber;
  std::vector<std::wstring> notes;
  const std::map<std::wstring, AddressHistory> addresses = AddressesOf(log);
  for (const auto& [address, history] : addresses) {
    if (history.last == nullptr) continue;  // only looked at (/check): no run to speak of
    // A key config.ini's [Machines] could never match, or one that would break the line it is on.
    const std::optional<MacAddress> mac = ParseCardAddress(address);
    if (!mac) {
      notes.push_back(L"; 没有列出 " + address + L": 不是网卡的地址(组播、广播、全 0 或不是 6 个十六进制字节)");
      continue;
    }
    const std::wstring key = FormatMac(*mac);
    if (history.lastVouch == nullptr && EndsClaim(*history.last)) {
      notes.push_back(L"; " + key + L" 已撤销(" + LogStamp(history.last->time) +
                      L" 的 /undo 恢复了原来的设置),不再占用机号 " + history.last->record.number);
      continue;
    }
    if (history.lastVouch == nullptr) {
      const RunRecord& last = history.last->record;
      notes.push_back(L"; " + key + L" 没有一行可作依据(写入全部成功、机号有效),最后一次: " +
                      LogStamp(history.last->time) + L" " + last.outcome + L", 机号 " + last.number);
      continue;
    }
    const std::wstring& number = history.lastVouch->record.number;
    const int value = *MachineNumberOf(number, kLastZonedMachine);
    if (!zones.Allows(value)) {
      notes.push_back(L"; 没有列出 " + JoinWith({key, number}, L"=") + L": 机号不在 config.ini 允许的 " +
                      zones.RangeText() + L" 中");
      continue;
    }
    rows.emplace_back(value, JoinWith({key, number}, L"="));
    byNumber[value].push_back(key);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::wstring> lines = {L"[Machines]"};
  for (auto& row : rows) lines.push_back(std::move(row.second));
  for (const auto& [number, list] : byNumber) {
    if (list.size() < 2) continue;
    lines.push_back(L"; 冲突: 机号 " + IntText(number) + L" 给了 " + IntText(list.size()) + L" 个地址: " +
                    JoinWith(list, L", "));
  }
  for (auto& line : notes) lines.push_back(std::move(line));
  const std::vector<std::vector<int>> shared = SeatsSharingSid(addresses);
  for (const std::vector<int>& group : shared) lines.push_back(L"; 共用一个机器 SID 的机号: " + NumbersText(group));
  if (!shared.empty()) lines.push_back(L"; " + std::wstring(kSharedSidMeaning));
  for (const LogEntry* entry : UnsetMachines(log))
    lines.push_back(L"; 没能自动设置的机器: " + UnsetMachineText(*entry));
  return JoinWith(lines, L"\r\n");
}

}  // namespace vexa
