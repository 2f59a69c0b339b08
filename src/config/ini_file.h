// Module IniFile: where config.ini lies; one value, and a section's key names, read through Windows' reader;
// a section's lines parsed as that reader reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vexa::IniFile {

inline constexpr std::wstring_view kNetWork = L"NetWork";

// A key of [NetWork] and the value a run takes when config.ini has none.
struct KeyDefault {
  std::wstring_view key;
  std::wstring_view fallback;
};
inline constexpr KeyDefault kIp{L"IP", L"192.168.0"};
inline constexpr KeyDefault kIpOffset{L"IPOffset", L"0"};
inline constexpr KeyDefault kMask{L"Mask", L"255.255.255.0"};
inline constexpr KeyDefault kGateWay{L"GateWay", L"192.168.0.1"};
inline constexpr KeyDefault kDns{L"DNS", L"192.168.0.1"};  // the same text as the gateway's default
inline constexpr KeyDefault kNetPrefix{L"NetPrefix", L""};
// All of them, in the order the page shows them.
inline constexpr KeyDefault kNetWorkKeys[] = {kIp, kIpOffset, kMask, kGateWay, kDns, kNetPrefix};
inline constexpr std::wstring_view kCsCdk = L"CSCDK";
inline constexpr std::wstring_view kMachines = L"Machines";
// [Log] Folder=: where the shared log lives when not beside config.ini.
inline constexpr std::wstring_view kLogSection = L"Log";
inline constexpr std::wstring_view kLogFolderKey = L"Folder";
// [Wake] PerSecond=: how many seats /wake wakes a second.
inline constexpr std::wstring_view kWakeSection = L"Wake";
// [Identity] MachineGuid=: when a run gives the machine a new MachineGuid (config/venue.h).
inline constexpr std::wstring_view kIdentitySection = L"Identity";
inline constexpr std::wstring_view kMachineGuidKey = L"MachineGuid";
// [Startup] WaitSeconds=: how long the start-up run waits for its card (config/venue.h).
inline constexpr std::wstring_view kStartupSection = L"Startup";
inline constexpr std::wstring_view kWaitSecondsKey = L"WaitSeconds";

// config.ini in the executable's folder; a backslash is put between only when the folder lacks one.
std::wstring ConfigPath(Platform& platform);
std::wstring ConfigPathIn(std::wstring directory);

// The reader's buffer for one value, its NUL included: a longer value comes back cut to one byte less.
inline constexpr std::uint32_t kValueBufferSize = 254;

// The value of key in section, or defaultValue; cut at its first NUL, blanks and controls around it
// removed. path is config.ini or the copy ConfigFile gives (config_file.h).
std::wstring ReadIniString(Platform& platform, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, std::wstring_view defaultValue);

// The same value, and whether it filled the reader's buffer: the file's value was longer and was cut.
struct IniValue {
  std::wstring text;
  bool cut = false;
};
IniValue ReadIniValue(Platform& platform, const std::wstring& path, std::wstring_view section, std::wstring_view key,
                      std::wstring_view defaultValue);

// Blank, TAB and VT gone from both ends: what Windows' reader trims around a line, a section's name, a
// key and a value.
std::wstring_view TrimReaderBlanks(std::wstring_view text);

// The lines of one section's text (ConfigFile::MachinesText) as the reader reads each of them:
// "key=value" split at its first '=', both sides trimmed and a value's one pair of matching quotes
// removed, as ReadIniString reads the value; a key's lines all kept, in file order (ReadIniString gives
// the first). Lines without '=' are left in unparsed; comment lines (';') are skipped. Every CR or LF
// ends a line. The views point into text.
struct IniLines {
  std::vector<std::pair<std::wstring_view, std::wstring_view>> entries;
  std::vector<std::wstring_view> unparsed;
};
IniLines ParseIniLines(std::wstring_view text);

// The names of the keys in section that have a value ("name=..."), in file order, duplicates included.
std::vector<std::wstring> ReadIniKeys(Platform& platform, const std::wstring& path, std::wstring_view section);

}  // namespace vexa::IniFile
