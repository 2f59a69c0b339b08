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

enum class InputVerdict { Accepted, Empty, OutOfRange };

struct MachineInput {
  InputVerdict verdict = InputVerdict::Empty;
  std::int32_t MachineNumber = 0;
  std::wstring NumberText;
};

// Reads the typed text: empty, out of 1..254, or the number and its text.
MachineInput ValidateInput(const std::wstring& typed);

// A message for the operator: the window shows it in a box, an unattended run writes it out.
struct Notice {
  std::wstring title;
  std::wstring text;
};
Notice InputRejection(InputVerdict verdict);

// Reads the NetWork section in its fixed order and derives every field but GameKey.
MachineSettings DeriveSettings(Platform& platform, const MachineInput& input, const std::wstring& iniPath);
// The game key of this machine from section CSCDK.
std::wstring DeriveGameKey(Platform& platform, std::int32_t machineNumber, const std::wstring& iniPath);

enum class SettingsVerdict { Valid, BadIpAddress, BadHostName };

// Windows cannot use the address or the computer name: checked before anything is written.
SettingsVerdict CheckSettings(TextCodec& text, const MachineSettings& settings);
Notice SettingsRejection(SettingsVerdict verdict, const MachineSettings& settings);

// The game key written when config.ini has none for the machine: shaped like a key, never a real one.
inline constexpr std::wstring_view kDefaultGameKey = L"0000000000000";

}  // namespace vexa
