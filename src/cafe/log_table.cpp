#include "cafe/log_table.h"

#include <algorithm>
#include <map>
#include <vector>

#include "cafe/seats.h"
#include "common/machine_number.h"
#include "common/text.h"

namespace vexa {

std::wstring TableFromLog(const RunLog& log) {
  std::vector<std::pair<int, std::wstring>> rows;  // number, line
  std::map<int, std::vector<std::wstring>> byNumber;
  std::vector<std::wstring> neverVouched;
  for (const auto& [address, history] : AddressesOf(log)) {
    if (history.lastVouch == nullptr) {
      neverVouched.push_back(L"; " + address + L" 没有一次写入成功,最后一次: " + LogStamp(history.last->time) + L" " +
                             history.last->record.outcome);
      continue;
    }
    const std::wstring& number = history.lastVouch->record.number;
    const int value = *MachineNumberOf(number);
    rows.emplace_back(value, JoinWith({address, number}, L"="));
    byNumber[value].push_back(address);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::wstring> lines = {L"[Machines]"};
  for (auto& row : rows) lines.push_back(std::move(row.second));
  for (const auto& [number, list] : byNumber) {
    if (list.size() < 2) continue;
    lines.push_back(L"; 冲突: 机号 " + std::to_wstring(number) + L" 给了 " + std::to_wstring(list.size()) +
                    L" 个地址: " + JoinWith(list, L", "));
  }
  for (auto& line : neverVouched) lines.push_back(std::move(line));
  return JoinWith(lines, L"\r\n");
}

}  // namespace vexa
