// The command line as Windows admin tools take it, and the usage it prints.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "cafe/cafe_export.h"
#include "common/text.h"
#include "common/utf8.h"
#include "row.h"

namespace vexa {
namespace {

using Mode = CommandLine::Mode;

struct SwitchRow {
  int line;
  const wchar_t* text;
  Mode mode;
  const wchar_t* number;
  const wchar_t* card;  // nullptr: none
  bool noReboot;
  bool check;
};
const SwitchRow kSwitchRows[] = {
    ROW(L"", Mode::Window, L"", nullptr, false, false),
    ROW(L"/auto", Mode::Auto, L"", nullptr, false, false),
    ROW(L"-AUTO /NoReboot", Mode::Auto, L"", nullptr, true, false),
    ROW(L"/n 15", Mode::Number, L"15", nullptr, false, false),
    ROW(L"-n 007 -card 2 /noreboot", Mode::Number, L"007", L"2", true, false),
    ROW(L"/n 15 /card \"Realtek RTL8139 \\\"Family\\\"\"", Mode::Number, L"15", L"Realtek RTL8139 \"Family\"", false,
        false),
    ROW(L"/N 15 /CARD 网卡一", Mode::Number, L"15", L"网卡一", false, false),
    ROW(L"/?", Mode::Usage, L"", nullptr, false, false),
    ROW(L"-h", Mode::Usage, L"", nullptr, false, false),
    ROW(L"/HELP", Mode::Usage, L"", nullptr, false, false),
    ROW(L"/n 15 -?", Mode::Usage, L"", nullptr, false, false),
    ROW(L"/auto /n 15", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/auto /card 1", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/n", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/noreboot", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/n 1 /n 2", Mode::Bad, L"", nullptr, false, false),
    ROW(L"15", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/reboot", Mode::Bad, L"", nullptr, false, false),
    // The number's value is the run's to judge, once it has read config.ini's zones.
    ROW(L"/n 1.5 /card 1", Mode::Number, L"1.5", L"1", false, false),
    ROW(L"/card 1", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/n \" 015 \"", Mode::Number, L" 015 ", nullptr, false, false),
    // /check alone takes the machine from [Machines], as /auto does; with /n and /card, those.
    ROW(L"/CHECK", Mode::Auto, L"", nullptr, false, true),
    ROW(L"-check /n 15 /card 2", Mode::Number, L"15", L"2", false, true),
    ROW(L"/n 15 /card \"C:\\\\\"", Mode::Number, L"15", L"C:\\", false, false),
    // Four backslashes before a quote are two, and the quote still opens; "" inside quotes is one quote.
    ROW(L"/n 15 /card C:\\\\\\\\\"x y\"", Mode::Number, L"15", L"C:\\\\x y", false, false),
    ROW(L"/n 15 /card \"a\"\"b\" /noreboot", Mode::Number, L"15", L"a\"b", true, false),
    ROW(L"/TABLE", Mode::Table, L"", nullptr, false, false),
    ROW(L"-report", Mode::Report, L"", nullptr, false, false),
    ROW(L"/table /n 1", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/report /noreboot", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/UNDO", Mode::Undo, L"", nullptr, false, false),
    ROW(L"-noreboot /undo", Mode::Undo, L"", nullptr, true, false),
    ROW(L"/undo /n 15", Mode::Bad, L"", nullptr, false, false),
    ROW(L"/undo /check", Mode::Bad, L"", nullptr, false, false),
};

TEST(CommandLineTest, SwitchesAndTheirValues) {
  for (const SwitchRow& row : kSwitchRows) {
    TRACE_ROW(row);
    const CommandLine command = ParseCommandLine(row.text);
    EXPECT_EQ(command.mode, row.mode);
    if (row.mode == Mode::Bad) {
      EXPECT_FALSE(command.error.empty());
      continue;
    }
    EXPECT_EQ(command.number, row.number);
    EXPECT_EQ(command.card.has_value(), row.card != nullptr);
    if (row.card != nullptr && command.card) {
      EXPECT_EQ(*command.card, row.card);
    }
    EXPECT_EQ(command.noReboot, row.noReboot);
    EXPECT_EQ(command.check, row.check);
  }
}

// A mistake is said in one line with what to type instead: a switch twice, one unknown, a switch and its
// number glued together, a value missing.
TEST(CommandLineTest, MistakesAreNamed) {
  const struct {
    int line;
    const wchar_t* text;
    const wchar_t* error;
  } rows[] = {
      ROW(L"/auto -AUTO", L"参数重复: -AUTO,只写一次"),
      ROW(L"/check /check", L"参数重复: /check,只写一次"),
      ROW(L"/reboot", L"无法识别的参数: /reboot"),
      ROW(L"15", L"无法识别的参数: 15,开关以 / 或 - 开头(例如 /n 15)"),
      ROW(L"/auto /force /FORCE", L"参数重复: /FORCE,只写一次"),
      ROW(L"/check /force", L"/check 只检查,不写入,不能再用 /force"),
      ROW(L"/undo /force", L"/undo 只能再加 /noreboot"),
      ROW(L"/n15", L"无法识别的参数: /n15,开关和数字之间要有空格: /n 15"),
      ROW(L"-N15 /card 2", L"无法识别的参数: -N15,开关和数字之间要有空格: -N 15"),
      ROW(L"/n 15 /card2", L"无法识别的参数: /card2,开关和数字之间要有空格: /card 2"),
      ROW(L"/n", L"/n 后面缺少值,例如 /n 15"),
      ROW(L"/n 15 /card", L"/card 后面缺少值,例如 /card 2(网卡的序号,见 /cards)"),
      ROW(L"/table /noreboot", L"/table 不与其他参数同用,只写 VexaIpSet.exe /table"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const CommandLine command = ParseCommandLine(row.text);
    EXPECT_EQ(command.mode, Mode::Bad);
    EXPECT_EQ(command.error, row.error);
  }
  EXPECT_TRUE(ParseCommandLine(L"/n 15 -Force").force);
  EXPECT_FALSE(ParseCommandLine(L"/n 15").force);
  EXPECT_EQ(BadArgumentsText(L"无法识别的参数: /reboot"),
            L"命令行参数错误: 无法识别的参数: /reboot\r\n用 VexaIpSet.exe /? 查看用法");
}

// A Chinese input method's full-width digits, and a full-width '／' or '－' before a switch, are the
// half-width ones on the command line.
TEST(CommandLineTest, FullWidthIsTakenAsHalfWidth) {
  const CommandLine number = ParseCommandLine(L"/n \xFF11\xFF15 \xFF0F\x63\x61rd \xFF12");
  EXPECT_EQ(number.mode, Mode::Number);
  EXPECT_EQ(number.number, L"15");
  EXPECT_EQ(*number.card, L"2");
  EXPECT_EQ(ParseCommandLine(L"\xFF0D"
                             L"auto")
                .mode,
            Mode::Auto);
  EXPECT_EQ(ParseCommandLine(L"/n\xFF11\xFF15").error, L"无法识别的参数: /n15,开关和数字之间要有空格: /n 15");
  EXPECT_EQ(ParseCommandLine(L"/CARDS").mode, Mode::Cards);
  EXPECT_EQ(ParseCommandLine(L"/n \xFF10\xFF19").number, L"09");  // both ends of the full-width digits
}

// /export takes one of its formats, and /force alone beside it.
TEST(CommandLineTest, ExportTakesAFormatAndForce) {
  EXPECT_EQ(ParseCommandLine(L"/export").error,
            L"/export 后面缺少格式: dnsmasq、dhcpd、dhcpd-hosts、kea、kea-reservations、netsh、arp 或 csv");
  EXPECT_EQ(ParseCommandLine(L"/export bind").error,
            L"/export 后面应是 dnsmasq、dhcpd、dhcpd-hosts、kea、kea-reservations、netsh、arp 或 csv: bind");
  EXPECT_EQ(ParseCommandLine(L"/export csv /n 1").error, L"/export 只能再加 /force: /n");
  EXPECT_EQ(ParseCommandLine(L"/export csv /force -Force").error, L"/export 只能再加 /force: -Force");
  const CommandLine exporting = ParseCommandLine(L"/force -Export KEA");
  EXPECT_EQ(exporting.mode, CommandLine::Mode::Export);
  EXPECT_EQ(exporting.format, ExportFormat::Kea);
  EXPECT_TRUE(exporting.force);
  EXPECT_FALSE(ParseCommandLine(L"/export arp").force);
}

// /install passes /force on to the service's /auto; /uninstall stands alone.
TEST(CommandLineTest, TheStartUpServiceSwitches) {
  EXPECT_EQ(ParseCommandLine(L"-INSTALL").mode, Mode::Install);
  EXPECT_FALSE(ParseCommandLine(L"/install").force);
  const CommandLine forced = ParseCommandLine(L"/force /install");
  EXPECT_EQ(forced.mode, Mode::Install);
  EXPECT_TRUE(forced.force);
  EXPECT_EQ(ParseCommandLine(L"/install /noreboot").error, L"/install 只能再加 /force: /noreboot");
  EXPECT_EQ(ParseCommandLine(L"/service /force").mode, Mode::Service);
  EXPECT_EQ(ParseCommandLine(L"/uninstall").mode, Mode::Uninstall);
  EXPECT_EQ(ParseCommandLine(L"/uninstall /force").error, L"/uninstall 不与其他参数同用,只写 VexaIpSet.exe /uninstall");
}

// The usage's first line names the tool's version as a version is written; the exit codes batch files test,
// as the usage lists them.
TEST(CommandLineTest, TheUsageNamesTheVersionAndTheExitCodes) {
  const std::wstring usage = UsageText();
  const std::wstring first = usage.substr(0, usage.find(L"\r\n"));
  const std::wstring tail = L" - 按 config.ini 设置本机的计算机名、IP 地址和游戏序列号";
  ASSERT_TRUE(first.starts_with(L"VexaIpSet ") && first.ends_with(tail)) << ToUtf8(first);
  const std::wstring version = first.substr(10, first.size() - 10 - tail.size());
  int dots = 0;
  for (wchar_t c : version.substr(0, version.find(L'-'))) dots += c == L'.' ? 1 : (IsDigit(c) ? 0 : 100);
  EXPECT_EQ(dots, 2) << "major.minor.patch: " << ToUtf8(version);
  EXPECT_NE(usage.find(L"退出码: 0 已写入或已是这些设置(/check: 已生效)  1 参数错误  2 拒绝(原因见输出)\r\n"
                       L"        3 有项目未能写入或恢复  4 已写入但重启请求失败  5 已写入但还没有生效"),
            std::wstring::npos);
  EXPECT_NE(usage.find(L"\r\n        6 /check: 注册表与这些设置不同"), std::wstring::npos);
}

}  // namespace
}  // namespace vexa
