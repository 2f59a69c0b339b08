#include "config/venue.h"

#include "common/text.h"

namespace vexa::IniFile {

namespace {

// Why a header is odd, and how to write it.
std::wstring OddHeaderReason(const OddHeader& odd) {
  const std::size_t close = odd.text.find(L']');
  if (close == std::wstring::npos) return L"缺少 ]:有的 Windows 把它当作节名写到行尾的节,有的根本不当作节。";
  if (close + 1 < odd.text.size()) {
    return L"] 后面还有字:有的 Windows 把节名读到第一个 ],有的读到最后一个 ]。注释请另起一行,以 ; 开头。";
  }
  return L"方括号里有空格:请写成 [" + odd.name + L"]。";
}

// The zone [Zones] names like the header, for the refusal to name it; "" when none does.
std::wstring ZoneNamed(const ConfigFile& config, const std::wstring& name) {
  const std::optional<std::wstring> zones = config.SectionText(kZones);
  if (!zones) return L"";
  for (const auto& [zone, range] : ParseIniLines(*zones).entries) {
    if (SameName(zone, name)) return std::wstring(zone);
  }
  return L"";
}

std::wstring OddHeaderProblem(const ConfigFile& config, const OddHeader& odd) {
  const std::wstring zone = ZoneNamed(config, odd.name);
  const std::wstring where = L"第 " + IntText(odd.line) + L" 行" + (zone.empty() ? L"" : L"(区 " + zone + L" 的节头)");
  return JoinLines({L"配置文件中的节头写法有误,请修改配置文件！", where + L": " + odd.text, OddHeaderReason(odd)});
}

// [Identity] MachineGuid= as written, or why it cannot be read (problem).
GuidRenewal ReadGuidRenewal(Platform& platform, const ConfigFile& config, std::wstring& problem) {
  const std::wstring value = ReadIniString(platform, config.ReadPath(), kIdentitySection, kMachineGuidKey, L"");
  if (value.empty()) return GuidRenewal::Twins;
  if (SameName(value, L"new")) return GuidRenewal::New;
  if (SameName(value, L"keep")) return GuidRenewal::Keep;
  problem = JoinLines({L"配置文件中的 [Identity] 有误,请修改配置文件！",
                       L"MachineGuid=" + value +
                           L":只能写 new(每台机器第一次写入时换新机器码)或 keep(从不换);不写时,日志显示本机与别的机器"
                           L"机器码相同(同一个镜像克隆)才换新。"});
  return GuidRenewal::Twins;
}

// [Startup] WaitSeconds= as written: whole seconds in digits, 0 to kLongestStartupWait; else problem.
std::uint32_t ReadStartupWait(Platform& platform, const ConfigFile& config, std::wstring& problem) {
  const std::wstring value = ReadIniString(platform, config.ReadPath(), kStartupSection, kWaitSecondsKey, L"");
  if (value.empty()) return kStartupWaitSeconds;
  std::uint32_t seconds = 0;
  bool digits = value.size() <= 3;
  for (const wchar_t c : value) {
    digits = digits && IsDigit(c);
    seconds = seconds * 10 + static_cast<std::uint32_t>(c - L'0');
  }
  if (digits && seconds <= kLongestStartupWait) return seconds;
  problem =
      JoinLines({L"配置文件中的 [Startup] 有误,请修改配置文件！",
                 L"WaitSeconds=" + value + L":开机时等网卡出现的秒数,只能写 0 到 " + IntText(kLongestStartupWait) +
                     L" 的整数(不写时为 " + IntText(kStartupWaitSeconds) + L")。"});
  return kStartupWaitSeconds;
}

}  // namespace

Venue ReadVenue(Platform& platform) {
  Venue venue{ConfigFile::Open(platform), {}, GuidRenewal::Twins, kStartupWaitSeconds, L""};
  if (const std::optional<OddHeader>& odd = venue.file.FirstOddHeader()) {
    venue.problem = OddHeaderProblem(venue.file, *odd);
    return venue;
  }
  venue.zones = ReadZones(platform, venue.file);
  if (!venue.zones.Ok()) {
    venue.problem = JoinLines({L"配置文件中的 [Zones] 有误,请修改配置文件！", venue.zones.problem});
    return venue;
  }
  venue.guidRenewal = ReadGuidRenewal(platform, venue.file, venue.problem);
  if (venue.Ok()) venue.startupWaitSeconds = ReadStartupWait(platform, venue.file, venue.problem);
  return venue;
}

}  // namespace vexa::IniFile
