// The machine number, the derived settings and the checks made before anything is written.
#include <gtest/gtest.h>

#include <cmath>

#include "apply/lenient_number.h"
#include "apply/machine_settings.h"
#include "config/ini_file.h"
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
    return DeriveSettings(platform, input, IniFile::ConfigPath(platform));
  }
  Refusal Check(const MachineSettings& s) { return CheckSettings(sim.text, s); }

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
  EXPECT_EQ(DeriveGameKey(platform, 12, IniFile::ConfigPath(platform)), L"0000000000000");
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
  const std::wstring path = IniFile::ConfigPath(platform);
  EXPECT_EQ(DeriveGameKey(platform, 7, path), L"KEY-SEVEN");
  EXPECT_EQ(DeriveGameKey(platform, 5, path), L"0000000000000");  // a bare "5=" is not a game key
  EXPECT_EQ(Check(s), Refusal::None);
}

TEST_F(DeriveTest, AddressChecks) {
  const struct {
    const wchar_t* config;
    const wchar_t* typed;
    const wchar_t* address;
    Refusal verdict;
  } cases[] = {
      {L"IP=10.0.0\r\nIPOffset=5", L"250", L"10.0.0.255", Refusal::None},
      {L"IP=10.0.0\r\nIPOffset=5", L"251", L"10.0.0.256", Refusal::BadIpAddress},
      {L"IP=\r\nIPOffset=0", L"5", L".5", Refusal::BadIpAddress},
      {L"IP=10.0.0\r\nIPOffset=abc", L"5", L"10.0.0.", Refusal::BadIpAddress},
      {L"IP=10.0.0\r\nIPOffset=", L"5", L"10.0.0.", Refusal::BadIpAddress},
      {L"IP=10.0.0\r\nIPOffset=2.5", L"5", L"10.0.0.7.5", Refusal::BadIpAddress},
      {L"IP=10.0.0\r\nIPOffset=-5", L"5", L"10.0.0.0", Refusal::None},
      {L"IP=10.0.0\r\nIPOffset=-6", L"5", L"10.0.0.-1", Refusal::BadIpAddress},
      {L"IP=10.0.0\r\nIPOffset=1e2", L"5", L"10.0.0.105", Refusal::None},
      {L"IP=10.0.0\r\nIPOffset=1e300", L"5", L"10.0.0.1e+300", Refusal::BadIpAddress},
      {L"IP=10.0\r\nIPOffset=0", L"5", L"10.0.5", Refusal::BadIpAddress},
      {L"IP=10.0.0.1\r\nIPOffset=0", L"5", L"10.0.0.1.5", Refusal::BadIpAddress},
      {L"IP=10.0.0256\r\nIPOffset=0", L"5", L"10.0.0256.5", Refusal::BadIpAddress},
      {L"IP=１０.0.0\r\nIPOffset=0", L"5", L"１０.0.0.5", Refusal::BadIpAddress},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    sim.PutConfig(std::wstring(L"[NetWork]\r\n") + c.config + L"\r\n");
    MachineSettings s = Derive(c.typed);
    EXPECT_EQ(s.IpAddress, c.address);
    EXPECT_EQ(Check(s), c.verdict);
  }
}

TEST_F(DeriveTest, HostNameChecks) {
  const struct {
    const wchar_t* prefix;
    const wchar_t* typed;
    Refusal verdict;
  } cases[] = {
      {L"", L"5", Refusal::None},
      {L"网吧", L"15", Refusal::None},
      {L"网吧一二三四五", L"1", Refusal::None},          // 15 bytes
      {L"网吧一二三四五", L"12", Refusal::BadHostName},  // 16 bytes
      {L"ABCDEFGHIJKL", L"123", Refusal::None},
      {L"ABCDEFGHIJKLM", L"123", Refusal::BadHostName},
      {L"WB 1-", L"5", Refusal::BadHostName},
      {L"WB\t", L"5", Refusal::BadHostName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    sim.PutConfig(std::wstring(L"[NetWork]\r\nNetPrefix=\"") + c.prefix + L"\"\r\n");
    EXPECT_EQ(Check(Derive(c.typed)), c.verdict);
  }
  for (wchar_t symbol : std::wstring(L"\"/\\[]:|<>+=;,?*")) {
    sim.PutConfig(std::wstring(L"[NetWork]\r\nNetPrefix=A") + symbol + L"\r\n");
    EXPECT_EQ(Check(Derive(L"5")), Refusal::BadHostName) << static_cast<int>(symbol);
  }
}

TEST_F(DeriveTest, RejectionTexts) {
  sim.PutConfig(L"[NetWork]\r\nIP=10.0.0\r\nIPOffset=abc\r\nNetPrefix=WB 1\r\n");
  MachineSettings s = Derive(L"07");
  const std::wstring path = L"C:\\VexaIpSet\\config.ini";
  const Notice badIp = SettingsRejection(Refusal::BadIpAddress, s, path);
  const Notice badName = SettingsRejection(Refusal::BadHostName, s, path);
  EXPECT_EQ(badIp.text, L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=10.0.0\r\nIPOffset=abc\r\n本机机号=07");
  EXPECT_EQ(badName.text,
            L"配置文件算出的计算机名无效,请修改配置文件中的 NetPrefix！\r\n计算机名=WB 107\r\n"
            L"计算机名最多 15 个字节(一个汉字占 2 个字节),不能含有空格和下列符号:\r\n"
            L"\" / \\ [ ] : | < > + = ; , ? *");
  EXPECT_EQ(badIp.title, L"Quorlis - 配置文件错误！");
  EXPECT_EQ(badName.title, L"Quorlis - 配置文件错误！");
  // A refusal of one key names the key, its value and the file.
  s.SubnetMask = L"255.255.255.O";
  s.DnsServers = L"hello world";
  EXPECT_EQ(SettingsRejection(Refusal::BadMask, s, path).text,
            L"配置文件中的 Mask 不是有效的子网掩码,请修改配置文件！\r\nMask=255.255.255.O\r\n文件: "
            L"C:\\VexaIpSet\\config.ini");
  EXPECT_EQ(SettingsRejection(Refusal::BadDns, s, path).text,
            L"配置文件中的 DNS 不是用逗号分开的有效 IP 地址(或空),请修改配置文件！\r\nDNS=hello world\r\n"
            L"文件: C:\\VexaIpSet\\config.ini");
  EXPECT_EQ(SettingsRejection(Refusal::BadGateway, s, path).title, L"Quorlis - 配置文件错误！");
}

// Mask, gateway and DNS servers are checked as Windows would need them, before anything is written.
TEST_F(DeriveTest, MaskGatewayAndDnsChecks) {
  const struct {
    const wchar_t* line;
    Refusal verdict;
  } cases[] = {
      {L"Mask=255.255.255.0", Refusal::None},
      {L"Mask=255.255.255.255", Refusal::None},
      {L"Mask=128.0.0.0", Refusal::None},
      {L"Mask=255.255.254.0", Refusal::None},
      {L"Mask=255.255.255.O", Refusal::BadMask},
      {L"Mask=abc", Refusal::BadMask},
      {L"Mask=", Refusal::BadMask},
      {L"Mask=0.0.0.0", Refusal::BadMask},
      {L"Mask=255.0.255.0", Refusal::BadMask},
      {L"Mask=255.255.255.1", Refusal::BadMask},
      {L"Mask=255.255.256.0", Refusal::BadMask},
      {L"Mask=255.255.255", Refusal::BadMask},
      {L"GateWay=", Refusal::None},
      {L"GateWay=10.0.0.1", Refusal::None},
      {L"GateWay=999.1.1.1", Refusal::BadGateway},
      {L"GateWay=10.0.0.1,10.0.0.2", Refusal::BadGateway},
      {L"GateWay=router", Refusal::BadGateway},
      {L"DNS=", Refusal::None},
      {L"DNS=202.102.224.68", Refusal::None},
      {L"DNS=202.102.224.68,202.102.227.68", Refusal::None},
      {L"DNS=202.102.224.68, 202.102.227.68", Refusal::None},
      {L"DNS=1.1.1.1,2.2.2.2,3.3.3.3", Refusal::None},
      {L"DNS=hello world", Refusal::BadDns},
      {L"DNS=202.102.224.68,", Refusal::BadDns},
      {L"DNS=202.102.224.68,,8.8.8.8", Refusal::BadDns},
      {L"DNS=202.102.224.68 202.102.227.68", Refusal::BadDns},
      {L"DNS=8.8.8.8,300.1.1.1", Refusal::BadDns},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    sim.PutConfig(std::wstring(L"[NetWork]\r\n") + c.line + L"\r\n");
    EXPECT_EQ(Check(Derive(L"5")), c.verdict);
  }
}

TEST(ReadMachineNumber, DigitsOnlyAsTheNumberBoxHoldsThem) {
  const struct {
    const wchar_t* text;
    Refusal verdict;
    std::int32_t number;
    const wchar_t* numberText;
  } cases[] = {
      {L"15", Refusal::None, 15, L"15"},
      {L" 007 ", Refusal::None, 7, L"007"},
      {L"1", Refusal::None, 1, L"1"},
      {L"254", Refusal::None, 254, L"254"},
      {L"00000000000000000254", Refusal::None, 254, L"00000000000000000254"},
      {L"", Refusal::Empty, 0, L""},
      {L"  ", Refusal::Empty, 0, L""},
      {L"0", Refusal::OutOfRange, 0, L"0"},
      {L"255", Refusal::OutOfRange, 0, L"255"},
      {L"99999999999999999999", Refusal::OutOfRange, 0, L"99999999999999999999"},
      {L"20abc", Refusal::OutOfRange, 0, L"20abc"},
      {L"1.5", Refusal::OutOfRange, 0, L"1.5"},
      {L"+5", Refusal::OutOfRange, 0, L"+5"},
      {L"&H1F", Refusal::OutOfRange, 0, L"&H1F"},
      {L"１５", Refusal::OutOfRange, 0, L"１５"},
      {L"1 5", Refusal::OutOfRange, 0, L"1 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const MachineInput input = ReadMachineNumber(c.text);
    EXPECT_EQ(input.verdict, c.verdict);
    EXPECT_EQ(input.MachineNumber, c.number);
    EXPECT_EQ(input.NumberText, c.numberText);
  }
}

}  // namespace
}  // namespace vexa
