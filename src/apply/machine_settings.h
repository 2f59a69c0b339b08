// What one machine must carry, derived from the typed machine number and config.ini.
#pragma once

#include <cstdint>
#include <string>

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
};

// A refusal caused by what config.ini holds (the operator mends the file, not the input).
constexpr bool IsConfigurationRefusal(Refusal refusal) { return refusal >= Refusal::NoConfig; }

struct MachineInput {
  Refusal verdict = Refusal::Empty;  // None, Empty or OutOfRange
  std::int32_t MachineNumber = 0;
  std::wstring NumberText;
};

// Reads the typed text: empty, out of 1..254, or the number and its text.
MachineInput ValidateInput(const std::wstring& typed);

// A number from the command line or the [Machines] table, taken only as the number box could hold it:
// ASCII digits, blanks around them trimmed, 1 to 254 as written ("007" stays "007"). Anything else is
// OutOfRange (or Empty).
MachineInput ReadMachineNumber(std::wstring_view text);

// A message for the operator: the window shows it in a box, an unattended run writes it out.
struct Notice {
  std::wstring title;
  std::wstring text;
};
Notice InputRejection(Refusal verdict);

// Reads the NetWork section in its fixed order and derives every field but GameKey.
MachineSettings DeriveSettings(Platform& platform, const MachineInput& input, const std::wstring& iniPath);
// The game key of this machine from section CSCDK.
std::wstring DeriveGameKey(Platform& platform, std::int32_t machineNumber, const std::wstring& iniPath);

// Windows cannot use an address, the mask or the computer name: checked before anything is written. The
// mask is a contiguous IPv4 mask; the gateway empty or one address; DNS empty or addresses separated by
// commas; every address four dotted parts of 0 to 255.
// None, or the first of BadIpAddress, BadHostName, BadMask, BadGateway, BadDns that applies.
Refusal CheckSettings(TextCodec& text, const MachineSettings& settings);
// configPath names the file in the messages about a single key.
Notice SettingsRejection(Refusal verdict, const MachineSettings& settings, const std::wstring& configPath);

// Four dotted decimal parts of 0 to 255, up to three digits each.
bool IsDottedQuad(std::wstring_view address);

// The game key written when config.ini has none for the machine: shaped like a key, never a real one.
inline constexpr std::wstring_view kDefaultGameKey = L"0000000000000";

}  // namespace vexa
