#include "apply/machine_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "apply/lenient_number.h"
#include "common/decimal.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "config/ini_file.h"

namespace vexa {

namespace {

constexpr std::wstring_view kForbiddenInHostName = L"\"/\\[]:|<>+=;,?*";
constexpr std::size_t kMaxHostNameBytes = 15;

// What broke a rule, and which: the one finding behind a refusal and its text.
struct Finding {
  Refusal refusal = Refusal::None;
  AddressFault fault = AddressFault::Fine;
  std::wstring value;  // the address that broke it, when one of a list or a derived one
};

// The first server of a list that Windows could not use; blanks around each allowed, as Windows reads
// the list. An empty list is fine.
Finding DnsFinding(std::wstring_view list, std::uint32_t ip, std::uint32_t mask) {
  if (list.empty()) return {};
  for (std::size_t start = 0;;) {
    const std::size_t end = list.find(L',', start);
    const std::wstring server = TrimBlanks(list.substr(start, end == std::wstring_view::npos ? end : end - start));
    const AddressFault fault = NameServerFault(server, ip, mask);
    if (fault != AddressFault::Fine) return {Refusal::BadDns, fault, server};
    if (end == std::wstring_view::npos) return {};
    start = end + 1;
  }
}

// Blanks of every width: the ASCII controls and blank, NBSP, the typographic spaces, the full-width blank.
bool IsBlankOfAnyWidth(wchar_t c) {
  return c <= L' ' || c == 0x7F || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

bool IsValidHostName(TextCodec& text, const std::wstring& name) {
  if (name.empty() || text.ToAnsi(name).size() > kMaxHostNameBytes) return false;
  for (wchar_t c : name) {
    if (IsBlankOfAnyWidth(c) || kForbiddenInHostName.find(c) != std::wstring_view::npos) return false;
  }
  return true;
}

}  // namespace

MachineInput ReadMachineNumber(std::wstring_view text, const IniFile::Zones& zones) {
  MachineInput input;
  input.NumberText = TrimBlanks(text);
  if (input.NumberText.empty()) return input;
  const std::optional<int> number = MachineNumberOf(input.NumberText, kLastZonedMachine);
  const bool allowed = number && zones.Allows(*number);
  input.verdict = allowed ? Refusal::None : Refusal::OutOfRange;
  input.MachineNumber = allowed ? *number : 0;
  return input;
}

MachineInput ValidateInput(const std::wstring& typed, const IniFile::Zones& zones) {
  MachineInput input;
  if (typed.empty()) return input;
  double number = RoundHalfEven(LenientNumber(typed));
  input.NumberText = TrimBlanks(typed);
  if (!(number >= kFirstMachine && number <= kLastZonedMachine) || !zones.Allows(static_cast<int>(number))) {
    input.verdict = Refusal::OutOfRange;
    return input;
  }
  input.verdict = Refusal::None;
  input.MachineNumber = static_cast<std::int32_t>(number);
  return input;
}

Notice InputRejection(Refusal verdict, const IniFile::Zones& zones) {
  if (verdict == Refusal::Empty) return {L"Quorlis - 出现错误！", L"请输入本机号,在按回车键呀！！"};
  return {L"Quorlis - 机器号输入错误！", L"请输入" + zones.RangeText() + L"的数字,或者修改配置文件！"};
}

Notice ConfigRejection(const std::wstring& problem, const std::wstring& configPath) {
  return {std::wstring(kConfigErrorTitle), JoinLines({problem, L"文件: " + configPath})};
}

MachineSettings DeriveSettings(const MachineInput& input, const IniFile::ZonePlan& plan) {
  MachineSettings s;
  s.MachineNumber = input.MachineNumber;
  s.NumberText = input.NumberText;
  s.CutKey = plan.cutKey;
  s.Zone = plan.name;
  s.ZoneKeys = plan.keys;
  s.IpOffsetText = plan.ipOffset;
  s.IpPrefix = plan.ip;
  // An offset that is no number leaves the address without its last part; CheckSettings refuses it.
  s.IpAddress = plan.AddressOf(s.MachineNumber);
  s.SubnetMask = plan.mask;
  s.DefaultGateway = plan.gateway;
  s.DnsServers = plan.dns;
  for (wchar_t c : plan.prefix + s.NumberText) {
    if (c != L'\0') s.HostName.push_back(c);
  }
  return s;
}

void DeriveGameKey(Platform& platform, MachineSettings& settings, const std::wstring& iniPath) {
  const std::wstring key = L"CDKey" + IntText(settings.MachineNumber);
  IniFile::IniValue value = IniFile::ReadIniValue(platform, iniPath, IniFile::kCsCdk, key, kDefaultGameKey);
  if (value.cut && settings.CutKey.empty()) settings.CutKey = key;
  settings.GameKey = std::move(value.text);
}

namespace {

// The first rule the settings break, in the order CheckSettings names.
Finding Find(TextCodec& text, const MachineSettings& s) {
  if (!s.CutKey.empty()) return {Refusal::CutValue, AddressFault::Fine, s.CutKey};
  const Ipv4 ip = ParseIpv4(s.IpAddress);
  if (!StrictDecimal(s.IpOffsetText) || !ip.ok()) {
    return {Refusal::BadIpAddress, StrictDecimal(s.IpOffsetText) ? ip.fault : AddressFault::NotAnAddress, L""};
  }
  if (const std::optional<std::size_t> at = text.FirstUnmappable(s.HostName)) {
    return {Refusal::BadHostName, AddressFault::Fine, UnmappableName(s.HostName, *at)};
  }
  if (!IsValidHostName(text, s.HostName)) return {Refusal::BadHostName};
  const Ipv4 mask = ParseMask(s.SubnetMask);
  if (!mask.ok()) return {Refusal::BadMask, mask.fault, L""};
  if (const AddressFault fault = HostAddressFault(ip.bits, mask.bits); fault != AddressFault::Fine) {
    return {Refusal::BadIpAddress, fault, L""};
  }
  if (!s.DefaultGateway.empty()) {
    const AddressFault fault = GatewayFault(s.DefaultGateway, ip.bits, mask.bits);
    if (fault != AddressFault::Fine && fault != AddressFault::OutsideSubnet) return {Refusal::BadGateway, fault, L""};
  }
  return DnsFinding(s.DnsServers, ip.bits, mask.bits);
}

// A key as a refusal names it: with zones, in the section it stands in ("[二楼] GateWay").
std::wstring KeyName(const MachineSettings& s, std::wstring_view key) {
  if (s.Zone.empty()) return std::wstring(key);
  const bool own =
      std::any_of(s.ZoneKeys.begin(), s.ZoneKeys.end(), [key](const std::wstring& set) { return SameName(set, key); });
  return L"[" + (own ? s.Zone : std::wstring(IniFile::kNetWork)) + L"] " + std::wstring(key);
}

// The rule an address breaks, as one line of a refusal.
std::wstring RuleText(const Finding& finding, const MachineSettings& s) {
  const Ipv4 ip = ParseIpv4(s.IpAddress);
  const Ipv4 mask = ParseMask(s.SubnetMask);
  const std::wstring subnet = SubnetText(ip.bits, mask.bits);
  const std::wstring& value = finding.value;
  const std::wstring use = finding.refusal == Refusal::BadGateway ? L",不能用作网关。"
                           : finding.refusal == Refusal::BadDns   ? L",不能用作 DNS 服务器。"
                                                                  : L",不能用作计算机的地址。";
  switch (finding.fault) {
    case AddressFault::LeadingZero:
      return value + L" 中有以 0 开头的数(如 08、010、00):Windows 会把它当作八进制数读,请去掉开头的 0。";
    case AddressFault::ThisNetwork: return value + L" 在 0.0.0.0/8 中(表示\"本网络\")" + use;
    case AddressFault::Loopback: return value + L" 在 127.0.0.0/8 中(本机回环地址)" + use;
    case AddressFault::Multicast: return value + L" 在 224.0.0.0 及以上(组播或保留地址)" + use;
    case AddressFault::NetworkAddress: return value + L" 是子网 " + subnet + L" 的网络地址" + use;
    case AddressFault::Broadcast: return value + L" 是子网 " + subnet + L" 的广播地址" + use;
    case AddressFault::OwnAddress: {
      // A seat planned on the gateway: the fix is in config.ini, a gateway no seat takes or an offset.
      const std::wstring spare = DottedText((ip.bits | ~mask.bits) - 1);
      return L"默认网关不能是本机自己的 IP 地址 " + s.IpAddress + L":机号 " + s.NumberText +
             L" 算出的地址就是网关。请把 GateWay 改成没有机位使用的地址(例如 " + spare +
             L"),或修改 IPOffset 让机位避开网关。";
    }
    case AddressFault::NoServer: return value + L" 不是 DNS 服务器的地址。";
    case AddressFault::Fine:
    case AddressFault::NotAnAddress:
    case AddressFault::OutsideSubnet: break;
  }
  return L"";
}

std::wstring HostNameRule() {
  std::wstring symbols;
  for (wchar_t c : kForbiddenInHostName) {
    if (!symbols.empty()) symbols.push_back(L' ');
    symbols.push_back(c);
  }
  return L"计算机名最多 " + IntText(kMaxHostNameBytes) +
         L" 个字节(一个汉字占 2 个字节),不能含有空格(全角空格也不行)和下列符号:\r\n" + symbols;
}

}  // namespace

Refusal CheckSettings(TextCodec& text, const MachineSettings& settings) { return Find(text, settings).refusal; }

Notice SettingsRejection(TextCodec& text, Refusal verdict, const MachineSettings& settings,
                         const std::wstring& configPath) {
  const std::wstring title(kConfigErrorTitle);
  const std::wstring file = L"文件: " + configPath;
  Finding finding = Find(text, settings);
  if (finding.refusal != verdict) finding = {verdict};
  std::vector<std::wstring> lines;
  auto badKey = [&](std::wstring_view what, std::wstring_view key, const std::wstring& value) {
    if (finding.value.empty()) finding.value = value;
    lines = {L"配置文件中的 " + std::wstring(key) + L" 不是" + std::wstring(what) + L",请修改配置文件！",
             KeyName(settings, key) + L"=" + value};
  };
  switch (verdict) {
    case Refusal::CutValue:
      lines = {L"配置文件中 " + settings.CutKey + L" 的值长于 " + IntText(IniFile::kValueBufferSize - 1) +
                   L" 个字节,读到的只是被截断的前一部分,没有写入。请缩短这个值！",
               file};
      return {title, JoinWith(lines, L"\r\n")};
    case Refusal::BadMask: badKey(L"有效的子网掩码", L"Mask", settings.SubnetMask); break;
    case Refusal::BadGateway: badKey(L"一个有效的 IP 地址(或空)", L"GateWay", settings.DefaultGateway); break;
    case Refusal::BadDns: badKey(L"用逗号分开的有效 IP 地址(或空)", L"DNS", settings.DnsServers); break;
    case Refusal::BadIpAddress:
      finding.value = settings.IpAddress;
      lines = {L"配置文件算出的 IP 地址无效,请修改配置文件！", KeyName(settings, L"IP") + L"=" + settings.IpPrefix,
               KeyName(settings, L"IPOffset") + L"=" + settings.IpOffsetText, L"本机机号=" + settings.NumberText};
      break;
    default:
      return {title,
              JoinLines({L"配置文件算出的计算机名无效,请修改配置文件中的 NetPrefix！", L"计算机名=" + settings.HostName,
                         finding.value.empty() ? HostNameRule()
                                               : L"Windows(代码页 936)无法表示其中的字符" + finding.value + L"。",
                         file})};
  }
  if (const std::wstring rule = RuleText(finding, settings); !rule.empty()) lines.push_back(rule);
  lines.push_back(file);
  return {title, JoinWith(lines, L"\r\n")};
}

std::optional<Notice> SettingsDoubt(const MachineSettings& s) {
  const Ipv4 ip = ParseIpv4(s.IpAddress);
  const Ipv4 mask = ParseMask(s.SubnetMask);
  if (s.DefaultGateway.empty() || GatewayFault(s.DefaultGateway, ip.bits, mask.bits) != AddressFault::OutsideSubnet) {
    return std::nullopt;
  }
  return Notice{std::wstring(kConfirmTitle),
                JoinLines({L"默认网关 " + s.DefaultGateway + L" 不在 IP 地址 " + s.IpAddress + L" 和子网掩码 " +
                               s.SubnetMask + L" 所确定的子网 " + SubnetText(ip.bits, mask.bits) + L" 中。",
                           L"本机可能无法通过这个网关连到其他网络。"})};
}

}  // namespace vexa
