// Unattended deployment on the simulated Windows: the command line, the [Machines] table, the window's
// pre-fill, the unattended run's exit codes and idempotence, and the log.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/controls.h"
#include "app/frmmain.h"
#include "app/unattended.h"
#include "apply/apply_run.h"
#include "apply/ok_action.h"
#include "apply/run_log.h"
#include "common/utf8.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
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
    if (c.card != nullptr && command.card) EXPECT_EQ(*command.card, c.card);
    EXPECT_EQ(command.noReboot, c.noReboot);
  }
}

TEST(MachineTableTest, AddressesInEitherSpellingNumbersAsWrittenBadKeysApart) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(
      L"[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00:1a:2b:3c:4d:5f= 007 \r\n001A2B3C4D60=17\r\n00-1A:2B-3C-4D-61=18\r\n"
      L"00-1A-2B-3C-4D-5G=19\r\nbare\r\n[Other]\r\n00-1A-2B-3C-4D-62=20\r\n");
  const IniFile::MachineTable table = IniFile::ReadMachineTable(platform, IniFile::ConfigPath(platform));
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(FormatMac(table.entries[0].address), L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(table.entries[0].numberText, L"15");
  EXPECT_EQ(FormatMac(table.entries[1].address), L"00-1A-2B-3C-4D-5F");
  EXPECT_EQ(table.entries[1].numberText, L"007");
  EXPECT_EQ(table.unreadable,
            (std::vector<std::wstring>{L"001A2B3C4D60=17", L"00-1A:2B-3C-4D-61=18", L"00-1A-2B-3C-4D-5G=19"}));
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
    std::size_t writes;
    const wchar_t* says;
  } cases[] = {
      {L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=15\r\n", exit_code::kDone, 9, L"计算机名  :  WB-15"},
      {L"/n 16 /card 2 /noreboot", L"", exit_code::kDone, 9, L"计算机名  :  WB-16"},
      {L"/n 17 /card \"Intel(R) PRO/100 VE Network Connection\" /noreboot", L"", exit_code::kDone, 9, L"WB-17"},
      {L"/n 15 /auto", L"", exit_code::kBadArguments, 0, L"命令行参数错误: /auto 和 /n 不能同时使用"},
      {L"/n 15", L"", exit_code::kRefused, 0, L"本机有 2 块网卡,请用 /card 指定一块。"},
      {L"/n 255 /card 1", L"", exit_code::kBadArguments, 0, L"/n 后面应是 1-254 的机号(只用数字): 255"},
      {L"/n 20abc /card 1", L"", exit_code::kBadArguments, 0, L"/n 后面应是 1-254 的机号(只用数字): 20abc"},
      {L"/n 15 /card 3", L"", exit_code::kRefused, 0, L"没有第 3 块网卡(本机有 2 块)。"},
      {L"/auto", L"00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
       L"不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, 00-1A-2B-3C-4D-5F"},
      {L"/auto", L"00-1A-2B-3C-4D-5E=15\r\n00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
       L"请改正: 00-1A-2B-3C-4D-5E, 00-AA-AA-AA-AA-AA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    test::CloneImage(sim);
    Config(c.machines);
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(c.line), c.code);
    EXPECT_EQ(sim.registry.Writes().size(), c.writes);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    EXPECT_TRUE(sim.messages.Shown().empty());
    EXPECT_TRUE(sim.restart.calls.empty());
  }
}

TEST_F(DeploymentTest, ASecondRunWritesNothingAndNeverRebootsTwice) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(sim.registry.Writes().size(), 9u);
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  sim.registry.ClearWrites();
  sim.restart.calls.clear();
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(sim.registry.Writes().empty());
  EXPECT_TRUE(sim.restart.calls.empty());
  EXPECT_NE(Output().find(L"本机已是这些设置"), std::wstring::npos);
  // A key that is missing cannot be written and does not stand in the way (no IPX on 64-bit Windows).
  sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(sim.registry.Writes().empty());
  // One value that differs: everything is written again; IPX, not installed, does not apply.
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=PC-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(sim.registry.Writes().size(), 8u);
  EXPECT_NE(Output().find(L"已写入:"), std::wstring::npos);
  EXPECT_NE(Output().find(L"不适用: IPX 未安装"), std::wstring::npos);
  sim.restart.exitFails = true;
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kRestartRefused);
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
}

// One line a run and a press of OK, UTF-8 behind a byte-order mark; a [Machines] line at the end of each
// line that wrote; a new log past 1 MB; a folder that cannot be written changes nothing.
TEST_F(DeploymentTest, TheLog) {
  Config(L"00-1A-2B-3C-4D-5E=007\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  RunOkAction(platform, inventory, L"", L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  const std::string expected =
      "\xEF\xBB\xBF" + ToUtf8(
                           L"2026-12-08 09:30:05\t/auto\t已写入\t机号=007\t计算机名=WB-007\tIP=192.168.0.7\t"
                           L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=00-1A-2B-3C-4D-5E\t未写入=\t"
                           L"00-1A-2B-3C-4D-5E=007\r\n"
                           L"2026-12-08 09:30:05\t窗口\t拒绝: 请输入本机号,在按回车键呀！！\t机号=\t计算机名=\tIP=\t"
                           L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=\t未写入=\r\n");
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
}

}  // namespace
}  // namespace vexa
