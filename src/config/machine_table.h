// The machine table of config.ini: each card's hardware address and the machine number it belongs to,
//   [Machines]
//   00-1A-2B-3C-4D-5E=15
// so that a cloned machine finds its own number without anyone typing it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/mac_address.h"
#include "config/config_file.h"

namespace vexa::IniFile {

struct MachineEntry {
  MacAddress address;
  std::wstring numberText;  // as written, read like a typed number
};

struct MachineTable {
  std::vector<MachineEntry> entries;
  std::vector<std::wstring> unreadable;  // lines whose key is no hardware address, or that have no '='
  std::vector<std::wstring> duplicates;  // lines that name an address an earlier line named
  int sections = 0;                      // [Machines] headers in the file: only the first is read
};

// Section Machines of config.ini, from the one read ConfigFile made: an entry per line whose key is a
// hardware address (an address written twice, in any spelling, gives two entries, the later one also
// listed in duplicates); the number is checked by whoever uses it.
MachineTable ReadMachineTable(const ConfigFile& config);

}  // namespace vexa::IniFile
