#include "config/machine_table.h"

#include "config/ini_file.h"

namespace vexa::IniFile {

MachineTable ReadMachineTable(Platform& platform, const std::wstring& path) {
  MachineTable table;
  for (const std::wstring& key : ReadIniKeys(platform, path, kMachines)) {
    const std::wstring number = ReadIniString(platform, path, kMachines, key, L"");
    if (const std::optional<MacAddress> address = ParseMac(key)) {
      table.entries.push_back(MachineEntry{*address, number});
    } else {
      table.unreadable.push_back(key + L"=" + number);
    }
  }
  return table;
}

}  // namespace vexa::IniFile
