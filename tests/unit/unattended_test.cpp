// Unattended deployment on the simulated Windows: the command line, the [Machines] table, the window's
// pre-fill, the unattended run's exit codes and idempotence, and the log.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/controls.h"
#include "app/frmmain.h"
#include "app/unattended.h"
#include "apply/apply_run.h"
#include "apply/ok_action.h"
#include "common/utf8.h"
#include "common/version.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "log/run_log.h"
#include "platform/sim/sim_window.h"
#include "sim_machine.h"

namespace vexa {
namespace {

using test::Sz;

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

TEST(MachineTableTest, AddressesInEitherSpellingNumbersAsWrittenBadLinesApart) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(
      L"[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00:1a:2b:3c:4d:5f= 007 \r\n001A2B3C4D60=17\r\n00-1A:2B-3C-4D-61=18\r\n"
      L"00-1A-2B-3C-4D-5G=19\r\nbare\r\n; a comment=1\r\n00-1A-2B-3C-4D-63＝21\r\n00-1A-2B-3C-4D-5E-77=22\r\n"
      L"00-1a-2b-3c-4d-5f=16\r\n00:1A:2B:3C:4D:5E=15\r\n00-00-00-00-00-01=3\r\n[Other]\r\n00-1A-2B-3C-4D-62=20\r\n"
      L"[machines]\r\n"
      L"00-1A-2B-3C-4D-64=23\r\n");
  const IniFile::MachineTable table = IniFile::ReadMachineTable(IniFile::ConfigFile::Open(platform));
  ASSERT_EQ(table.entries.size(), 5u);
  EXPECT_EQ(FormatMac(table.entries[4].address), L"00-00-00-00-00-01");
  EXPECT_EQ(FormatMac(table.entries[0].address), L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(table.entries[0].numberText, L"15");
  EXPECT_EQ(FormatMac(table.entries[1].address), L"00-1A-2B-3C-4D-5F");
  EXPECT_EQ(table.entries[1].numberText, L"007");
  EXPECT_EQ(table.unreadable,
            (std::vector<std::wstring>{L"bare", L"00-1A-2B-3C-4D-63＝21", L"001A2B3C4D60=17", L"00-1A:2B-3C-4D-61=18",
                                       L"00-1A-2B-3C-4D-5G=19", L"00-1A-2B-3C-4D-5E-77=22"}));
  EXPECT_EQ(table.duplicates, (std::vector<std::wstring>{L"00-1a-2b-3c-4d-5f=16", L"00:1A:2B:3C:4D:5E=15"}));
  EXPECT_EQ(table.sections, 2);
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_EQ(IniFile::ReadMachineTable(IniFile::ConfigFile::Open(platform)).sections, 0);
}

// A cloned workstation with two cards whose adapters report their addresses.
class DeploymentTest : public ::testing::Test {
 protected:
  DeploymentTest() {
    test::CloneImage(sim);
    sim.adapters.Add("{11111111-aaaa}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6));  // card 1, name in another case
    sim.adapters.Add("{22222222-BBBB}", std::string("\x00\x1A\x2B\x3C\x4D\x5F", 6));  // card 2
    sim.adapters.Add("{33333333-CCCC}", std::string("\x00\x1A\x2B\x3C\x4D\x60", 6));  // no card of it
  }
  void Config(const std::wstring& machines) {
    sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n" + machines);
  }
  int Run(const wchar_t* line) {
    sim.console.output.clear();
    return RunUnattended(platform, ParseCommandLine(line));
  }
  std::wstring Output() { return sim.text.FromAnsi(sim.console.output); }
  std::string Log() { return sim.files.Get(sim.system.moduleDirectory + "\\VexaIpSet.log").value_or(""); }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
  const test::WriteCounts counts = test::CountWrites(sim.text);
};

TEST_F(DeploymentTest, TheWindowStartsChosenAndTypedWhenOneCardIsListed) {
  const wchar_t* realtek = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
  const wchar_t* intel = L"Intel(R) PRO/100 VE Network Connection";
  const struct {
    const wchar_t* machines;
    const wchar_t* card;  // nullptr: start-up as without a table
    const wchar_t* number;
  } cases[] = {
      {L"00-1a-2b-3c-4d-5e=007\r\n", realtek, L"007"},
      {L"00:1A:2B:3C:4D:5F=16\r\n00-AA-AA-AA-AA-AA=15\r\n", intel, L"16"},
      {L"00-1A-2B-3C-4D-5E=15\r\n00-1A-2B-3C-4D-5F=16\r\n", nullptr, nullptr},   // both cards listed
      {L"00-1A-2B-3C-4D-5E=15\r\n00-AA-AA-AA-AA-AA=015\r\n", nullptr, nullptr},  // 15 for two addresses
      {L"00-1A-2B-3C-4D-5E=300\r\n", nullptr, nullptr},                          // no valid number
      {L"00-AA-AA-AA-AA-AA=15\r\n", nullptr, nullptr},                           // no card listed
  };
  sim::SimWindow plain(frm::ControlTable());
  frm::FrmMain(platform, plain).Form_Load();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    Config(c.machines);
    sim::SimWindow window(frm::ControlTable());
    frm::FrmMain form(platform, window);
    form.Form_Load();
    if (c.card == nullptr) {
      EXPECT_EQ(window.Log(), plain.Log());
      EXPECT_EQ(window.Focus(), frm::cboInterface);
      continue;
    }
    EXPECT_EQ(window.Caption(frm::cboInterface), c.card);
    EXPECT_EQ(window.State(frm::txtNum).caption, c.number);
    EXPECT_FALSE(window.State(frm::Label13).visible);  // the card view is shown
    EXPECT_EQ(window.Focus(), frm::txtNum);
  }
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n");
  const int asked = sim.adapters.asked;
  frm::FrmMain(platform, plain).Form_Load();
  EXPECT_EQ(sim.adapters.asked, asked) << "without [Machines] the adapters are not asked for";
}

// Each exit code, from the console's point of view and the registry's.
TEST_F(DeploymentTest, ExitCodes) {
  const struct {
    const wchar_t* line;
    const wchar_t* machines;
    int code;
    bool writes;  // every value, or none
    const wchar_t* says;
  } cases[] = {
      {L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=15\r\n", exit_code::kDone, true, L"计算机名  :  WB-15"},
      {L"/n 16 /card 2 /noreboot", L"", exit_code::kDone, true, L"计算机名  :  WB-16"},
      {L"/n 17 /card \"Intel(R) PRO/100 VE Network Connection\" /noreboot", L"", exit_code::kDone, true, L"WB-17"},
      {L"/n 15 /auto", L"", exit_code::kBadArguments, false, L"命令行参数错误: /auto 和 /n 不能同时使用"},
      {L"/n 15", L"", exit_code::kRefused, false, L"本机有 2 块网卡,请用 /card 指定一块。"},
      {L"/n 255 /card 1", L"", exit_code::kBadArguments, false, L"/n 后面应是 1-254 的机号(只用数字): 255"},
      {L"/n 20abc /card 1", L"", exit_code::kBadArguments, false, L"/n 后面应是 1-254 的机号(只用数字): 20abc"},
      {L"/n 15 /card 3", L"", exit_code::kRefused, false, L"没有第 3 块网卡(本机有 2 块)。"},
      {L"/auto", L"00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
       L"不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, 00-1A-2B-3C-4D-5F"},
      {L"/auto", L"00-1A-2B-3C-4D-5E=15\r\n00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
       L"请改正: 00-1A-2B-3C-4D-5E, 00-AA-AA-AA-AA-AA"},
      {L"/auto", L"00-AA-AA-AA-AA-AA=15\r\n00-1A-2B-3C-4D-5E=15\r\n", exit_code::kRefused, 0,
       L"请改正: 00-1A-2B-3C-4D-5E, 00-AA-AA-AA-AA-AA"},
      // A line written twice is no conflict; a line without a number takes no part, in any spelling.
      {L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=15\r\n00-1a-2b-3c-4d-5e=15\r\n", exit_code::kDone, true, L"WB-15"},
      {L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=x\r\n00-1A-2B-3C-4D-5E=17\r\n", exit_code::kDone, true, L"WB-17"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    test::CloneImage(sim);
    Config(c.machines);
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(c.line), c.code);
    EXPECT_EQ(sim.registry.Writes().size(), c.writes ? counts.all : 0u);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    EXPECT_TRUE(sim.messages.Shown().empty());
    EXPECT_TRUE(sim.restart.calls.empty());
  }
  // One card: /card may be left out.
  sim.registry.DeleteKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\2");
  EXPECT_EQ(Run(L"/n 15 /noreboot"), exit_code::kDone);
  EXPECT_NE(Output().find(L"网卡      :  Realtek RTL8139 Family PCI Fast Ethernet NIC"), std::wstring::npos);
}

// What a run without a window refuses, before anything is written: config.ini it cannot trust, values
// Windows could not use, a table that names no machine, a card description that names two cards.
TEST_F(DeploymentTest, RefusalsWriteNothing) {
  const struct {
    const wchar_t* line;
    std::optional<std::wstring> config;  // nullopt: no config.ini
    const char* besides;                 // a file put beside config.ini, or nullptr
    const wchar_t* says;
  } cases[] = {
      {L"/n 15 /card 1", std::nullopt, nullptr, L"找不到配置文件 C:\\VexaIpSet\\config.ini。"},
      {L"/n 15 /card 1", std::nullopt, "config.ini.txt",
       L"同一文件夹里有 config.ini.txt:保存时多了扩展名,请把它改名为 config.ini。"},
      {L"/n 15 /card 1", L"", nullptr, L"配置文件 C:\\VexaIpSet\\config.ini 是空的。"},
      {L"/n 15 /card 1", L"[Network2]\r\nIP=10.0.0\r\n", "config.ini.ini",
       L"中没有 [NetWork] 节。\r\n同一文件夹里有 config.ini.ini"},
      {L"/n 15 /card 1", L"[NetWork]\r\nMask=255.255.255.O\r\n", nullptr,
       L"Mask=255.255.255.O\r\n文件: C:\\VexaIpSet\\config.ini"},
      {L"/n 15 /card 1", L"[NetWork]\r\nMask=abc\r\n", nullptr, L"配置文件中的 Mask 不是有效的子网掩码"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=999.1.1.1\r\n", nullptr, L"GateWay=999.1.1.1"},
      {L"/n 15 /card 1", L"[NetWork]\r\nDNS=hello world\r\n", nullptr, L"DNS=hello world"},
      {L"/n 15 /card 1", L"[NetWork]\r\nIPOffset=240\r\n", nullptr, L"192.168.0.255 是子网 192.168.0.0/24 的广播地址"},
      {L"/n 127 /card 1", L"[NetWork]\r\nMask=255.255.255.128\r\nGateWay=\r\n", nullptr,
       L"192.168.0.127 是子网 192.168.0.0/25 的广播地址"},
      {L"/n 128 /card 1", L"[NetWork]\r\nMask=255.255.255.128\r\nGateWay=\r\n", nullptr,
       L"192.168.0.128 是子网 192.168.0.128/25 的网络地址"},
      {L"/n 15 /card 1", L"[NetWork]\r\nIP=127.0.0\r\nGateWay=\r\n", nullptr, L"127.0.0.15 在 127.0.0.0/8 中"},
      {L"/n 15 /card 1", L"[NetWork]\r\nIP=0.0.0\r\nGateWay=\r\n", nullptr, L"0.0.0.15 在 0.0.0.0/8 中"},
      {L"/n 15 /card 1", L"[NetWork]\r\nIP=224.0.0\r\nGateWay=\r\n", nullptr, L"224.0.0.15 在 224.0.0.0 及以上"},
      {L"/n 15 /card 1", L"[NetWork]\r\nIP=192.168.08\r\n", nullptr, L"192.168.08.15 中有以 0 开头的数"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=192.168.0.15\r\n", nullptr,
       L"默认网关不能是本机自己的 IP 地址 192.168.0.15。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=192.168.0.0\r\n", nullptr,
       L"192.168.0.0 是子网 192.168.0.0/24 的网络地址,不能用作网关。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=192.168.0.255\r\n", nullptr,
       L"192.168.0.255 是子网 192.168.0.0/24 的广播地址,不能用作网关。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=0.0.0.0\r\n", nullptr, L"0.0.0.0 在 0.0.0.0/8 中"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=192.168.0.010\r\n", nullptr, L"192.168.0.010 中有以 0 开头的数"},
      {L"/n 15 /card 1", L"[NetWork]\r\nGateWay=10.0.0.1\r\n", nullptr,
       L"不在 IP 地址 192.168.0.15 和子网掩码 255.255.255.0 所确定的子网 192.168.0.0/24 "
       L"中。\r\n本机可能无法通过这个网关连到其他网络。\r\n要仍然写入,请加 /force。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nDNS=0.0.0.0\r\n", nullptr, L"0.0.0.0 不是 DNS 服务器的地址。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nDNS=255.255.255.255\r\n", nullptr, L"255.255.255.255 不是 DNS 服务器的地址。"},
      {L"/n 15 /card 1", L"[NetWork]\r\nDNS=1.1.1.01\r\n", nullptr, L"1.1.1.01 中有以 0 开头的数"},
      {L"/n 15 /card 1", L"[NetWork]\r\nMask=255.255.255.00\r\n", nullptr, L"255.255.255.00 中有以 0 开头的数"},
      {L"/n 15 /card 1", L"[NetWork]\r\nNetPrefix=W\u3000B-\r\n", nullptr, L"计算机名=W\u3000B-15"},
      {L"/n 15 /card 1", L"[NetWork]\r\nDNS=" + std::wstring(260, L'1') + L"\r\n", nullptr, L"DNS 的值长于 253 个字节"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=16abc\r\n00-1A-2B-3C-4D-5F=1.5\r\n", nullptr,
       L"无法读取的行(需要 网卡地址=1-254 的机号):\r\n  00-1A-2B-3C-4D-5E=16abc\r\n  00-1A-2B-3C-4D-5F=1.5"},
      {L"/auto", L"[NetWork]\r\n", nullptr, L"config.ini 中没有 [Machines] 机器表。"},
      {L"/auto", L"[Machines]\r\nb1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\nb8\r\nb9\r\nb10\r\nb11\r\n[NetWork]\r\n",
       nullptr, L"  b9\r\n  b10\r\n  ……共 11 行"},  // the first ten unreadable lines, then their count
      {L"/auto",
       L"[Machines]\r\nb1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\nb8\r\nb9\r\nb10\r\n00-AA-AA-AA-AA-AA=15\r\n"
       L"00-AA-AA-AA-AA-AA=15\r\n[NetWork]\r\n",
       nullptr, L"  b10\r\n[Machines] 中重复的地址:\r\n  00-AA-AA-AA-AA-AA=15"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-AA-AA-AA-AA-AA=15\r\n", nullptr,  // card 4 has no address
       L"不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, 00-1A-2B-3C-4D-5F, 00-1A-2B-3C-4D-60\r\n"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n", nullptr, L"config.ini 的 [Machines] 机器表是空的。"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E 15\r\n", nullptr,
       L"无法读取的行(需要 网卡地址=1-254 的机号):\r\n  00-1A-2B-3C-4D-5E 15"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-AA-AA-AA-AA-AA=15\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n", nullptr,
       L"注意: config.ini 中有 2 个 [Machines] 节,Windows 只读第一个,其余节里的行没有用到。"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00:1a:2b:3c:4d:5e=16\r\n", nullptr,
       L"请改正: 00-1A-2B-3C-4D-5E\r\n[Machines] 中重复的地址:\r\n  00:1a:2b:3c:4d:5e=16"},
      {L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00-1a-2b-3c-4d-5e=16\r\n", nullptr,
       L"请改正: 00-1A-2B-3C-4D-5E\r\n[Machines] 中重复的地址:\r\n  00-1a-2b-3c-4d-5e=16"},
      {L"/n 15 /card \"Realtek RTL8139 Family PCI Fast Ethernet NIC\"", L"[NetWork]\r\n", nullptr,
       L"的网卡有 2 块(第 1 块、第 3 块),请用 /card 序号指定。"},
  };
  test::AddCard(sim.registry, "3", test::Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"),
                test::Sz("{33333333-CCCC}"));
  test::AddCard(sim.registry, "4", test::Sz("Card without an adapter"), test::Sz("{44444444-DDDD}"));
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    sim.files.RemoveFile(sim.ConfigPath().c_str());
    for (const char* extra : {".txt", ".ini"}) sim.files.RemoveFile((sim.ConfigPath() + extra).c_str());
    if (c.config) sim.PutConfig(*c.config);
    if (c.besides != nullptr) sim.files.Put(sim.system.moduleDirectory + "\\" + c.besides, "[NetWork]\r\n");
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(c.line), exit_code::kRefused);
    EXPECT_TRUE(sim.registry.Writes().empty());
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
  }
}

// /force writes what Windows would ask about, and its line says so; a value Windows cannot use it never writes.
TEST_F(DeploymentTest, ForceWritesAGatewayOutsideTheSubnetOnly) {
  sim.PutConfig(L"[NetWork]\r\nGateWay=10.0.0.1\r\n");
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), exit_code::kDone);
  EXPECT_EQ(sim.registry.Writes().size(), counts.all);
  EXPECT_NE(Output().find(L"\r\n/force: 默认网关 10.0.0.1 不在"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Log().find(ToUtf8(L"\t已写入, /force: 默认网关 10.0.0.1 不在")), std::string::npos);
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone) << "in place: nothing to ask about";
  sim.PutConfig(L"[NetWork]\r\nGateWay=0.0.0.0\r\n");
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), exit_code::kRefused);
  EXPECT_TRUE(sim.registry.Writes().empty());
}

// No number given twice: a number whose last vouching line names another card that still holds it.
TEST_F(DeploymentTest, ANumberAnotherCardHoldsIsNotGivenTwice) {
  const std::wstring other = L"00-1A-2B-3C-4D-5F";
  const std::wstring mine = L"00-1A-2B-3C-4D-5E";
  auto line = [](const std::wstring& address, const std::wstring& number) {
    return L"2026-12-01 10:00:00\t/n\t已写入\t机号=" + number + L"\t计算机名=WB-" + number + L"\tIP=\t网卡=NIC\t地址=" +
           address + L"\t未写入=\t退出码=0\t" + address + L"=" + number + L"\r\n";
  };
  const struct {
    std::wstring log;
    const wchar_t* command;
    int code;
    const wchar_t* says;
  } cases[] = {
      {line(other, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kRefused,
       L"日志显示机号 15 已经给了另一块网卡 00-1A-2B-3C-4D-5F(2026-12-01 10:00:00 的运行,计算机名 WB-15),"
       L"那块网卡最后一次运行仍是这个机号。\r\n要仍然写入,请加 /force。"},
      {line(other, L"15"), L"/auto /noreboot", exit_code::kDone, L"\r\n注意: 日志显示机号 15 已经给了另一块网卡"},
      {line(other, L"15") + line(other, L"16"), L"/n 15 /card 1 /noreboot", exit_code::kDone, L"已写入"},  // moved on
      // Later lines that do not move it on: another card's, and its own refusal.
      {line(other, L"15") + line(L"00-1A-2B-3C-4D-60", L"20") +
           L"2026-12-02 10:00:00\t/n\t拒绝: x\t机号=16\t计算机名=WB-16\tIP=\t网卡=NIC\t地址=" + other +
           L"\t未写入=\t退出码=2\r\n",
       L"/n 15 /card 1 /noreboot", exit_code::kRefused, L"日志显示机号 15 已经给了另一块网卡"},
      {line(other, L"15") + line(mine, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kDone, L"已写入"},
      {line(mine, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kDone, L"已写入"},  // the same card, re-cloned
      {line(other, L"15"), L"/n 15 /card 1 /noreboot /force", exit_code::kDone, L"\r\n/force: 日志显示机号 15"},
  };
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    test::CloneImage(sim);
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    sim.files.Put(log, ToUtf8(c.log));
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(c.command), c.code);
    EXPECT_EQ(sim.registry.Writes().size(), c.code == exit_code::kDone ? counts.all : 0u);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
  }
  EXPECT_NE(Log().find(ToUtf8(L"\t已写入, /force: 日志显示机号 15")), std::string::npos);
}

// The log as Notepad saves it again: "ANSI" (code page 936) or "Unicode" (UTF-16LE).
void Resave(sim::SimPlatform& s, const std::string& log, bool utf16) {
  const std::wstring text = FromUtf8(s.files.Get(log).value_or("").substr(3));
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF)};
  s.files.Put(log, utf16 ? out : s.text.ToAnsi(text));
}

// The log as a cafe leaves it while every machine runs: re-saved by a person, torn by a machine switched
// off, held, grown past what the tool writes. What can be read is read; what cannot is never taken as
// "nobody holds the number" nor as "no restart was asked".
TEST_F(DeploymentTest, TheSafeguardsHoldWhateverStateTheLogIsIn) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  using Change = void (*)(sim::SimPlatform&, const std::string&);
  const struct {
    const char* state;
    Change change;
    bool readable;  // every line can be read
  } cases[] = {
      {"as written", [](sim::SimPlatform&, const std::string&) {}, true},
      {"re-saved as ANSI", [](sim::SimPlatform& s, const std::string& l) { Resave(s, l, false); }, true},
      {"re-saved as Unicode", [](sim::SimPlatform& s, const std::string& l) { Resave(s, l, true); }, true},
      {"torn inside a character",
       [](sim::SimPlatform& s, const std::string& l) {
         s.files.Put(l, s.files.Get(l).value_or("") + "2026-12-08 09:31:00\t/n\t\xE5\xB7");
       },
       true},
      {"NUL bytes after the last line",
       [](sim::SimPlatform& s, const std::string& l) {
         s.files.Put(l, s.files.Get(l).value_or("") + std::string(100, '\0'));
       },
       false},
      {"held without sharing", [](sim::SimPlatform& s, const std::string& l) { s.files.Hold(l, true); }, false},
      {"locked by another run", [](sim::SimPlatform& s, const std::string& l) { s.files.LockByOther(l, true); }, false},
      {"larger than the tool writes",
       [](sim::SimPlatform& s, const std::string& l) {
         s.files.Put(l, s.files.Get(l).value_or("") + std::string(kLogReadLimit, 'x') + "\r\n");
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    // The guard: card 2 ran /n 20; card 1 asks for 20.
    test::CloneImage(sim);
    Config(L"");
    for (const std::string& file : {log, log + ".old"}) sim.files.RemoveFile(file.c_str());
    ASSERT_EQ(Run(L"/n 20 /card 2 /noreboot"), exit_code::kDone);
    c.change(sim, log);
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kRefused);
    EXPECT_TRUE(sim.registry.Writes().empty());
    EXPECT_NE(Output().find(c.readable ? L"日志显示机号 20 已经给了另一块网卡 00-1A-2B-3C-4D-5F"
                                       : L"无法确认机号 20 没有给别的网卡。\r\n要仍然写入,请加 /force。"),
              std::wstring::npos)
        << sim.console.output;
    sim.files.Hold(log, false);
    sim.files.LockByOther(log, false);
    if (c.readable) {
      // The refusal's line is on a line of its own, after a torn one too; the lines before it still read.
      const RunLog read = ReadRunLog(platform, LogPlace{sim.system.moduleDirectory, L"", L""});
      ASSERT_EQ(read.entries.size(), 2u);
      EXPECT_EQ(read.entries.back().record.outcome.rfind(kRefusedOutcome, 0), 0u);
      EXPECT_EQ(read.Skipped(), std::string(c.state).starts_with("torn") ? 1 : 0);
      EXPECT_EQ(read.foreign, 0);
    }

    // The restart rule: a rename asked for once, then the log in this state, and three more runs at
    // start-up that find Windows still under the old name: never more than two requests in all.
    test::CloneImage(sim);
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    for (const std::string& file : {log, log + ".old"}) sim.files.RemoveFile(file.c_str());
    sim.restart.calls.clear();
    ASSERT_EQ(Run(L"/auto"), exit_code::kDone);
    c.change(sim, log);
    int codes = 0;
    for (int run = 0; run < 3; ++run) {
      sim.system.now.minute += 1;
      codes += Run(L"/auto");
    }
    const auto requests = std::count_if(sim.restart.calls.begin(), sim.restart.calls.end(),
                                        [](const std::string& call) { return call.rfind("ExitWindowsEx", 0) == 0; });
    EXPECT_EQ(requests, c.readable ? 2 : 1);
    EXPECT_EQ(codes, c.readable ? exit_code::kDone + 2 * exit_code::kNotInEffect : 3 * exit_code::kNotInEffect);
    EXPECT_NE(Output().find(c.readable ? L"请求过两次重启,计算机名仍未生效" : L"不能确认是否已经请求过重启,所以不重启"),
              std::wstring::npos)
        << sim.console.output;
    // /auto follows [Machines] all the same, and says what the log could not tell.
    EXPECT_EQ(Output().find(L"注意: 无法读取日志 ") != std::wstring::npos, !c.readable) << sim.console.output;
    sim.files.Hold(log, false);
    sim.files.LockByOther(log, false);
  }
}

// Of runs at once that want one number, one writes: the log is held from the guard's reading through the
// registry writes to the run's own line, and that line is on the disk before the restart is asked.
TEST_F(DeploymentTest, CheckWriteAndLineAreOneStepAndTheLineComesFirst) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  Config(L"");
  int writesUnlocked = 0;
  sim.registry.onWrite = [&] {
    const Files::Opened other = sim.files.OpenShared(log.c_str());  // another machine's run
    if (other.status == Files::Open::Opened && sim.files.TryLock(other.file)) ++writesUnlocked;
    sim.files.Close(other.file);
  };
  std::string atRestart;
  std::size_t unflushed = 1;
  sim.restart.onExitWindows = [&] {
    atRestart = Log();
    unflushed = sim.files.Unflushed(log);
  };
  EXPECT_EQ(Run(L"/n 20 /card 1"), exit_code::kDone);
  EXPECT_EQ(writesUnlocked, 0);
  EXPECT_NE(atRestart.find(ToUtf8(L"已请求重启")), std::string::npos) << atRestart;
  EXPECT_EQ(unflushed, 0u);
  sim.registry.onWrite = nullptr;
  // Windows refuses the restart: the log's last word on the run is the exit code it returns.
  sim.restart.exitFails = true;
  test::CloneImage(sim);
  EXPECT_EQ(Run(L"/n 20 /card 1"), exit_code::kRestartRefused);
  const std::string after = Log();
  EXPECT_NE(after.rfind(ToUtf8(L"\t退出码=4\t")), std::string::npos);
  EXPECT_GT(after.rfind(ToUtf8(L"\t退出码=4\t")), after.rfind(ToUtf8(L"\t退出码=0\t")));
}

// Values already in place do not take back a number the log gives another card that still holds it.
TEST_F(DeploymentTest, ValuesInPlaceAreNoClaimOnANumberAnotherCardHolds) {
  Config(L"");
  ASSERT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kDone);
  ASSERT_EQ(Run(L"/n 20 /card 2 /noreboot /force"), exit_code::kDone);
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kRefused);  // card 1's values are still in place
  EXPECT_NE(Output().find(L"已经给了另一块网卡 00-1A-2B-3C-4D-5F"), std::wstring::npos) << sim.console.output;
  // Card 2, re-cloned, still finds 20 its own.
  test::CloneImage(sim);
  EXPECT_EQ(Run(L"/n 20 /card 2 /noreboot"), exit_code::kDone) << sim.console.output;
}

// One log for the whole cafe: config.ini may put it in a shared folder; every mode, /table and /report use
// it there, under the log's rules; a folder that cannot be reached gives way to config.ini's, and is said.
TEST_F(DeploymentTest, TheLogFolderConfigIniNames) {
  const std::string share = "\\\\server\\vexa";
  const std::string there = share + "\\VexaIpSet.log";
  const std::string here = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.AddFolder(share);
  const struct {
    const wchar_t* folder;
    void (*set)(sim::SimFiles&, const std::string&);
    const char* logged;   // where the line went, or nullptr
    const wchar_t* says;  // nullptr: nothing about the log
  } cases[] = {
      {L"\\\\server\\vexa", [](sim::SimFiles&, const std::string&) {}, "\\\\server\\vexa\\VexaIpSet.log", nullptr},
      {L"\\\\server\\gone", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log",
       L"日志文件夹 \\\\server\\gone 无法访问,这次记在 C:\\VexaIpSet\\VexaIpSet.log。"},
      {L"\\\\server\\vexa", [](sim::SimFiles& f, const std::string& l) { f.Put(l, ""), f.Links(l, 2); }, nullptr,
       L"日志 \\\\server\\vexa\\VexaIpSet.log 是链接"},
      // A start-up task runs in System32: a relative folder is config.ini's.
      {L".\\", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log", nullptr},
      {L"..\\VexaIpSet\\.", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log", nullptr},
      // A name ANSI calls cannot carry is refused by its character, not turned into "?" and looked for.
      {L"\\\\server\\caf\u00C9", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log",
       L"含有 Windows(代码页 936)无法表示的字符“é”(U+00C9),无法使用,这次记在"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    for (const std::string& log : {there, here}) sim.files.RemoveFile(log.c_str());
    c.set(sim.files, there);
    // Saved as UTF-8: a name GBK cannot hold reaches the tool as typed.
    sim.PutConfigBytes("\xEF\xBB\xBF" +
                       ToUtf8(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=" + std::wstring(c.folder)));
    EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
    for (const std::string& log : {there, here}) {
      EXPECT_EQ(sim.files.Get(log).value_or("").find("\t/n\t") != std::string::npos,
                c.logged != nullptr && log == c.logged)
          << log;
    }
    EXPECT_EQ(c.says == nullptr, Output().find(L"日志") == std::wstring::npos) << sim.console.output;
    if (c.says != nullptr) {
      EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    }
    sim.files.Links(there, 1);
  }
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=\\\\server\\vexa\r\n");
  sim.files.RemoveFile(there.c_str());
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"00-1A-2B-3C-4D-5E=15"), std::wstring::npos);
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_TRUE(sim.files.Get(share + "\\VexaIpSet.html").has_value());
}

// Whatever chose the card, it is written through its own entry: never through a second lookup by its
// description, which would find the later card of two alike.
TEST_F(DeploymentTest, ACardIsWrittenThroughItsOwnEntry) {
  test::AddCard(sim.registry, "3", test::Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"),
                test::Sz("{33333333-CCCC}"));
  const std::string card1 = std::string(test::kInterfacesKey) + "\\{11111111-AAAA}";
  const std::string card3 = std::string(test::kInterfacesKey) + "\\{33333333-CCCC}";
  auto ip = [&](const std::string& key) {
    auto v = sim.registry.GetValue(kHkeyLocalMachine, key, "IPAddress");
    return v ? v->data.substr(0, v->data.find('\0')) : std::string("<missing>");
  };
  Config(L"00-1A-2B-3C-4D-5E=20\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(ip(card1), "192.168.0.20");
  EXPECT_EQ(ip(card3), "<missing>");
  EXPECT_NE(Log().find("\t00-1A-2B-3C-4D-5E=20\r\n"), std::string::npos);
  EXPECT_EQ(Run(L"/n 60 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(ip(card1), "192.168.0.60");
  EXPECT_EQ(ip(card3), "<missing>");
  // A second [Machines] section: read as Windows reads it (the first), and said.
  sim.PutConfig(
      L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=21\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=22\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(ip(card1), "192.168.0.21");
  EXPECT_EQ(
      Output().rfind(L"注意: config.ini 中有 2 个 [Machines] 节,Windows 只读第一个,其余节里的行没有用到。\r\n", 0), 0u);
  Config(L"00-1A-2B-3C-4D-5E=20\r\n");
  // The window does not offer the matched card when another card has its description.
  sim::SimWindow window(frm::ControlTable());
  frm::FrmMain form(platform, window);
  form.Form_Load();
  EXPECT_EQ(window.State(frm::txtNum).caption, L"");
}

// /check writes nothing and restarts nothing: 6 while the registry differs, 5 while Windows does not run
// with the values yet, 0 when the name is active and the address is live on the card.
TEST_F(DeploymentTest, CheckTellsWhatIsInEffect) {
  using Dad = UnicastAddress::Dad;
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  auto check = [&](const wchar_t* line) {
    sim.registry.ClearWrites();
    sim.restart.calls.clear();
    const int code = Run(line);
    EXPECT_TRUE(sim.registry.Writes().empty());
    EXPECT_TRUE(sim.restart.calls.empty());
    return code;
  };
  EXPECT_EQ(check(L"/check"), exit_code::kRegistryDiffers);
  EXPECT_NE(Output().find(L"注册表: 与这些设置不同"), std::wstring::npos);
  ASSERT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(check(L"/check"), exit_code::kNotInEffect);
  EXPECT_NE(Output().find(L"计算机名: 还没有生效(Windows 当前的计算机名: MASTER)"), std::wstring::npos);
  test::Restart(sim);
  EXPECT_EQ(check(L"/check"), exit_code::kNotInEffect);
  EXPECT_NE(Output().find(L"IP 地址 192.168.0.15: 网卡上还没有这个地址"), std::wstring::npos);
  const struct {
    bool up;
    Dad dad;
    int code;
    const wchar_t* says;
  } cases[] = {
      {true, Dad::Preferred, exit_code::kDone, L"结论: 已生效"},
      {true, Dad::Duplicate, exit_code::kNotInEffect, L"IP 地址 192.168.0.15: 网络上有地址冲突"},
      {true, Dad::Other, exit_code::kNotInEffect, L"网卡上还没有这个地址"},
      {false, Dad::Preferred, exit_code::kNotInEffect, L"IP 地址 192.168.0.15: 网卡未连接"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    sim.adapters.list[0].up = c.up;
    sim.adapters.list[0].ipv4 = {UnicastAddress{"10.1.1.1", Dad::Preferred}, UnicastAddress{"192.168.0.15", c.dad}};
    EXPECT_EQ(check(L"/check"), c.code);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
  }
  sim.adapters.list[0].up = true;
  EXPECT_EQ(check(L"/check /n 15 /card 1"), exit_code::kDone);
  EXPECT_EQ(check(L"/check /n 16 /card 1"), exit_code::kRegistryDiffers);
  EXPECT_NE(Log().find(ToUtf8(L"\t/check\t检查: 注册表与 config.ini 算出的设置不同\t机号=16\t")), std::string::npos);
  EXPECT_NE(Log().rfind(ToUtf8(L"\t退出码=6\t")), std::string::npos) << "the check's line keeps its exit code";
  EXPECT_EQ(Log().find("=16\r\n"), std::string::npos) << "a check adds no [Machines] line";
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);  // a check that cannot log says so, with the path
  EXPECT_EQ(check(L"/check /n 15 /card 1"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n日志 C:\\VexaIpSet\\VexaIpSet.log 无法写入"), std::wstring::npos);
  sim.PutConfig(L"");
  EXPECT_EQ(check(L"/check /n 15 /card 1"), exit_code::kRefused);
}

TEST_F(DeploymentTest, ASecondRunWritesNothingAndNeverRebootsTwice) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(sim.registry.Writes().size(), counts.all);
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  EXPECT_NE(Output().find(L"\r\n正在重新启动计算机。"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已写入, 已请求重启\t")), std::string::npos);
  test::Restart(sim);
  sim.registry.ClearWrites();
  sim.restart.calls.clear();
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(sim.registry.Writes().empty());
  EXPECT_TRUE(sim.restart.calls.empty());
  EXPECT_NE(Output().find(L"本机已是这些设置,没有写入,也不重启:"), std::wstring::npos);
  EXPECT_EQ(Output().find(L"正在重新启动计算机。"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已是这些设置\t")), std::string::npos);
  // A key that is missing cannot be written and does not stand in the way (no IPX on 64-bit Windows).
  sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(sim.registry.Writes().empty());
  // One value that differs: everything is written again; IPX, not installed, does not apply.
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=PC-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(sim.registry.Writes().size(), counts.all - 1);  // all but IPX
  EXPECT_NE(Output().find(L"已写入:"), std::wstring::npos);
  EXPECT_NE(Output().find(L"不适用: IPX 未安装"), std::wstring::npos);
  sim.restart.exitFails = true;
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kRestartRefused);
  EXPECT_NE(Output().find(L"\r\n重启请求失败,请手动重新启动计算机,新设置在重启后生效。"), std::wstring::npos);
}

// "Already in place" means every value that applies holds exactly the planned type and bytes: one thing
// that differs and everything is written again.
TEST_F(DeploymentTest, OneThingThatDiffersIsWrittenAgain) {
  const std::string card1 = std::string(test::kInterfacesKey) + "\\{11111111-AAAA}";
  const struct {
    const char* what;
    void (*change)(sim::SimRegistry&, const std::string&);
    int code;
    std::size_t notWritten;  // rows not written, of every row; all of them when nothing differs
  } cases[] = {
      {"nothing", [](sim::SimRegistry&, const std::string&) {}, exit_code::kDone, counts.all},
      {"value missing",
       [](sim::SimRegistry& r, const std::string& c) { r.DeleteValue(kHkeyLocalMachine, c, "EnableDHCP"); },
       exit_code::kDone, 0},
      {"type differs",
       [](sim::SimRegistry& r, const std::string& c) {
         r.SetValue(kHkeyLocalMachine, c, "NameServer", kRegExpandSz, test::Sz("192.168.0.1"));
       },
       exit_code::kDone, 0},
      {"game key changed",
       [](sim::SimRegistry& r, const std::string&) {
         r.SetValue(kHkeyCurrentUser, test::kGameKey, "Key", kRegSz, test::Sz("X"));
       },
       exit_code::kDone, 0},
      {"host name in another case",
       [](sim::SimRegistry& r, const std::string&) {
         r.SetValue(kHkeyLocalMachine, test::kTcpipKey, "NV Hostname", kRegSz, test::Sz("wb-15"));
       },
       exit_code::kDone, 0},
      // The card's interface key is gone: not in place, and its five values cannot be written.
      {"interface key missing", [](sim::SimRegistry& r, const std::string& c) { r.DeleteKey(kHkeyLocalMachine, c); },
       exit_code::kNotAllWritten, counts.card},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::CloneImage(sim);
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    ASSERT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
    test::Restart(sim);
    c.change(sim.registry, card1);
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(L"/auto /noreboot"), c.code);
    EXPECT_EQ(sim.registry.Writes().size(), counts.all - c.notWritten);
  }
  EXPECT_NE(Output().find(L"未写入: DHCP 开关, IP 地址, 子网掩码, 默认网关, DNS 信息"), std::wstring::npos);
  EXPECT_EQ(Log().find("00-1A-2B-3C-4D-5E=15\r\n", Log().rfind("\n", Log().size() - 3)), std::string::npos)
      << "a line of a run whose TCP/IP values were not written adds no [Machines] line";
}

// Windows runs under the old name although the registry holds the new one: the restart never happened
// (refused, aborted) and is asked for once more; when the machine did restart since, never again.
TEST_F(DeploymentTest, APendingRenameIsRestartedForOnceAndNeverInALoop) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  ASSERT_EQ(Run(L"/auto"), exit_code::kDone);  // written, restart requested (and aborted: no restart)
  sim.restart.calls.clear();
  sim.system.now.minute += 1;
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(sim.restart.calls.size(), 6u) << "asked once more";
  EXPECT_NE(Output().find(L"计算机名 WB-15 还没有生效(Windows 当前的计算机名: MASTER),正在重新启动计算机。"),
            std::wstring::npos);
  // It restarted and Windows still did not take the name: no restart, exit 5.
  sim.restart.calls.clear();
  sim.system.now.minute += 5;
  sim.system.sinceBoot = 60000;
  EXPECT_EQ(Run(L"/auto"), exit_code::kNotInEffect);
  EXPECT_TRUE(sim.restart.calls.empty());
  EXPECT_NE(Output().find(L"不再重启"), std::wstring::npos);
  // Aborted again without a restart: one retry was made already, so none more.
  sim.system.sinceBoot = 3600000;
  EXPECT_EQ(Run(L"/auto"), exit_code::kNotInEffect);
  EXPECT_TRUE(sim.restart.calls.empty());
  // /noreboot: in place, said, exit 0.
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_NE(Output().find(L"在重启后生效"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t已是这些设置, 计算机名重启后生效\t")), std::string::npos);

  // The first restart request after writing went through, and Windows did not take the name.
  test::CloneImage(sim);
  sim.files.RemoveFile((sim.system.moduleDirectory + "\\VexaIpSet.log").c_str());
  ASSERT_EQ(Run(L"/auto"), exit_code::kDone);
  sim.restart.calls.clear();
  sim.system.now.hour += 1;
  sim.system.sinceBoot = 60000;
  EXPECT_EQ(Run(L"/auto"), exit_code::kNotInEffect);
  EXPECT_TRUE(sim.restart.calls.empty());

  // No log to remember the request in: no restart for a pending rename.
  test::CloneImage(sim);
  sim.files.RemoveFile((sim.system.moduleDirectory + "\\VexaIpSet.log").c_str());
  ASSERT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  sim.restart.calls.clear();
  EXPECT_EQ(Run(L"/auto"), exit_code::kNotInEffect);
  EXPECT_TRUE(sim.restart.calls.empty());
}

TEST_F(DeploymentTest, WithoutAConsoleNothingIsShownButUsage) {
  sim.console.present = false;
  Config(L"00-AA-AA-AA-AA-AA=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kRefused);
  EXPECT_EQ(Run(L"/bogus"), exit_code::kBadArguments);
  EXPECT_TRUE(sim.messages.Shown().empty());
  EXPECT_EQ(Run(L"/?"), exit_code::kDone);
  ASSERT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(sim.messages.Shown()[0].text, UsageText());
  sim.console.present = true;
  EXPECT_EQ(Run(L"/?"), exit_code::kDone);
  EXPECT_EQ(Output(), UsageText() + L"\r\n");
  EXPECT_EQ(sim.messages.Shown().size(), 1u);
}

// One line a run and a press of OK, UTF-8 behind a byte-order mark; a [Machines] line at the end of each
// line that wrote; a new log past 1 MB; a folder that cannot be written changes nothing.
TEST_F(DeploymentTest, TheLog) {
  Config(L"00-1A-2B-3C-4D-5E=007\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  RunOkAction(platform, inventory, L"", L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  // Each line ends with the version of the tool that wrote it, before the [Machines] tail.
  const std::wstring version = L"\t版本=" + std::wstring(kProductVersion);
  const std::string expected =
      "\xEF\xBB\xBF" +
      ToUtf8(
          L"2026-12-08 09:30:05\t/auto\t已写入\t机号=007\t计算机名=WB-007\tIP=192.168.0.7\t"
          L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=00-1A-2B-3C-4D-5E\t未写入=\t退出码=0" +
          version + L"\t00-1A-2B-3C-4D-5E=007\r\n" +
          L"2026-12-08 09:30:05\t窗口\t拒绝: 请输入本机号,在按回车键呀！！\t机号=\t计算机名=\tIP=\t"
          L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=\t未写入=\t退出码=2" +
          version + L"\r\n");
  EXPECT_EQ(Log(), expected);

  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.Put(log, std::string(kLogLimit + 1, 'x'));
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(sim.files.Get(log + ".old")->size(), kLogLimit + 1);
  EXPECT_EQ(Log().rfind("\xEF\xBB\xBF", 0), 0u);

  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  const std::string before = Log();
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(Log(), before);
  EXPECT_NE(Output().find(L"日志 C:\\VexaIpSet\\VexaIpSet.log 无法写入(文件夹只读或没有权限),这次没有记入日志。"),
            std::wstring::npos);
}

// The log is shared by every machine of the cafe: nothing is lost silently, nothing is written through a
// link, it stays readable and bounded.
TEST_F(DeploymentTest, TheLogNeverLosesALineSilently) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  const std::string big(kLogLimit + 10, 'x');
  const std::string huge(2 * kLogLimit + 10, 'x');
  const std::string utf16(
      "\xFF\xFE"
      "a\0b\0",
      6);
  const struct {
    const char* what;
    std::string before;  // the log's bytes before the run
    void (*set)(sim::SimFiles&, const std::string&);
    const wchar_t* says;      // nullptr: nothing said about the log
    bool appended;            // the run's line is in the log
    const char* old;          // the bytes .old holds afterwards, or nullptr for none
    std::size_t maxLogBytes;  // the log's size afterwards is at most this
  } cases[] = {
      {"appended", "", [](sim::SimFiles&, const std::string&) {}, nullptr, true, nullptr, 1000},
      {"held open without sharing", "\xEF\xBB\xBFx\r\n",
       [](sim::SimFiles& f, const std::string& l) { f.Hold(l, true); }, L"被其他程序占用,等了 3 秒仍没能写入", false,
       nullptr, 1000},
      {"locked by another run", "\xEF\xBB\xBFx\r\n",
       [](sim::SimFiles& f, const std::string& l) { f.LockByOther(l, true); }, L"被其他程序占用", false, nullptr, 1000},
      {"a hard link", "\xEF\xBB\xBFx\r\n", [](sim::SimFiles& f, const std::string& l) { f.Links(l, 2); },
       L"是链接(硬链接、符号链接或重解析点),为安全起见没有写入。", false, nullptr, 1000},
      {"a dangling symbolic link", "",
       [](sim::SimFiles& f, const std::string& l) { f.RemoveFile(l.c_str()), f.DanglingLink(l); },
       L"是链接(硬链接、符号链接或重解析点),为安全起见没有写入。", false, nullptr, 0},
      {"UTF-16 from Notepad", utf16, [](sim::SimFiles&, const std::string&) {}, nullptr, true,
       "\xFF\xFE"
       "a",
       1000},
      {"past the limit", big, [](sim::SimFiles&, const std::string&) {}, nullptr, true, "xxxx", 1000},
      {".old blocked, under twice the limit", big,
       [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); }, nullptr, true, nullptr,
       kLogLimit + 1000},
      {".old blocked, past twice the limit", huge,
       [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); }, nullptr, true, nullptr, 1000},
      {".old blocked, UTF-16", utf16, [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); },
       nullptr, true, nullptr, 1000},
  };
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim.files.RemoveFile(log.c_str());
    sim.files.RemoveFile((log + ".old").c_str());
    sim.files.Put(log, c.before);
    c.set(sim.files, log);
    sim.system.slept = 0;
    // /force: a log that cannot be read leaves the number unconfirmed (the guard's rows are elsewhere).
    EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), exit_code::kDone);
    const std::string after = Log();
    EXPECT_EQ(after.find("\t/n\t") != std::string::npos, c.appended);
    if (c.appended && c.maxLogBytes < kLogLimit) {
      EXPECT_EQ(after.rfind("\xEF\xBB\xBF", 0), 0u) << "a new log begins with the UTF-8 mark";
    }
    EXPECT_LE(after.size(), c.maxLogBytes);
    if (c.says != nullptr) {
      EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
      const bool waited = std::wstring(c.says).find(L"占用") != std::wstring::npos;
      EXPECT_EQ(sim.system.slept >= kLogWaitMilliseconds, waited);
    } else {
      EXPECT_EQ(Output().find(L"日志"), std::wstring::npos);
    }
    const auto old = sim.files.Get(log + ".old");
    EXPECT_EQ(old.has_value(), c.old != nullptr);
    if (old && c.old != nullptr) {
      EXPECT_EQ(old->rfind(c.old, 0), 0u);
    }
    EXPECT_EQ(sim.files.OpenHandles(), 0u);
    sim.files.Hold(log, false);
    sim.files.LockByOther(log, false);
  }
}

TEST(LogLineTest, SecondsOfALocalTime) {
  const struct {
    LocalTime time;
    std::int64_t seconds;
  } cases[] = {
      {{1970, 1, 1, 0, 0, 0}, 0},
      {{2026, 12, 8, 9, 30, 5}, 1796722205},
      {{2000, 2, 29, 23, 59, 59}, 951868799},
      {{2000, 3, 1, 0, 0, 0}, 951868800},
      {{1999, 12, 31, 23, 59, 59}, 946684799},
      {{2024, 1, 1, 0, 1, 0}, 1704067260},
  };
  for (const auto& c : cases) EXPECT_EQ(SecondsOf(c.time), c.seconds) << c.time.year << "-" << c.time.month;
}

TEST(LogLineTest, ControlCharactersInAFieldNeverMakeASecondLineOrColumn) {
  RunRecord record;
  record.mode = RunMode::Number;
  record.outcome = L"拒绝: x";
  record.number = L"17\r\n2026-01-01 00:00:00\t/auto\tFAKE";
  record.hostName = L"WB\x01\x7F";
  record.card = L"NIC\tA";
  record.address = L"00-1A-2B-3C-4D-5E";
  record.version = L"1.2.3\t";
  record.inPlace = true;
  const std::wstring line = LogLine(LocalTime{2026, 12, 8, 9, 30, 5}, record);
  EXPECT_EQ(
      line,
      L"2026-12-08 09:30:05\t/n\t拒绝: x\t机号=17  2026-01-01 00:00:00 /auto FAKE\t计算机名=WB  \tIP=\t网卡=NIC A\t"
      L"地址=00-1A-2B-3C-4D-5E\t未写入=\t版本=1.2.3 \t00-1A-2B-3C-4D-5E=17  2026-01-01 00:00:00 /auto FAKE");
}

}  // namespace
}  // namespace vexa
