#include "config/machine_table.h"

#include <set>

#include "config/config_file.h"
#include "config/ini_file.h"

namespace vexa::IniFile {

MachineTable ReadMachineTable(Platform& platform, const std::wstring& path) {
  MachineTable table;
  table.sections = SectionCount(platform, path, "Machines");
  if (table.sections == 0) return table;
  IniSection section = ReadIniSection(platform, path, kMachines);
  table.unreadable = std::move(section.unparsed);
  std::set<MacAddress> seen;
  for (const auto& [key, number] : section.entries) {
    const std::optional<MacAddress> address = ParseMac(key);
    std::wstring line = key;
    line += L'=';
    line += number;
    if (!address) {
      table.unreadable.push_back(std::move(line));
      continue;
    }
    if (!seen.insert(*address).second) table.duplicates.push_back(std::move(line));
    table.entries.push_back(MachineEntry{*address, number});
  }
  return table;
}

}  // namespace vexa::IniFile
