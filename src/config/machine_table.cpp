#include "config/machine_table.h"

#include <algorithm>
#include <set>

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
