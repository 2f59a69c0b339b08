// What one machine must carry, derived from the typed machine number and config.ini.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/zones.h"
#include "platform/platform.h"

namespace vexa {

struct MachineSettings {
  std::int32_t MachineNumber = 0;
  std::wstring NumberText;  // the typed text, blanks around it removed, leading zeros kept
  std::wstring IpAddress;
  std::wstring SubnetMask;
  std::wstring DefaultGateway;
  std::wstring DnsServers;
  std::wstring HostName;
  std::wstring GameKey;
  // As read from config.ini, for the message that rejects an address made of them.
  std::wstring IpPrefix;
  std::wstring IpOffsetText;
  // The first key whose value filled the reader's buffer: the file's value was longer and was cut.
  std::wstring CutKey;
  // With zones, the zone and the keys its section sets: a refusal names the section a key stands in.
  std::wstring Zone;
  std::vector<std::wstring> ZoneKeys;
};

// Why a machine's settings cannot be written: the one verdict of every check, from the typed number to
// config.ini's values (None: nothing stands in the way).
enum class Refusal {
  None,
  NoTarget,  // the command line or the [Machines] table named no single machine
  Empty,
  OutOfRange,
  NoCard,
  NoConfig,  // a run without a window needs config.ini with a [NetWork] section
  BadIpAddress,
  BadHostName,
  BadMask,
  BadGateway,
  BadDns,
  CutValue,      // a value longer than the reader's buffer: what was read is not what the file says
  Unconfirmed,   // a value Windows would ask about, not confirmed (No in the window, no /force without it)
  NoLogLock,     // the log's lock could not be had (busy, or the cafe's log not reached): nothing is written
  BadConfig,     // config.ini cannot be used as it stands: a header read two ways, or its [Zones]
  NotSaved,      // what the machine held before could not be read or kept for /undo: nothing is written
  NothingSaved,  // /undo: the tool never changed this machine (or it was undone already)
};

struct MachineInput {
  Refusal verdict = Refusal::Empty;  // None, Empty or OutOfRange
  std::int32_t MachineNumber = 0;
  std::wstring NumberText;
};

// Reads the typed text: empty, outside the numbers config.ini allows, or the number and its text.
// zones: the numbers config.ini allows (without [Zones], 1 to 254).
MachineInput ValidateInput(const std::wstring& typed, const IniFile::Zones& zones = {});

// A number from the command line or the [Machines] table, taken only as the number box could hold it:
// ASCII digits, blanks around them trimmed, 1 to 254 as written ("007" stays "007"). Anything else is
// OutOfRange (or Empty).
MachineInput ReadMachineNumber(std::wstring_view text, const IniFile::Zones& zones = {});

// A message for the operator: the window shows it in a box, an unattended run writes it out.
struct Notice {
  std::wstring title;
  std::wstring text;
};
// The title of every refusal caused by config.ini.
inline constexpr std::wstring_view kConfigErrorTitle = L"Quorlis - 配置文件错误！";
// The title of every question asked before a write that Windows or the log gives cause to doubt.
inline constexpr std::wstring_view kConfirmTitle = L"Quorlis - 请确认";
Notice InputRejection(Refusal verdict, const IniFile::Zones& zones = {});
// config.ini that cannot be used as it stands (IniFile::Venue's problem), in the configuration box.
Notice ConfigRejection(const std::wstring& problem, const std::wstring& configPath);

// Every field but GameKey from the number and the plan of its zone (or [NetWork]'s), as the run read it.
MachineSettings DeriveSettings(const MachineInput& input, const IniFile::ZonePlan& plan);
// The game key of this machine from section CSCDK, into settings.GameKey.
void DeriveGameKey(Platform& platform, MachineSettings& settings, const std::wstring& iniPath);

// Windows cannot use a value: checked before anything is written. No value was cut; the address is a
// host's own in its subnet; the mask is a contiguous IPv4 mask; the gateway empty or one host of the
// subnet other than the machine; DNS empty or name servers separated by commas; every address four dotted
// parts of 0 to 255 without leading zeros. None, or the first of CutValue, BadIpAddress, BadHostName,
// BadMask, BadGateway, BadDns that applies.
Refusal CheckSettings(TextCodec& text, const MachineSettings& settings);
// configPath names the file; the text names the key, its value and the rule it breaks.
Notice SettingsRejection(TextCodec& text, Refusal verdict, const MachineSettings& settings,
                         const std::wstring& configPath);

// A value Windows can use but would ask about before saving it (a gateway outside the subnet): the
// question, or nothing. Asked only of settings CheckSettings passed.
std::optional<Notice> SettingsDoubt(const MachineSettings& settings);

// The game key written when config.ini has none for the machine: shaped like a key, never a real one.
inline constexpr std::wstring_view kDefaultGameKey = L"0000000000000";

}  // namespace vexa
