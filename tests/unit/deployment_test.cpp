// Runs without a window on the simulated Windows: the window's pre-fill from [Machines], exit codes,
// refusals, /force, /check, idempotence and the restart rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/command_line.h"
#include "app/controls.h"
#include "app/frmmain.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "common/version.h"
#include "config/ini_file.h"
#include "log/run_log.h"
#include "platform/sim/sim_window.h"
#include "row.h"
#include "sim_machine.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;
using test::Sz;

TEST_F(DeploymentTest, TheWindowStartsChosenAndTypedWhenOneCardIsListed) {
  const wchar_t* realtek = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
  const wchar_t* intel = L"Intel(R) PRO/100 VE Network Connection";
  const struct {
    int line;
    const wchar_t* machines;
    const wchar_t* card;  // nullptr: start-up as without a table
    const wchar_t* number;
  } cases[] = {
      ROW(L"00-1a-2b-3c-4d-5e=007\r\n", realtek, L"007"),
      ROW(L"00:1A:2B:3C:4D:5F=16\r\n00-AA-AA-AA-AA-AA=15\r\n", intel, L"16"),
      ROW(L"00-1A-2B-3C-4D-5E=15\r\n00-1A-2B-3C-4D-5F=16\r\n", nullptr, nullptr),   // both cards listed
      ROW(L"00-1A-2B-3C-4D-5E=15\r\n00-AA-AA-AA-AA-AA=015\r\n", nullptr, nullptr),  // 15 for two addresses
      ROW(L"00-1A-2B-3C-4D-5E=300\r\n", nullptr, nullptr),                          // no valid number
      ROW(L"00-AA-AA-AA-AA-AA=15\r\n", nullptr, nullptr),                           // no card listed
  };
  sim::SimWindow plain(frm::ControlTable());
  frm::FrmMain(platform, plain).Form_Load();
  for (const auto& c : cases) {
    TRACE_ROW(c);
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
    int line;
    const wchar_t* command;
    const wchar_t* machines;
    int code;
    bool writes;  // every value, or none
    const wchar_t* says;
  } cases[] = {
      ROW(L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=15\r\n", exit_code::kDone, true, L"计算机名  :  WB-15"),
      ROW(L"/n 16 /card 2 /noreboot", L"", exit_code::kDone, true, L"计算机名  :  WB-16"),
      ROW(L"/n 17 /card \"Intel(R) PRO/100 VE Network Connection\" /noreboot", L"", exit_code::kDone, true, L"WB-17"),
      ROW(L"/n 15 /auto", L"", exit_code::kBadArguments, false, L"命令行参数错误: /auto 和 /n 不能同时使用"),
      ROW(L"/n 15", L"", exit_code::kRefused, false, L"本机有 2 块网卡,请用 /card 指定一块。"),
      ROW(L"/n 255 /card 1", L"", exit_code::kBadArguments, false, L"/n 后面应是 1-254 的机号(只用数字): 255"),
      ROW(L"/n 20abc /card 1", L"", exit_code::kBadArguments, false, L"/n 后面应是 1-254 的机号(只用数字): 20abc"),
      ROW(L"/n 0 /card 1", L"", exit_code::kBadArguments, false, L"/n 后面应是 1-254 的机号(只用数字): 0"),
      ROW(L"/n 1.5 /card 1", L"", exit_code::kBadArguments, false, L"(只用数字): 1.5"),
      // A number that would carry a line of its own into the log.
      ROW(L"/n \"17\r\n2026-01-01\tFAKE\" /card 1", L"", exit_code::kBadArguments, false, L"(只用数字): 17"),
      ROW(L"/n 15 /card 3", L"", exit_code::kRefused, false, L"没有第 3 块网卡(本机有 2 块)。"),
      // A hardware address in either spelling and any case names the card a script means.
      ROW(L"/n 16 /card 00:1a:2b:3c:4d:5f /noreboot", L"", exit_code::kDone, true, L"网卡      :  Intel(R) PRO/100"),
      ROW(L"/n 16 /card 00-AA-AA-AA-AA-AA", L"", exit_code::kRefused, false,
          L"没有网卡地址为 00-AA-AA-AA-AA-AA 的网卡(用 /cards 查看本机的网卡)。"),
      // [Machines] gives the number to the machine's other card: a doubt naming both, which /force overrules.
      ROW(L"/n 15 /card 1 /noreboot", L"00-1A-2B-3C-4D-5F=15\r\n", exit_code::kRefused, false,
          L"config.ini 的 [Machines] 把机号 15 给了本机的另一块网卡: 第 2 块 Intel(R) PRO/100 VE Network Connection"
          L"(00-1A-2B-3C-4D-5F);要写入的是第 1 块 Realtek RTL8139 Family PCI Fast Ethernet NIC(00-1A-2B-3C-4D-5E)。"),
      ROW(L"/n 15 /card 1 /noreboot /force", L"00-1A-2B-3C-4D-5F=15\r\n", exit_code::kDone, true,
          L"/force: config.ini"),
      ROW(L"/n 18 /card 2 /noreboot", L"00-1A-2B-3C-4D-5F=18\r\n", exit_code::kDone, true, L"WB-18"),
      ROW(L"/auto", L"00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
          L"不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, 00-1A-2B-3C-4D-5F"),
      ROW(L"/auto", L"00-1A-2B-3C-4D-5E=15\r\n00-AA-AA-AA-AA-AA=15\r\n", exit_code::kRefused, 0,
          L"请改正: 00-1A-2B-3C-4D-5E, 00-AA-AA-AA-AA-AA"),
      ROW(L"/auto", L"00-AA-AA-AA-AA-AA=15\r\n00-1A-2B-3C-4D-5E=15\r\n", exit_code::kRefused, 0,
          L"请改正: 00-1A-2B-3C-4D-5E, 00-AA-AA-AA-AA-AA"),
      // A line written twice is no conflict; a line without a number takes no part, in any spelling.
      ROW(L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=15\r\n00-1a-2b-3c-4d-5e=15\r\n", exit_code::kDone, true, L"WB-15"),
      ROW(L"/auto /noreboot", L"00-1A-2B-3C-4D-5E=x\r\n00-1A-2B-3C-4D-5E=17\r\n", exit_code::kDone, true, L"WB-17"),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    test::CloneImage(sim);
    Config(c.machines);
    sim.registry.ClearWrites();
    const std::string before = Log();
    EXPECT_EQ(Run(c.command), c.code) << ToUtf8(Output());
    EXPECT_EQ(test::MachineWrites(sim).size(), c.writes ? counts.all : 0u);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    EXPECT_TRUE(sim.messages.Shown().empty());
    EXPECT_TRUE(sim.restart.calls.empty());
    if (c.code == exit_code::kBadArguments) {
      EXPECT_EQ(Log(), before);  // a bad argument leaves no line
    }
  }
}

// Two cards of one address (a bridge, a virtual card copying the real one's): /card by that address names
// neither, and says which they are.
TEST_F(DeploymentTest, AnAddressTwoCardsShareNamesNeither) {
  sim.adapters.list[1].physical = sim.adapters.list[0].physical;
  EXPECT_EQ(Run(L"/n 15 /card 00-1A-2B-3C-4D-5E /noreboot"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"网卡地址为 00-1A-2B-3C-4D-5E 的网卡有 2 块(第 1 块、第 2 块),请用 /card 序号指定。"),
            std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_TRUE(test::MachineWrites(sim).empty());
}

// One card: /card may be left out; in a code page 936 console the report's labels line up.
TEST_F(DeploymentTest, OneCardNeedsNoCardAndTheLabelsLineUp) {
  Config(L"");
  sim.registry.DeleteKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\2");
  EXPECT_EQ(Run(L"/n 15 /noreboot"), exit_code::kDone);
  EXPECT_NE(Output().find(L"网卡      :  Realtek RTL8139 Family PCI Fast Ethernet NIC"), std::wstring::npos);
  // In a code page 936 console every label's colon stands in one column ("I P 地 址" included).
  const std::wstring output = Output();
  std::size_t labels = 0;
  for (std::size_t at = 0; at < output.size(); at = LineEnd(std::wstring_view(output), at) + 2) {
    const std::wstring line = output.substr(at, LineEnd(std::wstring_view(output), at) - at);
    if (line.find(L":  ") == std::wstring::npos) continue;
    ++labels;
    EXPECT_EQ(DisplayColumns(std::wstring_view(line).substr(0, line.find(L":  "))), 10u) << ToUtf8(line);
  }
  EXPECT_EQ(labels, 7u);
}

// /cards: each card under the number /card takes, in the window's order, with what can be read of it.
TEST_F(DeploymentTest, CardsAreListedAsCardTakesThem) {
  const std::string card2 = std::string(test::kInterfacesKey) + "\\{22222222-BBBB}";
  sim.registry.SetValue(kHkeyLocalMachine, card2, "EnableDHCP", kRegDword, std::string(4, '\0'));
  sim.registry.SetValue(kHkeyLocalMachine, card2, "IPAddress", kRegMultiSz, std::string("10.0.0.7\0\0", 10));
  sim.registry.SetValue(kHkeyLocalMachine, card2, "SubnetMask", kRegMultiSz, std::string("255.0.0.0\0\0", 11));
  sim.registry.SetValue(kHkeyLocalMachine,
                        "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
                        "{22222222-BBBB}\\Connection",
                        "Name", kRegSz, test::Sz("\xB1\xBE\xB5\xD8\xC1\xAC\xBD\xD3 2"));  // 本地连接 2
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/cards"), exit_code::kDone);
  EXPECT_EQ(
      Output(),
      L"本机的网卡(/card 后面写序号或网卡地址):\r\n"
      L"  1  Realtek RTL8139 Family PCI Fast Ethernet NIC  00-1A-2B-3C-4D-5E  DHCP\r\n"
      L"  2  Intel(R) PRO/100 VE Network Connection  00-1A-2B-3C-4D-5F  10.0.0.7 / 255.0.0.0  \"本地连接 2\"\r\n");
  EXPECT_TRUE(sim.registry.Writes().empty());
  EXPECT_EQ(Log(), "");
}

// What a run without a window refuses, before anything is written: config.ini it cannot trust, a value
// Windows could not use (one row: the rules' own are machine_settings_test's), a table that names no
// machine, a card description that names two cards.
struct RefusalRow {
  int line;
  const wchar_t* command;
  std::optional<std::wstring> config;  // nullopt: no config.ini
  const char* besides;                 // a file put beside config.ini, or nullptr
  const wchar_t* says;
};
const RefusalRow kRefusals[] = {
    ROW(L"/n 15 /card 1", std::nullopt, nullptr, L"找不到配置文件 C:\\VexaIpSet\\config.ini。"),
    ROW(L"/n 15 /card 1", std::nullopt, "config.ini.txt",
        L"同一文件夹里有 config.ini.txt:保存时多了扩展名,请把它改名为 config.ini。"),
    ROW(L"/n 15 /card 1", L"", nullptr, L"配置文件 C:\\VexaIpSet\\config.ini 是空的。"),
    ROW(L"/n 15 /card 1", L"[Network2]\r\nIP=10.0.0\r\n", "config.ini.ini",
        L"中没有 [NetWork] 节。\r\n同一文件夹里有 config.ini.ini"),
    ROW(L"/n 15 /card 1", L"[NetWork]\r\nMask=255.255.255.O\r\n", nullptr,
        L"Mask=255.255.255.O\r\n文件: C:\\VexaIpSet\\config.ini"),
    ROW(L"/n 15 /card 1", L"[NetWork]\r\nIPOffset=240\r\n", nullptr, L"192.168.0.255 是子网 192.168.0.0/24 的广播地址"),
    ROW(L"/n 15 /card 1", L"[NetWork]\r\nGateWay=10.0.0.1\r\n", nullptr,
        L"不在 IP 地址 192.168.0.15 和子网掩码 255.255.255.0 所确定的子网 192.168.0.0/24 "
        L"中。\r\n本机可能无法通过这个网关连到其他网络。\r\n要仍然写入,请加 /force。"),
    ROW(L"/n 15 /card 1", L"[NetWork]\r\nDNS=" + std::wstring(260, L'1') + L"\r\n", nullptr,
        L"DNS 的值长于 253 个字节"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=16abc\r\n00-1A-2B-3C-4D-5F=1.5\r\n", nullptr,
        L"无法读取的行(需要 网卡地址=1-254 的机号):\r\n  00-1A-2B-3C-4D-5E=16abc\r\n  00-1A-2B-3C-4D-5F=1.5"),
    ROW(L"/auto", L"[NetWork]\r\n", nullptr, L"config.ini 中没有 [Machines] 机器表。"),
    ROW(L"/auto", L"[Machines]\r\nb1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\nb8\r\nb9\r\nb10\r\nb11\r\n[NetWork]\r\n",
        nullptr, L"  b9\r\n  b10\r\n  ……共 11 行"),  // the first ten unreadable lines, then their count
    ROW(L"/auto",
        L"[Machines]\r\nb1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\nb8\r\nb9\r\nb10\r\n00-AA-AA-AA-AA-AA=15\r\n"
        L"00-AA-AA-AA-AA-AA=15\r\n[NetWork]\r\n",
        nullptr, L"  b10\r\n[Machines] 中重复的地址:\r\n  00-AA-AA-AA-AA-AA=15"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-AA-AA-AA-AA-AA=15\r\n", nullptr,  // card 4 has no address
        L"不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, 00-1A-2B-3C-4D-5F, 00-1A-2B-3C-4D-60\r\n"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n", nullptr, L"config.ini 的 [Machines] 机器表是空的。"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E 15\r\n", nullptr,
        L"无法读取的行(需要 网卡地址=1-254 的机号):\r\n  00-1A-2B-3C-4D-5E 15"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-AA-AA-AA-AA-AA=15\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n", nullptr,
        L"注意: config.ini 中有 2 个 [Machines] 节,Windows 只读第一个,其余节里的行没有用到。"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00:1a:2b:3c:4d:5e=16\r\n", nullptr,
        L"请改正: 00-1A-2B-3C-4D-5E\r\n[Machines] 中重复的地址:\r\n  00:1a:2b:3c:4d:5e=16"),
    ROW(L"/auto", L"[NetWork]\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00-1a-2b-3c-4d-5e=16\r\n", nullptr,
        L"请改正: 00-1A-2B-3C-4D-5E\r\n[Machines] 中重复的地址:\r\n  00-1a-2b-3c-4d-5e=16"),
    ROW(L"/n 15 /card \"Realtek RTL8139 Family PCI Fast Ethernet NIC\"", L"[NetWork]\r\n", nullptr,
        L"的网卡有 2 块(第 1 块、第 3 块),请用 /card 序号指定。"),
};

TEST_F(DeploymentTest, RefusalsWriteNothing) {
  test::AddCard(sim.registry, "3", test::Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"),
                test::Sz("{33333333-CCCC}"));
  test::AddCard(sim.registry, "4", test::Sz("Card without an adapter"), test::Sz("{44444444-DDDD}"));
  for (const RefusalRow& row : kRefusals) {
    TRACE_ROW(row);
    sim.files.RemoveFile(sim.ConfigPath().c_str());
    for (const char* extra : {".txt", ".ini"}) sim.files.RemoveFile((sim.ConfigPath() + extra).c_str());
    if (row.config) sim.PutConfig(*row.config);
    if (row.besides != nullptr) sim.files.Put(sim.system.moduleDirectory + "\\" + row.besides, "[NetWork]\r\n");
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(row.command), exit_code::kRefused);
    EXPECT_TRUE(test::MachineWrites(sim).empty());
    EXPECT_NE(Output().find(row.says), std::wstring::npos) << sim.console.output;
  }
}

// /force writes what Windows would ask about, and its line says so; a value Windows cannot use it never writes.
TEST_F(DeploymentTest, ForceWritesAGatewayOutsideTheSubnetOnly) {
  sim.PutConfig(L"[NetWork]\r\nGateWay=10.0.0.1\r\n");
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), exit_code::kDone);
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  EXPECT_NE(Output().find(L"\r\n/force: 默认网关 10.0.0.1 不在"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Log().find(ToUtf8(L"\t已写入, /force: 默认网关 10.0.0.1 不在")), std::string::npos);
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone) << "in place: nothing to ask about";
  sim.PutConfig(L"[NetWork]\r\nGateWay=0.0.0.0\r\n");
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), exit_code::kRefused);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
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
    EXPECT_TRUE(test::MachineWrites(sim).empty());
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
    int line;
    bool up;
    Dad dad;
    int code;
    const wchar_t* says;
  } cases[] = {
      ROW(true, Dad::Preferred, exit_code::kDone, L"结论: 已生效"),
      ROW(true, Dad::Duplicate, exit_code::kNotInEffect, L"IP 地址 192.168.0.15: 网络上有地址冲突"),
      ROW(true, Dad::Other, exit_code::kNotInEffect, L"网卡上还没有这个地址"),
      ROW(false, Dad::Preferred, exit_code::kNotInEffect, L"IP 地址 192.168.0.15: 网卡未连接"),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
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
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  EXPECT_NE(Output().find(L"\r\n正在重新启动计算机。"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已写入, 已请求重启\t")), std::string::npos);
  test::Restart(sim);
  sim.registry.ClearWrites();
  sim.restart.calls.clear();
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_TRUE(sim.restart.calls.empty());
  EXPECT_NE(Output().find(L"本机已是这些设置,没有写入,也不重启:"), std::wstring::npos);
  EXPECT_EQ(Output().find(L"正在重新启动计算机。"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已是这些设置\t")), std::string::npos);
  // A key that is missing cannot be written and does not stand in the way (no IPX on 64-bit Windows).
  sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  // One value that differs: everything is written again; IPX, not installed, does not apply.
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=PC-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto"), exit_code::kDone);
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all - 1);  // all but IPX
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
    EXPECT_EQ(test::MachineWrites(sim).size(), counts.all - c.notWritten);
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

}  // namespace
}  // namespace vexa
