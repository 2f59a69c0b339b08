#include "config/machine_table.h"

#include "config/ini_file.h"

namespace vexa::IniFile {

MachineTable ReadMachineTable(Platform& platform, const std::wstring& path) {
  MachineTable table;
  for (const std::wstring& key : ReadIniKeys(platform, path, kMachines)) {
    const std::optional<MacAddress> address = ParseMac(key);
    if (!address) {
      table.badKeys.push_back(key);
      continue;
    }
    table.entries.push_back(MachineEntry{*address, ReadIniString(platform, path, kMachines, key, L"")});
  }
  return table;
}

}  // namespace vexa::IniFile
