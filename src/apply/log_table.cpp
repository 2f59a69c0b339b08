#include "apply/log_table.h"

#include <algorithm>
#include <map>
#include <vector>

#include "apply/machine_settings.h"
#include "apply/run_log.h"
#include "common/text.h"

namespace vexa {

namespace {

struct Address {
  std::wstring number;       // the last run that put the values in place; empty when none did
  std::wstring lastOutcome;  // time and outcome of the last run, for an address none of whose runs wrote
};

// Each address's last written number and last refusal, in the order the lines were logged.
std::map<std::wstring, Address> Addresses(const std::vector<std::vector<std::wstring>>& lines) {
  std::map<std::wstring, Address> addresses;
  constexpr std::size_t kAddressField = 7;
  constexpr std::size_t kTailField = 9;
  for (const auto& fields : lines) {
    if (fields.size() <= kAddressField || fields[kAddressField].rfind(L"地址=", 0) != 0) continue;
    const std::wstring address = fields[kAddressField].substr(3);
    if (address.empty()) continue;
    Address& entry = addresses[address];
    if (fields.size() > kTailField && fields[kTailField].rfind(address + L"=", 0) == 0) {
      entry.number = fields[kTailField].substr(address.size() + 1);
    } else {
      entry.lastOutcome = fields[0] + L" " + fields[2];
    }
  }
  return addresses;
}

}  // namespace

std::wstring TableFromLog(Platform& platform) {
  const std::map<std::wstring, Address> addresses = Addresses(ReadRunLogLines(platform));
  std::vector<std::pair<std::int32_t, std::wstring>> rows;  // number, line
  std::map<std::int32_t, std::vector<std::wstring>> byNumber;
  std::vector<std::wstring> refusedOnly;
  for (const auto& [address, entry] : addresses) {
    if (entry.number.empty()) {
      refusedOnly.push_back(L"; " + address + L" 没有一次写入成功,最后一次: " + entry.lastOutcome);
      continue;
    }
    const std::int32_t number = ReadMachineNumber(entry.number).MachineNumber;
    rows.emplace_back(number, address + L"=" + entry.number);
    byNumber[number].push_back(address);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::wstring> lines = {L"[Machines]"};
  for (auto& row : rows) lines.push_back(std::move(row.second));
  for (const auto& [number, list] : byNumber) {
    if (list.size() < 2) continue;
    lines.push_back(L"; 冲突: 机号 " + std::to_wstring(number) + L" 给了 " + std::to_wstring(list.size()) +
                    L" 个地址: " + JoinWith(list, L", "));
  }
  for (auto& line : refusedOnly) lines.push_back(std::move(line));
  return JoinWith(lines, L"\r\n");
}

}  // namespace vexa
