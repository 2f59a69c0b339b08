// The machine table of config.ini: each card's hardware address and the machine number it belongs to,
//   [Machines]
//   00-1A-2B-3C-4D-5E=15
// so that a cloned machine finds its own number without anyone typing it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/mac_address.h"
#include "platform/platform.h"

namespace vexa::IniFile {

inline constexpr std::wstring_view kMachines = L"Machines";

struct MachineEntry {
  MacAddress address;
  std::wstring numberText;  // as written, read like a typed number
};

struct MachineTable {
  std::vector<MachineEntry> entries;
  std::vector<std::wstring> unreadable;  // "key=value" of lines whose key is no hardware address
};

// Section Machines of config.ini (path as ConfigFile gives it): an entry per line whose key is a hardware
// address; the number is checked by whoever uses it.
MachineTable ReadMachineTable(Platform& platform, const std::wstring& path);

}  // namespace vexa::IniFile
