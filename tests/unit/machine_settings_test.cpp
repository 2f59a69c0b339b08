// The machine number, the derived settings and the checks made before anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "apply/lenient_number.h"
#include "apply/machine_settings.h"
#include "common/decimal.h"
#include "config/ini_file.h"
#include "config/venue.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa {
namespace {

TEST(LenientNumber, ReadsAsFarAsANumberGoes) {
  const struct {
    const wchar_t* text;
    double value;
  } cases[] = {
      {L"007", 7},     {L" 1 2 ", 12},      {L"\t5\n", 5},       {L"1.5", 1.5}, {L"-3", -3},    {L"+4", 4},
      {L"1e2", 100},   {L"1D2", 100},       {L"2.5E-1", 0.25},   {L"&H1F", 31}, {L"&h1f", 31},  {L"&O17", 15},
      {L"&HFFFF", -1}, {L"&H10000", 65536}, {L"&HFFFFFFFF", -1}, {L"abc", 0},   {L"12abc", 12}, {L"", 0},
      {L"+", 0},       {L"1.2.3", 1.2},     {L"1e", 1},          {L"1e+", 1},   {L".5", 0.5},   {L"5.", 5},
      {L"１２", 0},    {L"1\r2", 1},        {L"&", 0},           {L"&H", 0},    {L"--1", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LenientNumber(c.text), c.value) << std::wstring(c.text).size();
  EXPECT_TRUE(std::isinf(LenientNumber(L"&H100000000")));
}

// The tool's own conversions give what the C library's give: exactly where a config.ini's numbers lie,
// within an ulp past them; printed as "%.0f" for whole numbers below 10^15, else as "%.15g".
TEST(LenientNumber, DecimalsConvertAsTheCLibraryConvertsThem) {
  for (const char* text : {"0", "-0", "7", "007", "-200", "2.5", "2.5e-1", ".5", "5.", "0.1", "0.000123", "1e22",
                           "123456789012345", "4294967295", "-1.75E+3", "9007199254740993"}) {
    EXPECT_EQ(DecimalValue(text), std::strtod(text, nullptr)) << text;
  }
  for (const char* text : {"1e23", "1.7976931348623157e308", "12345678901234567890123", "0.1e-5", "4.9e-300"}) {
    EXPECT_DOUBLE_EQ(DecimalValue(text), std::strtod(text, nullptr)) << text;
  }
  EXPECT_TRUE(std::isinf(DecimalValue("1e400")));
  EXPECT_EQ(DecimalValue("1e-400"), 0);
  std::vector<double> values = {0.0,
                                -0.0,
                                7,
                                -200,
                                7.5,
                                0.1 + 0.2,
                                1.0 / 3,
                                -2.0 / 3,
                                1e-5,
                                0.0001,
                                123456.789,
                                999999999999999.0,
                                1e15,
                                1e16,
                                1.5e300,
                                -1e-300,
                                99999999999999.99,
                                0.5e-4};
  for (int k = -4000; k <= 4000; k += 7) values.push_back(k / 8.0 + k * 1e-3);
  for (const double v : values) {
    char c[64];
    std::snprintf(c, sizeof c, v == std::floor(v) && std::fabs(v) < 1e15 ? "%.0f" : "%.15g", v);
    EXPECT_EQ(DecimalText(v), std::wstring(c, c + std::strlen(c))) << c;
  }
}

TEST(LenientNumber, RoundsHalfToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(253.5), 254);
  EXPECT_EQ(RoundHalfEven(254.5), 254);
  EXPECT_EQ(RoundHalfEven(254.51), 255);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
}

TEST(LenientNumber, StrictDecimalTakesWholeNumbersOnly) {
  EXPECT_EQ(StrictDecimal(L"3"), 3);
  EXPECT_EQ(StrictDecimal(L"-5"), -5);
  EXPECT_EQ(StrictDecimal(L"2.5"), 2.5);
  EXPECT_EQ(StrictDecimal(L"1e1"), 10);
  for (const wchar_t* bad : {L"", L"abc", L"3a", L"&H3", L"1e", L".", L"+", L"1 2", L"1e999"}) {
    EXPECT_FALSE(StrictDecimal(bad).has_value()) << std::wstring(bad).size();
  }
}

TEST(ValidateInput, EmptyRangeAndNumberText) {
  EXPECT_EQ(ValidateInput(L"").verdict, Refusal::Empty);
  for (const wchar_t* out : {L"0", L"255", L"999", L"-1", L"0.4", L"254.6", L"4294967297", L"1e10", L" ", L"abc"}) {
    EXPECT_EQ(ValidateInput(out).verdict, Refusal::OutOfRange) << std::wstring(out).size();
  }
  MachineInput one = ValidateInput(L"1");
  EXPECT_EQ(one.verdict, Refusal::None);
  EXPECT_EQ(one.MachineNumber, 1);
  EXPECT_EQ(ValidateInput(L"254").MachineNumber, 254);
  EXPECT_EQ(ValidateInput(L"0.5").verdict, Refusal::OutOfRange);  // rounds to 0
  EXPECT_EQ(ValidateInput(L"1.5").MachineNumber, 2);
  MachineInput padded = ValidateInput(L" 007 ");
  EXPECT_EQ(padded.MachineNumber, 7);
  EXPECT_EQ(padded.NumberText, L"007");
}

TEST(ValidateInput, RejectionMessages) {
  const Notice empty = InputRejection(Refusal::Empty);
  EXPECT_EQ(empty.text, L"请输入本机号,在按回车键呀！！");
  EXPECT_EQ(empty.title, L"Quorlis - 出现错误！");
  const Notice range = InputRejection(Refusal::OutOfRange);
  EXPECT_EQ(range.text, L"请输入1-254的数字,或者修改配置文件！");
  EXPECT_EQ(range.title, L"Quorlis - 机器号输入错误！");
}

class DeriveTest : public ::testing::Test {
 protected:
  MachineSettings Derive(const wchar_t* typed) {
    MachineInput input = ValidateInput(typed);
    EXPECT_EQ(input.verdict, Refusal::None);
    const IniFile::Venue venue = IniFile::ReadVenue(platform);
    return DeriveSettings(input, *venue.zones.PlanOf(input.MachineNumber));
  }
  Refusal Check(const MachineSettings& s) { return CheckSettings(sim.text, s); }
  std::wstring GameKey(std::int32_t number) {
    MachineSettings s;
    s.MachineNumber = number;
    DeriveGameKey(platform, s, IniFile::ConfigPath(platform));
    return s.GameKey;
  }
  std::wstring Rejection(Refusal verdict, const MachineSettings& s) {
    return SettingsRejection(sim.text, verdict, s, L"C:\\VexaIpSet\\config.ini").text;
  }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
};

TEST_F(DeriveTest, NoConfigFileGivesTheDefaults) {
  MachineSettings s = Derive(L"12");
  EXPECT_EQ(s.IpAddress, L"192.168.0.12");
  EXPECT_EQ(s.SubnetMask, L"255.255.255.0");
  EXPECT_EQ(s.DefaultGateway, L"192.168.0.1");
  EXPECT_EQ(s.DnsServers, L"192.168.0.1");
  EXPECT_EQ(s.HostName, L"12");
  EXPECT_EQ(GameKey(12), L"0000000000000");
  EXPECT_EQ(Check(s), Refusal::None);
}

TEST_F(DeriveTest, FullFileAndTheHostNameFollowsTheTypedText) {
  sim.PutConfig(
      L"[NetWork]\r\nIP=192.168.1\r\nIPOffset=3\r\nMask=255.255.0.0\r\nGateWay=192.168.1.254\r\n"
      L"DNS=202.102.224.68,202.102.227.68\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey7=KEY-SEVEN\r\n5=BARE\r\n");
  MachineSettings s = Derive(L"007");
  EXPECT_EQ(s.IpAddress, L"192.168.1.10");
  EXPECT_EQ(s.SubnetMask, L"255.255.0.0");
  EXPECT_EQ(s.DefaultGateway, L"192.168.1.254");
  EXPECT_EQ(s.DnsServers, L"202.102.224.68,202.102.227.68");
  EXPECT_EQ(s.HostName, L"WB-007");
  EXPECT_EQ(GameKey(7), L"KEY-SEVEN");
  EXPECT_EQ(GameKey(5), L"0000000000000");  // a bare "5=" is not a game key
  EXPECT_EQ(Check(s), Refusal::None);
}

TEST_F(DeriveTest, AddressChecks) {
  const struct {
    int line;
    const wchar_t* config;
    const wchar_t* typed;
    const wchar_t* address;
    Refusal verdict;
  } cases[] = {
      ROW(L"IP=10.0.0\r\nIPOffset=5", L"249", L"10.0.0.254", Refusal::None),
      ROW(L"IP=10.0.0\r\nIPOffset=5", L"250", L"10.0.0.255", Refusal::BadIpAddress),  // the broadcast address
      ROW(L"IP=10.0.0\r\nIPOffset=5", L"251", L"10.0.0.256", Refusal::BadIpAddress),
      ROW(L"IP=\r\nIPOffset=0", L"5", L".5", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nIPOffset=abc", L"5", L"10.0.0.", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nIPOffset=", L"5", L"10.0.0.", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nIPOffset=2.5", L"5", L"10.0.0.7.5", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nIPOffset=-5", L"5", L"10.0.0.0", Refusal::BadIpAddress),  // the network's own address
      ROW(L"IP=10.0.0\r\nIPOffset=-4", L"5", L"10.0.0.1", Refusal::None),
      ROW(L"IP=10.0.0\r\nMask=255.255.255.128", L"127", L"10.0.0.127", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nMask=255.255.255.128", L"128", L"10.0.0.128", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nMask=255.255.255.128", L"126", L"10.0.0.126", Refusal::None),
      ROW(L"IP=10.0.0\r\nMask=255.255.255.252", L"3", L"10.0.0.3", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nMask=255.255.255.254\r\nGateWay=10.0.0.0", L"1", L"10.0.0.1", Refusal::None),  // /31
      ROW(L"IP=10.0.0\r\nMask=255.255.255.255\r\nGateWay=", L"4", L"10.0.0.4", Refusal::None),
      ROW(L"IP=127.0.0", L"15", L"127.0.0.15", Refusal::BadIpAddress),
      ROW(L"IP=0.0.0", L"15", L"0.0.0.15", Refusal::BadIpAddress),
      ROW(L"IP=224.0.0", L"15", L"224.0.0.15", Refusal::BadIpAddress),
      ROW(L"IP=223.255.0\r\nGateWay=", L"15", L"223.255.0.15", Refusal::None),
      ROW(L"IP=1.0.0\r\nGateWay=", L"15", L"1.0.0.15", Refusal::None),
      ROW(L"IP=126.0.0\r\nGateWay=", L"15", L"126.0.0.15", Refusal::None),
      ROW(L"IP=192.168.08", L"15", L"192.168.08.15", Refusal::BadIpAddress),  // octal to Windows
      ROW(L"IP=10.0.0\r\nIPOffset=-6", L"5", L"10.0.0.-1", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0\r\nIPOffset=1e2", L"5", L"10.0.0.105", Refusal::None),
      ROW(L"IP=10.0.0\r\nIPOffset=1e300", L"5", L"10.0.0.1e+300", Refusal::BadIpAddress),
      ROW(L"IP=10.0\r\nIPOffset=0", L"5", L"10.0.5", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0.1\r\nIPOffset=0", L"5", L"10.0.0.1.5", Refusal::BadIpAddress),
      ROW(L"IP=10.0.0256\r\nIPOffset=0", L"5", L"10.0.0256.5", Refusal::BadIpAddress),
      ROW(L"IP=１０.0.0\r\nIPOffset=0", L"5", L"１０.0.0.5", Refusal::BadIpAddress),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfig(std::wstring(L"[NetWork]\r\n") + c.config + L"\r\n");
    MachineSettings s = Derive(c.typed);
    EXPECT_EQ(s.IpAddress, c.address);
    EXPECT_EQ(Check(s), c.verdict);
  }
}

TEST_F(DeriveTest, HostNameChecks) {
  const struct {
    int line;
    const wchar_t* prefix;
    const wchar_t* typed;
    Refusal verdict;
  } cases[] = {
      ROW(L"", L"5", Refusal::None),
      ROW(L"网吧", L"15", Refusal::None),
      ROW(L"网吧一二三四", L"123", Refusal::None),          // 15 bytes
      ROW(L"网吧一二三四五", L"12", Refusal::BadHostName),  // 16 bytes
      ROW(L"ABCDEFGHIJKL", L"123", Refusal::None),
      ROW(L"ABCDEFGHIJKLM", L"123", Refusal::BadHostName),
      ROW(L"WB 1-", L"5", Refusal::BadHostName),
      ROW(L"WB\t", L"5", Refusal::BadHostName),
      ROW(L"W\u3000B-", L"5", Refusal::BadHostName),  // a full-width blank
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfig(std::wstring(L"[NetWork]\r\nNetPrefix=\"") + c.prefix + L"\"\r\n");
    EXPECT_EQ(Check(Derive(c.typed)), c.verdict);
  }
  for (wchar_t symbol : std::wstring(L"\"/\\[]:|<>+=;,?*")) {
    sim.PutConfig(std::wstring(L"[NetWork]\r\nNetPrefix=A") + symbol + L"\r\n");
    EXPECT_EQ(Check(Derive(L"5")), Refusal::BadHostName) << static_cast<int>(symbol);
  }
  // Blanks of every width, whatever code page the name passes through.
  MachineSettings s = Derive(L"5");
  for (wchar_t blank : std::wstring(L"\u00A0\u1680\u2000\u200B\u2028\u2029\u202F\u205F\u3000\uFEFF\u007F")) {
    s.HostName = std::wstring(L"A") + blank + L"5";
    EXPECT_EQ(Check(s), Refusal::BadHostName) << static_cast<int>(blank);
  }
  for (wchar_t fine : std::wstring(L"\u00B7\u2030\u3001\uFF0D")) {
    s.HostName = std::wstring(L"A") + fine + L"5";
    EXPECT_EQ(Check(s), Refusal::None) << static_cast<int>(fine);
  }
  // A character code page 936 has no form of (a best-fit look-alike is no form) is named.
  s.HostName = L"A\U0001F600";
  EXPECT_NE(Rejection(Refusal::BadHostName, s).find(L"(U+1F600)"), std::wstring::npos);
  for (wchar_t unmappable : std::wstring(L"\u00A1\u00C9\u1FFF\u200C")) {
    s.HostName = std::wstring(L"A") + unmappable + L"5";
    EXPECT_EQ(Check(s), Refusal::BadHostName) << static_cast<int>(unmappable);
    EXPECT_NE(Rejection(Refusal::BadHostName, s).find(L"无法表示其中的字符“" + std::wstring(1, unmappable) + L"”(U+"),
              std::wstring::npos);
  }
}

TEST_F(DeriveTest, RejectionTexts) {
  sim.PutConfig(L"[NetWork]\r\nIP=10.0.0\r\nIPOffset=abc\r\nNetPrefix=WB 1\r\n");
  MachineSettings s = Derive(L"07");
  const std::wstring file = L"\r\n文件: C:\\VexaIpSet\\config.ini";
  EXPECT_EQ(Rejection(Refusal::BadIpAddress, s),
            L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=10.0.0\r\nIPOffset=abc\r\n本机机号=07" + file);
  EXPECT_EQ(Rejection(Refusal::BadHostName, s),
            L"配置文件算出的计算机名无效,请修改配置文件中的 NetPrefix！\r\n计算机名=WB 107\r\n"
            L"计算机名最多 15 个字节(一个汉字占 2 个字节),不能含有空格(全角空格也不行)和下列符号:\r\n"
            L"\" / \\ [ ] : | < > + = ; , ? *" +
                file);
  EXPECT_EQ(SettingsRejection(sim.text, Refusal::BadIpAddress, s, L"").title, L"Quorlis - 配置文件错误！");
  // A refusal of one key names the key, its value and the file.
  s.SubnetMask = L"255.255.255.O";
  s.DnsServers = L"hello world";
  EXPECT_EQ(Rejection(Refusal::BadMask, s),
            L"配置文件中的 Mask 不是有效的子网掩码,请修改配置文件！\r\nMask=255.255.255.O" + file);
  EXPECT_EQ(Rejection(Refusal::BadDns, s),
            L"配置文件中的 DNS 不是用逗号分开的有效 IP 地址(或空),请修改配置文件！\r\nDNS=hello world" + file);
  // The rule an address breaks is said before the file.
  const struct {
    const wchar_t* config;
    const wchar_t* typed;
    const wchar_t* rule;
  } rules[] = {
      {L"IPOffset=240", L"15", L"192.168.0.255 是子网 192.168.0.0/24 的广播地址,不能用作计算机的地址。"},
      {L"IP=192.168.08", L"15", L"192.168.08.15 中有以 0 开头的数(如 08、010、00):Windows 会把它当作八进制数读"},
      {L"IP=127.0.0", L"1", L"127.0.0.1 在 127.0.0.0/8 中(本机回环地址),不能用作计算机的地址。"},
      {L"IP=0.0.0", L"1", L"0.0.0.1 在 0.0.0.0/8 中(表示\"本网络\"),不能用作计算机的地址。"},
      {L"IP=239.0.0", L"1", L"239.0.0.1 在 224.0.0.0 及以上(组播或保留地址),不能用作计算机的地址。"},
      {L"GateWay=192.168.0.15", L"15",
       L"\r\n默认网关不能是本机自己的 IP 地址 192.168.0.15:机号 15 算出的地址就是网关。"},
      {L"GateWay=192.168.0.0", L"15", L"192.168.0.0 是子网 192.168.0.0/24 的网络地址,不能用作网关。"},
      {L"DNS=8.8.8.8, 0.0.0.0", L"15", L"\r\n0.0.0.0 不是 DNS 服务器的地址。"},
      {L"DNS=224.0.0.1", L"15", L"224.0.0.1 在 224.0.0.0 及以上(组播或保留地址),不能用作 DNS 服务器。"},
      {L"DNS=192.168.0.255", L"15", L"192.168.0.255 是子网 192.168.0.0/24 的广播地址,不能用作 DNS 服务器。"},
      {L"DNS=8.8.8.8, 1.1.1.01", L"15", L"\r\n1.1.1.01 中有以 0 开头的数"},
      {L"Mask=255.255.255.00", L"15", L"\r\n255.255.255.00 中有以 0 开头的数"},
  };
  for (const auto& c : rules) {
    SCOPED_TRACE(testing::Message() << "rule " << (&c - rules));
    sim.PutConfig(std::wstring(L"[NetWork]\r\n") + c.config + L"\r\n");
    const MachineSettings derived = Derive(c.typed);
    const std::wstring text = Rejection(Check(derived), derived);
    EXPECT_NE(text.find(c.rule), std::wstring::npos) << text;
    EXPECT_EQ(text.substr(text.size() - file.size()), file);
  }
}

// A value longer than the reader's buffer is cut: refused, never written, whichever key it is.
TEST_F(DeriveTest, ACutValueIsSaidAsCut) {
  std::wstring list = L"DNS=";  // cut after 253 bytes, it still reads as a list of 28 servers
  for (int i = 0; i < 27; ++i) list += L"10.0.0.1,";
  list += L"10.0.0.100,8.8.8.8";
  sim.PutConfig(L"[NetWork]\r\n" + list + L"\r\nNetPrefix=" + std::wstring(300, L'x') + L"\r\n");
  const MachineSettings s = Derive(L"5");
  EXPECT_EQ(Check(s), Refusal::CutValue);
  EXPECT_EQ(Rejection(Refusal::CutValue, s),
            L"配置文件中 DNS 的值长于 253 个字节,读到的只是被截断的前一部分,没有写入。请缩短这个值！\r\n"
            L"文件: C:\\VexaIpSet\\config.ini");
  sim.PutConfig(L"[NetWork]\r\nDNS=" + std::wstring(252, L'1') + L"\r\n[CSCDK]\r\nCDKey5=" + std::wstring(253, L'k'));
  MachineSettings key = Derive(L"5");
  EXPECT_TRUE(key.CutKey.empty()) << "252 bytes fit";
  DeriveGameKey(platform, key, IniFile::ConfigPath(platform));
  EXPECT_EQ(key.CutKey, L"CDKey5");
}

// Mask, gateway and DNS servers are checked as Windows would need them, before anything is written.
TEST_F(DeriveTest, MaskGatewayAndDnsChecks) {
  const struct {
    int line;
    const wchar_t* setting;
    Refusal verdict;
  } cases[] = {
      ROW(L"Mask=255.255.255.0", Refusal::None),
      ROW(L"Mask=255.255.255.255", Refusal::None),
      ROW(L"Mask=128.0.0.0", Refusal::None),
      ROW(L"Mask=255.255.254.0", Refusal::None),
      ROW(L"Mask=255.255.255.O", Refusal::BadMask),
      ROW(L"Mask=abc", Refusal::BadMask),
      ROW(L"Mask=", Refusal::BadMask),
      ROW(L"Mask=0.0.0.0", Refusal::BadMask),
      ROW(L"Mask=255.0.255.0", Refusal::BadMask),
      ROW(L"Mask=255.255.255.1", Refusal::BadMask),
      ROW(L"Mask=255.255.256.0", Refusal::BadMask),
      ROW(L"Mask=255.255.255", Refusal::BadMask),
      ROW(L"Mask=255.255.255.00", Refusal::BadMask),
      ROW(L"GateWay=", Refusal::None),
      ROW(L"GateWay=10.0.0.1", Refusal::None),  // outside the subnet: a question, no refusal
      ROW(L"GateWay=192.168.0.254", Refusal::None),
      ROW(L"GateWay=192.168.0.5", Refusal::BadGateway),  // the machine itself
      ROW(L"GateWay=192.168.0.0", Refusal::BadGateway),
      ROW(L"GateWay=192.168.0.255", Refusal::BadGateway),
      ROW(L"GateWay=0.0.0.0", Refusal::BadGateway),
      ROW(L"GateWay=127.0.0.1", Refusal::BadGateway),
      ROW(L"GateWay=192.168.0.010", Refusal::BadGateway),
      ROW(L"GateWay=999.1.1.1", Refusal::BadGateway),
      ROW(L"GateWay=10.0.0.1,10.0.0.2", Refusal::BadGateway),
      ROW(L"GateWay=router", Refusal::BadGateway),
      ROW(L"DNS=", Refusal::None),
      ROW(L"DNS=202.102.224.68", Refusal::None),
      ROW(L"DNS=202.102.224.68,202.102.227.68", Refusal::None),
      ROW(L"DNS=202.102.224.68, 202.102.227.68", Refusal::None),
      ROW(L"DNS=1.1.1.1,2.2.2.2,3.3.3.3", Refusal::None),
      ROW(L"DNS=hello world", Refusal::BadDns),
      ROW(L"DNS=202.102.224.68,", Refusal::BadDns),
      ROW(L"DNS=202.102.224.68,,8.8.8.8", Refusal::BadDns),
      ROW(L"DNS=202.102.224.68 202.102.227.68", Refusal::BadDns),
      ROW(L"DNS=8.8.8.8,300.1.1.1", Refusal::BadDns),
      ROW(L"DNS=0.0.0.0", Refusal::BadDns),
      ROW(L"DNS=8.8.8.8,255.255.255.255", Refusal::BadDns),
      ROW(L"DNS=1.1.1.01", Refusal::BadDns),
      ROW(L"DNS=127.0.0.1", Refusal::None),
      ROW(L"DNS=224.0.0.1", Refusal::BadDns),  // multicast
      ROW(L"DNS=8.8.8.8,223.255.255.255", Refusal::None),
      ROW(L"DNS=192.168.0.255", Refusal::BadDns),                    // the machine's subnet's broadcast address
      ROW(L"Mask=255.255.0.0\r\nDNS=192.168.0.255", Refusal::None),  // in a /16 a host like any other
      ROW(L"DNS=192.168.1.255", Refusal::None),                      // another subnet's: not known to be one
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfig(std::wstring(L"[NetWork]\r\n") + c.setting + L"\r\n");
    EXPECT_EQ(Check(Derive(L"5")), c.verdict);
  }
}

TEST(ReadMachineNumber, DigitsOnlyAsTheNumberBoxHoldsThem) {
  const struct {
    int line;
    const wchar_t* text;
    Refusal verdict;
    std::int32_t number;
    const wchar_t* numberText;
  } cases[] = {
      ROW(L"15", Refusal::None, 15, L"15"),
      ROW(L" 007 ", Refusal::None, 7, L"007"),
      ROW(L"1", Refusal::None, 1, L"1"),
      ROW(L"254", Refusal::None, 254, L"254"),
      ROW(L"00000000000000000254", Refusal::None, 254, L"00000000000000000254"),
      ROW(L"", Refusal::Empty, 0, L""),
      ROW(L"  ", Refusal::Empty, 0, L""),
      ROW(L"0", Refusal::OutOfRange, 0, L"0"),
      ROW(L"255", Refusal::OutOfRange, 0, L"255"),
      ROW(L"99999999999999999999", Refusal::OutOfRange, 0, L"99999999999999999999"),
      ROW(L"20abc", Refusal::OutOfRange, 0, L"20abc"),
      ROW(L"1.5", Refusal::OutOfRange, 0, L"1.5"),
      ROW(L"+5", Refusal::OutOfRange, 0, L"+5"),
      ROW(L"&H1F", Refusal::OutOfRange, 0, L"&H1F"),
      ROW(L"１５", Refusal::OutOfRange, 0, L"１５"),
      ROW(L"1 5", Refusal::OutOfRange, 0, L"1 5"),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    const MachineInput input = ReadMachineNumber(c.text);
    EXPECT_EQ(input.verdict, c.verdict);
    EXPECT_EQ(input.MachineNumber, c.number);
    EXPECT_EQ(input.NumberText, c.numberText);
  }
}

}  // namespace
}  // namespace vexa
