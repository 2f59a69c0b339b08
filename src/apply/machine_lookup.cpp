#include "apply/machine_lookup.h"

#include <algorithm>

#include "apply/machine_settings.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "config/machine_table.h"

namespace vexa {

namespace {

using IniFile::MachineEntry;

// The machine number an entry gives, when it is one config.ini's zones allow.
std::optional<std::int32_t> NumberOf(const MachineEntry& entry, const IniFile::Zones& zones) {
  const MachineInput input = ReadMachineNumber(entry.numberText, zones);
  if (input.verdict != Refusal::None) return std::nullopt;
  return input.MachineNumber;
}

// Each entry's number, read once; 0 for one that cannot be read, whose line goes to unreadable.
std::vector<std::int32_t> NumbersOf(const IniFile::MachineTable& table, const IniFile::Zones& zones,
                                    std::vector<std::wstring>& unreadable) {
  unreadable = table.unreadable;
  std::vector<std::int32_t> numbers(table.entries.size());
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const MachineEntry& e = table.entries[i];
    numbers[i] = NumberOf(e, zones).value_or(0);
    if (numbers[i] == 0) unreadable.push_back(FormatMac(e.address) + L"=" + e.numberText);
  }
  return numbers;
}

// At most ten lines under a heading, then their count.
std::wstring Listed(const std::wstring& heading, const std::vector<std::wstring>& lines) {
  if (lines.empty()) return L"";
  constexpr std::size_t kShown = 10;
  std::wstring text = L"\r\n" + heading;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += L"\r\n  " + lines[i];
  if (lines.size() > kShown) text += L"\r\n  ……共 " + IntText(lines.size()) + L" 行";
  return text;
}

// The addresses that the table gives entry mine's number too, or mine's address itself when the table
// gives it another number as well. Entries whose number cannot be read (0) take no part.
std::vector<MacAddress> Conflicts(const std::vector<MachineEntry>& entries, const std::vector<std::int32_t>& numbers,
                                  std::size_t mine) {
  std::vector<MacAddress> others;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (numbers[i] == 0) continue;
    const bool sameAddress = entries[i].address == entries[mine].address;
    const bool clash = sameAddress ? numbers[i] != numbers[mine] : numbers[i] == numbers[mine];
    if (clash && std::find(others.begin(), others.end(), entries[i].address) == others.end()) {
      others.push_back(entries[i].address);
    }
  }
  return others;
}

std::wstring Joined(const std::vector<MacAddress>& addresses) {
  std::vector<std::wstring> texts;
  texts.reserve(addresses.size());
  for (const MacAddress& a : addresses) texts.push_back(FormatMac(a));
  return texts.empty() ? L"(无)" : JoinWith(texts, L", ");
}

std::wstring Reason(const MachineLookup& lookup) {
  switch (lookup.result) {
    case MachineLookup::Result::NoTable: return L"config.ini 中没有 [Machines] 机器表。";
    case MachineLookup::Result::EmptyTable: return L"config.ini 的 [Machines] 机器表是空的。";
    case MachineLookup::Result::NotListed:
      return L"本机网卡的地址不在 config.ini 的 [Machines] 中: " + Joined(lookup.addresses) +
             (lookup.waited > 0 ? L"(开机后等了 " + IntText(lookup.waited) + L" 秒)" : L"");
    case MachineLookup::Result::SeveralCards:
      return L"本机有多块网卡的地址在 [Machines] 中,请用 /n 和 /card 指定: " + Joined(lookup.addresses);
    case MachineLookup::Result::NumberConflict:
      return L"[Machines] 中同一个机号给了多个网卡地址(或同一个地址给了多个机号),请改正: " + Joined(lookup.addresses);
    case MachineLookup::Result::Found: break;
  }
  return L"";
}

}  // namespace

MachineLookup LookUpMachine(Platform& platform, const CardInventory& inventory, const IniFile::Venue& venue) {
  MachineLookup lookup;
  const IniFile::MachineTable table = IniFile::ReadMachineTable(venue.file);
  lookup.sections = table.sections;
  lookup.duplicates = table.duplicates;
  if (table.sections == 0) return lookup;
  if (table.entries.empty() && table.unreadable.empty()) {
    lookup.result = MachineLookup::Result::EmptyTable;
    return lookup;
  }
  const IniFile::Zones& zones = venue.zones;
  lookup.range = zones.RangeText();
  const std::vector<std::int32_t> numbers = NumbersOf(table, zones, lookup.unreadable);
  // The first entry of address whose number can be read (lines without one take no part); or the end.
  const auto entryOf = [&](const MacAddress& address) {
    std::size_t i = 0;
    while (i < numbers.size() && (numbers[i] == 0 || table.entries[i].address != address)) ++i;
    return i;
  };
  const std::vector<std::optional<MacAddress>> cards = CardAddresses(platform, inventory);  // asked once
  std::vector<std::int32_t> listed;
  for (std::size_t i = 0; i < cards.size(); ++i) {
    if (cards[i] && entryOf(*cards[i]) != numbers.size()) listed.push_back(static_cast<std::int32_t>(i));
  }
  if (listed.size() != 1) {
    lookup.result = listed.empty() ? MachineLookup::Result::NotListed : MachineLookup::Result::SeveralCards;
    for (std::size_t i = 0; i < cards.size(); ++i) {
      const bool wanted = listed.empty() || std::count(listed.begin(), listed.end(), static_cast<std::int32_t>(i));
      if (cards[i] && wanted) lookup.addresses.push_back(*cards[i]);
    }
    return lookup;
  }
  lookup.cardIndex = listed.front();
  const MacAddress address = *cards[static_cast<std::size_t>(lookup.cardIndex)];
  const std::size_t mine = entryOf(address);
  const std::vector<MacAddress> others = Conflicts(table.entries, numbers, mine);
  if (!others.empty()) {
    lookup.result = MachineLookup::Result::NumberConflict;
    lookup.addresses.push_back(address);
    for (const MacAddress& a : others) {
      if (a != address) lookup.addresses.push_back(a);
    }
    return lookup;
  }
  lookup.result = MachineLookup::Result::Found;
  lookup.number = ReadMachineNumber(table.entries[mine].numberText, zones);
  return lookup;
}

MachineLookup WaitForMachine(Platform& platform, CardInventory& inventory, const IniFile::Venue& venue) {
  constexpr std::uint32_t kStep = 1000;
  const std::uint64_t start = platform.system.MillisecondsSinceBoot();
  const std::uint64_t deadline = start + std::uint64_t{venue.startupWaitSeconds} * kStep;
  MachineLookup lookup = LookUpMachine(platform, inventory, venue);
  while (lookup.result == MachineLookup::Result::NotListed && platform.system.MillisecondsSinceBoot() < deadline) {
    platform.system.Sleep(kStep);
    EnumNetworkCards(platform, inventory);
    lookup = LookUpMachine(platform, inventory, venue);
  }
  lookup.waited = static_cast<std::uint32_t>((platform.system.MillisecondsSinceBoot() - start) / kStep);
  return lookup;
}

std::wstring LookupNote(const MachineLookup& lookup) {
  if (lookup.sections < 2) return L"";
  return L"注意: config.ini 中有 " + IntText(lookup.sections) +
         L" 个 [Machines] 节,Windows 只读第一个,其余节里的行没有用到。";
}

std::wstring LookupRefusal(const MachineLookup& lookup) {
  std::wstring reason = Reason(lookup);
  reason += Listed(L"[Machines] 中无法读取的行(需要 网卡地址=" + lookup.range + L" 的机号):", lookup.unreadable);
  reason += Listed(L"[Machines] 中重复的地址:", lookup.duplicates);
  if (const std::wstring note = LookupNote(lookup); !note.empty()) reason += L"\r\n" + note;
  return reason;
}

}  // namespace vexa
