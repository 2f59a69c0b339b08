// The command line as Windows admin tools take it, and the usage it prints.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/command_line.h"
#include "cafe/cafe_export.h"
#include "common/exit_codes.h"
#include "common/version.h"

namespace vexa {
namespace {

TEST(CommandLineTest, SwitchesValuesAndMistakes) {
  using Mode = CommandLine::Mode;
  const struct {
    const wchar_t* line;
    Mode mode;
    const wchar_t* number;
    const wchar_t* card;  // nullptr: none
    bool noReboot;
  } cases[] = {
      {L"", Mode::Window, L"", nullptr, false},
      {L"/auto", Mode::Auto, L"", nullptr, false},
      {L"-AUTO /NoReboot", Mode::Auto, L"", nullptr, true},
      {L"/n 15", Mode::Number, L"15", nullptr, false},
      {L"-n 007 -card 2 /noreboot", Mode::Number, L"007", L"2", true},
      {L"/n 15 /card \"Realtek RTL8139 \\\"Family\\\"\"", Mode::Number, L"15", L"Realtek RTL8139 \"Family\"", false},
      {L"/N 15 /CARD 网卡一", Mode::Number, L"15", L"网卡一", false},
      {L"/?", Mode::Usage, L"", nullptr, false},
      {L"-h", Mode::Usage, L"", nullptr, false},
      {L"/HELP", Mode::Usage, L"", nullptr, false},
      {L"/n 15 -?", Mode::Usage, L"", nullptr, false},
      {L"/auto /n 15", Mode::Bad, L"", nullptr, false},
      {L"/auto /card 1", Mode::Bad, L"", nullptr, false},
      {L"/n", Mode::Bad, L"", nullptr, false},
      {L"/noreboot", Mode::Bad, L"", nullptr, false},
      {L"/n 1 /n 2", Mode::Bad, L"", nullptr, false},
      {L"15", Mode::Bad, L"", nullptr, false},
      {L"/reboot", Mode::Bad, L"", nullptr, false},
      {L"/n 1.5 /card 1", Mode::Bad, L"", nullptr, false},
      {L"/n 0", Mode::Bad, L"", nullptr, false},
      {L"/card 1", Mode::Bad, L"", nullptr, false},
      {L"/n \"17\r\n2026-01-01\tFAKE\"", Mode::Bad, L"", nullptr, false},
      {L"/n \" 015 \"", Mode::Number, L" 015 ", nullptr, false},
      {L"/CHECK", Mode::Auto, L"", nullptr, false},
      {L"/n 15 /card \"C:\\\\\"", Mode::Number, L"15", L"C:\\", false},
      // Four backslashes before a quote are two, and the quote still opens; "" inside quotes is one quote.
      {L"/n 15 /card C:\\\\\\\\\"x y\"", Mode::Number, L"15", L"C:\\\\x y", false},
      {L"/n 15 /card \"a\"\"b\" /noreboot", Mode::Number, L"15", L"a\"b", true},
      {L"-check /n 15 /card 2", Mode::Number, L"15", L"2", false},
      {L"/TABLE", Mode::Table, L"", nullptr, false},
      {L"-report", Mode::Report, L"", nullptr, false},
      {L"/table /n 1", Mode::Bad, L"", nullptr, false},
      {L"/report /noreboot", Mode::Bad, L"", nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const CommandLine command = ParseCommandLine(c.line);
    EXPECT_EQ(command.mode, c.mode);
    if (c.mode == Mode::Bad) {
      EXPECT_FALSE(command.error.empty());
      continue;
    }
    EXPECT_EQ(command.number, c.number);
    EXPECT_EQ(command.card.has_value(), c.card != nullptr);
    if (c.card != nullptr && command.card) {
      EXPECT_EQ(*command.card, c.card);
    }
    EXPECT_EQ(command.noReboot, c.noReboot);
  }
  EXPECT_EQ(ParseCommandLine(L"/auto -AUTO").error, L"参数重复: -AUTO");
  EXPECT_EQ(ParseCommandLine(L"/check /check").error, L"参数重复: /check");
  EXPECT_EQ(ParseCommandLine(L"/reboot").error, L"无法识别的参数: /reboot");
  EXPECT_TRUE(ParseCommandLine(L"/n 15 -Force").force);
  EXPECT_FALSE(ParseCommandLine(L"/n 15").force);
  EXPECT_EQ(ParseCommandLine(L"/auto /force /FORCE").error, L"参数重复: /FORCE");
  EXPECT_EQ(ParseCommandLine(L"/check /force").error, L"/check 只检查,不写入,不能再用 /force");
  // /export takes one of its formats, and /force alone beside it.
  EXPECT_EQ(ParseCommandLine(L"/export").error, L"/export 后面缺少格式: dnsmasq、dhcpd、kea、netsh、arp 或 csv");
  EXPECT_EQ(ParseCommandLine(L"/export bind").error, L"/export 后面应是 dnsmasq、dhcpd、kea、netsh、arp 或 csv: bind");
  EXPECT_EQ(ParseCommandLine(L"/export csv /n 1").error, L"/export 只能再加 /force: /n");
  EXPECT_EQ(ParseCommandLine(L"/export csv /force -Force").error, L"/export 只能再加 /force: -Force");
  const CommandLine exporting = ParseCommandLine(L"/force -Export KEA");
  EXPECT_EQ(exporting.mode, CommandLine::Mode::Export);
  EXPECT_EQ(exporting.format, ExportFormat::Kea);
  EXPECT_TRUE(exporting.force);
  EXPECT_FALSE(ParseCommandLine(L"/export arp").force);
  EXPECT_TRUE(UsageText().starts_with(L"VexaIpSet " + std::wstring(kProductVersion) + L" - "));
  // The exit codes batch files test, as the usage lists them.
  EXPECT_NE(UsageText().find(L"退出码: 0 已写入或已是这些设置(/check: 已生效)  1 参数错误  2 拒绝(原因见输出)\r\n"
                             L"        3 有项目未能写入  4 已写入但重启请求失败  5 已写入但还没有生效"),
            std::wstring::npos);
  EXPECT_NE(UsageText().find(L"\r\n        6 /check: 注册表与这些设置不同"), std::wstring::npos);
}
}  // namespace
}  // namespace vexa
