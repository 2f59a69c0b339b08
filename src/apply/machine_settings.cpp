#include "apply/machine_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "apply/lenient_number.h"
#include "common/text.h"
#include "config/ini_file.h"

namespace vexa {

namespace {

constexpr std::wstring_view kConfigErrorTitle = L"Quorlis - 配置文件错误！";
constexpr std::wstring_view kForbiddenInHostName = L"\"/\\[]:|<>+=;,?*";
constexpr std::size_t kMaxHostNameBytes = 15;

// A sum printed as BASIC prints a number: whole numbers without a point, others with up to 15 digits.
std::wstring NumberToText(double value) {
  char buffer[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
  }
  std::string ascii(buffer);
  return std::wstring(ascii.begin(), ascii.end());
}

// The address as 32 bits, when it is a dotted quad.
std::optional<std::uint32_t> AddressBits(std::wstring_view address) {
  std::uint32_t bits = 0;
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = address.find(L'.', start);
    const std::wstring_view part = address.substr(start, end == std::wstring_view::npos ? end : end - start);
    if (part.empty() || part.size() > 3) return std::nullopt;
    std::uint32_t value = 0;
    for (wchar_t c : part) {
      if (!IsDigit(c)) return std::nullopt;
      value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (value > 255) return std::nullopt;
    bits = bits << 8 | value;
    ++parts;
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  if (parts != 4) return std::nullopt;
  return bits;
}

// Ones from the top, then zeros only; at least one network bit.
bool IsContiguousMask(std::wstring_view mask) {
  const std::optional<std::uint32_t> bits = AddressBits(mask);
  if (!bits || *bits == 0) return false;
  const std::uint32_t hosts = ~*bits;
  return (hosts & (hosts + 1)) == 0;
}

// Empty, or addresses separated by commas (blanks around each allowed, as Windows reads the list).
bool IsAddressList(std::wstring_view list) {
  if (list.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = list.find(L',', start);
    const std::wstring_view item = list.substr(start, end == std::wstring_view::npos ? end : end - start);
    if (!IsDottedQuad(TrimBlanks(item))) return false;
    if (end == std::wstring_view::npos) return true;
    start = end + 1;
  }
}

bool IsValidHostName(TextCodec& text, const std::wstring& name) {
  if (name.empty() || text.ToAnsi(name).size() > kMaxHostNameBytes) return false;
  for (wchar_t c : name) {
    if (c <= L' ' || c == 0x7F || kForbiddenInHostName.find(c) != std::wstring_view::npos) return false;
  }
  return true;
}

}  // namespace

bool IsDottedQuad(std::wstring_view address) { return AddressBits(address).has_value(); }

MachineInput ReadMachineNumber(std::wstring_view text) {
  MachineInput input;
  input.NumberText = TrimBlanks(text);
  if (input.NumberText.empty()) return input;
  input.verdict = Refusal::OutOfRange;
  std::int32_t number = 0;
  for (wchar_t c : input.NumberText) {
    if (!IsDigit(c)) return input;
    number = std::min(number * 10 + (c - L'0'), 1000);  // past 254 the size no longer matters
  }
  if (number < 1 || number > 254) return input;
  input.verdict = Refusal::None;
  input.MachineNumber = number;
  return input;
}

MachineInput ValidateInput(const std::wstring& typed) {
  MachineInput input;
  if (typed.empty()) return input;
  double number = RoundHalfEven(LenientNumber(typed));
  input.NumberText = TrimBlanks(typed);
  if (!(number >= 1 && number <= 254)) {
    input.verdict = Refusal::OutOfRange;
    return input;
  }
  input.verdict = Refusal::None;
  input.MachineNumber = static_cast<std::int32_t>(number);
  return input;
}

Notice InputRejection(Refusal verdict) {
  if (verdict == Refusal::Empty) return {L"Quorlis - 出现错误！", L"请输入本机号,在按回车键呀！！"};
  return {L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！"};
}

MachineSettings DeriveSettings(Platform& platform, const MachineInput& input, const std::wstring& iniPath) {
  using IniFile::kNetWork;
  using IniFile::ReadIniString;
  MachineSettings s;
  s.MachineNumber = input.MachineNumber;
  s.NumberText = input.NumberText;
  s.IpOffsetText = ReadIniString(platform, iniPath, kNetWork, L"IPOffset", L"0");
  s.IpPrefix = ReadIniString(platform, iniPath, kNetWork, L"IP", L"192.168.0");
  std::optional<double> offset = StrictDecimal(s.IpOffsetText);
  // An offset that is no number leaves the address without its last part; CheckSettings refuses it.
  s.IpAddress = s.IpPrefix + L"." + (offset ? NumberToText(*offset + s.MachineNumber) : L"");
  s.SubnetMask = ReadIniString(platform, iniPath, kNetWork, L"Mask", L"255.255.255.0");
  s.DefaultGateway = ReadIniString(platform, iniPath, kNetWork, L"GateWay", L"192.168.0.1");
  s.DnsServers = ReadIniString(platform, iniPath, kNetWork, L"DNS", L"192.168.0.1");
  std::wstring prefix = ReadIniString(platform, iniPath, kNetWork, L"NetPrefix", L"");
  for (wchar_t c : prefix + s.NumberText) {
    if (c != L'\0') s.HostName.push_back(c);
  }
  return s;
}

std::wstring DeriveGameKey(Platform& platform, std::int32_t machineNumber, const std::wstring& iniPath) {
  return IniFile::ReadIniString(platform, iniPath, IniFile::kCsCdk, L"CDKey" + std::to_wstring(machineNumber),
                                kDefaultGameKey);
}

Refusal CheckSettings(TextCodec& text, const MachineSettings& settings) {
  if (!StrictDecimal(settings.IpOffsetText) || !IsDottedQuad(settings.IpAddress)) {
    return Refusal::BadIpAddress;
  }
  if (!IsValidHostName(text, settings.HostName)) return Refusal::BadHostName;
  if (!IsContiguousMask(settings.SubnetMask)) return Refusal::BadMask;
  if (!settings.DefaultGateway.empty() && !IsDottedQuad(settings.DefaultGateway)) return Refusal::BadGateway;
  if (!IsAddressList(settings.DnsServers)) return Refusal::BadDns;
  return Refusal::None;
}

Notice SettingsRejection(Refusal verdict, const MachineSettings& settings, const std::wstring& configPath) {
  const std::wstring title(kConfigErrorTitle);
  auto badKey = [&](std::wstring_view what, std::wstring_view key, const std::wstring& value) {
    return Notice{
        title, JoinLines({L"配置文件中的 " + std::wstring(key) + L" 不是" + std::wstring(what) + L",请修改配置文件！",
                          std::wstring(key) + L"=" + value, L"文件: " + configPath})};
  };
  if (verdict == Refusal::BadMask) return badKey(L"有效的子网掩码", L"Mask", settings.SubnetMask);
  if (verdict == Refusal::BadGateway) {
    return badKey(L"一个有效的 IP 地址(或空)", L"GateWay", settings.DefaultGateway);
  }
  if (verdict == Refusal::BadDns) {
    return badKey(L"用逗号分开的有效 IP 地址(或空)", L"DNS", settings.DnsServers);
  }
  if (verdict == Refusal::BadIpAddress) {
    return {title, JoinLines({L"配置文件算出的 IP 地址无效,请修改配置文件！", L"IP=" + settings.IpPrefix,
                              L"IPOffset=" + settings.IpOffsetText, L"本机机号=" + settings.NumberText})};
  }
  std::wstring symbols;
  for (wchar_t c : kForbiddenInHostName) {
    if (!symbols.empty()) symbols.push_back(L' ');
    symbols.push_back(c);
  }
  return {title,
          JoinLines({L"配置文件算出的计算机名无效,请修改配置文件中的 NetPrefix！", L"计算机名=" + settings.HostName,
                     L"计算机名最多 15 个字节(一个汉字占 2 个字节),不能含有空格和下列符号:", symbols})};
}

}  // namespace vexa
