#include "config/machine_table.h"

#include <algorithm>
#include <vector>

#include "config/config_file.h"
#include "config/ini_file.h"

namespace vexa::IniFile {

MachineTable ReadMachineTable(const ConfigFile& config) {
  MachineTable table;
  table.sections = config.MachineSections();
  const IniLines section = ParseIniLines(config.MachinesText());
  table.unreadable.assign(section.unparsed.begin(), section.unparsed.end());
  auto line = [](std::wstring_view key, std::wstring_view number) {
    std::wstring text(key);
    text += L'=';
    text += number;
    return text;
  };
  std::vector<std::wstring_view> spelling;  // each entry's key as written, for naming a duplicate
  spelling.reserve(section.entries.size());
  table.entries.reserve(section.entries.size());
  for (const auto& [key, number] : section.entries) {
    if (const std::optional<MacAddress> address = ParseMac(key)) {
      table.entries.push_back(MachineEntry{*address, std::wstring(number)});
      spelling.push_back(key);
    } else {
      table.unreadable.push_back(line(key, number));
    }
  }
  // Addresses that more than one line names, found by sorting them as numbers (a table of any size is
  // read fast); then every line of such an address after its first, in file order.
  std::vector<std::uint64_t> numbers(table.entries.size());  // each entry's address as a number
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    for (std::uint8_t byte : table.entries[i].address) numbers[i] = numbers[i] << 8 | byte;
  }
  std::vector<std::uint64_t> sorted = numbers;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::uint64_t> repeated;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    if (sorted[i] == sorted[i - 1] && (repeated.empty() || repeated.back() != sorted[i])) repeated.push_back(sorted[i]);
  }
  std::vector<bool> seen(repeated.size(), false);
  for (std::size_t i = 0; i < table.entries.size() && !repeated.empty(); ++i) {
    const auto at = std::lower_bound(repeated.begin(), repeated.end(), numbers[i]);
    if (at == repeated.end() || *at != numbers[i]) continue;
    const auto place = static_cast<std::size_t>(at - repeated.begin());
    if (seen[place]) table.duplicates.push_back(line(spelling[i], table.entries[i].numberText));
    seen[place] = true;
  }
  return table;
}

}  // namespace vexa::IniFile
