#include "config/machine_table.h"

#include <algorithm>
#include <vector>

#include "config/config_file.h"
#include "config/ini_file.h"

namespace vexa::IniFile {

MachineTable ReadMachineTable(Platform& platform, const ConfigFile& config) {
  MachineTable table;
  table.sections = config.MachineSections();
  if (table.sections == 0) return table;
  // The section's list is never longer than the file: one call of the reader with a buffer that fits.
  const std::string path = platform.text.ToAnsi(config.TablePath());
  const auto size =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(platform.files.FileSize(path.c_str()).value_or(0), 1u << 26));
  IniSection section = ReadIniSection(platform, config.TablePath(), kMachines, size + 2);
  table.unreadable = std::move(section.unparsed);
  auto line = [](const std::wstring& key, const std::wstring& number) {
    std::wstring text = key;
    text += L'=';
    text += number;
    return text;
  };
  std::vector<std::wstring> spelling;  // each entry's key as written, for naming a duplicate
  for (auto& [key, number] : section.entries) {
    if (const std::optional<MacAddress> address = ParseMac(key)) {
      table.entries.push_back(MachineEntry{*address, std::move(number)});
      spelling.push_back(std::move(key));
    } else {
      table.unreadable.push_back(line(key, number));
    }
  }
  // An address that an earlier line named already: sorted, so that a table of any size is read fast.
  const auto& entries = table.entries;
  std::vector<std::pair<std::uint64_t, std::size_t>> order(entries.size());  // the address as a number, index
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::uint64_t number = 0;
    for (std::uint8_t byte : entries[i].address) number = number << 8 | byte;
    order[i] = {number, i};
  }
  std::sort(order.begin(), order.end());
  std::vector<std::size_t> repeated;
  for (std::size_t i = 1; i < order.size(); ++i) {
    if (order[i].first == order[i - 1].first) repeated.push_back(order[i].second);
  }
  std::sort(repeated.begin(), repeated.end());
  for (std::size_t i : repeated) table.duplicates.push_back(line(spelling[i], entries[i].numberText));
  return table;
}

}  // namespace vexa::IniFile
