// A venue of any size: [Zones] read and checked, each number derived from its zone's values, and the runs
// that take numbers past 254.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/frmmain.h"
#include "apply/machine_settings.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "config/zones.h"
#include "platform/sim/sim_window.h"
#include "row.h"
#include "sim_machine.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

// Two floors of a cafe as the operator writes them.
constexpr const wchar_t* kTwoFloors =
    L"[NetWork]\r\nIP=192.168.0\r\nGateWay=192.168.0.1\r\nNetPrefix=WB-\r\n"
    L"[Zones]\r\n; 区名=起始机号-结束机号\r\n一楼=1-200\r\n二楼=201-400\r\n"
    L"[一楼]\r\n[二楼]\r\nIP=192.168.1\r\nIPOffset=-200\r\nGateWay=192.168.1.1\r\nNetPrefix=B-\r\n";

struct ZonesRow {
  int line;
  std::wstring zones;      // [Zones]'s lines and the zones' sections
  const wchar_t* problem;  // a part of the configuration error, or nullptr when there is none
};
const ZonesRow kZonesRows[] = {
    ROW(L"[Zones]\r\nA=1-200\r\nB=201-400\r\n[A]\r\n[B]\r\n", nullptr),
    ROW(L"[Zones]\r\nA=1-1\r\n[A]\r\n", nullptr),  // a zone of one seat
    ROW(L"[Zones]\r\nA=1-9999\r\n[A]\r\n", nullptr),
    ROW(L"[Zones]\r\nA=1-10000\r\n[A]\r\n", L"区 A=1-10000 不是\"起始机号-结束机号\""),
    ROW(L"[Zones]\r\nA=0-10\r\n[A]\r\n", L"区 A=0-10 不是"),
    ROW(L"[Zones]\r\nA=20-10\r\n[A]\r\n", L"区 A=20-10 不是"),
    ROW(L"[Zones]\r\nA=1..10\r\n[A]\r\n", L"区 A=1..10 不是"),
    ROW(L"[Zones]\r\nA=10\r\n[A]\r\n", L"区 A=10 不是"),
    ROW(L"[Zones]\r\nA=x-5\r\n[A]\r\n", L"区 A=x-5 不是"),
    ROW(L"[Zones]\r\nA=5-x\r\n[A]\r\n", L"区 A=5-x 不是"),
    ROW(L"[Zones]\r\nA=-5\r\n[A]\r\n", L"区 A=-5 不是"),
    ROW(L"[Zones]\r\nA=\r\n[A]\r\n", L"区 A= 不是"),
    ROW(L"[Zones]\r\nA=1-200\r\nB=200-400\r\n[A]\r\n[B]\r\n", L"区 B(200-400)和区 A(1-200)有重叠的机号。"),
    ROW(L"[Zones]\r\nA=1-200\r\nB=150-160\r\n[A]\r\n[B]\r\n", L"区 B(150-160)和区 A(1-200)有重叠的机号。"),
    ROW(L"[Zones]\r\nA=1-200\r\nB=201-400\r\n[A]\r\n", L"区 B 没有自己的 [B] 节。"),
    ROW(L"[Zones]\r\nNetWork=1-200\r\n[NetWork]\r\n", L"区 NetWork 的名字和本程序读的节同名"),
    ROW(L"[Zones]\r\nmachines=1-200\r\n[machines]\r\n", L"区 machines 的名字和本程序读的节同名"),
    ROW(L"[Zones]\r\nLog=1-2\r\n", L"区 Log 的名字"),
    ROW(L"[Zones]\r\nCSCDK=1-2\r\n", L"区 CSCDK 的名字"),
    ROW(L"[Zones]\r\nZones=1-2\r\n", L"区 Zones 的名字"),
    ROW(L"[Zones]\r\nA=1-2\r\na=3-4\r\n[A]\r\n", L"区 a 写了两次。"),
    ROW(L"[Zones]\r\n", L"[Zones] 中没有区。"),
    ROW(L"[Zones]\r\n一楼 1-200\r\n", L"这一行不是\"区名=起始机号-结束机号\": 一楼 1-200"),
    // A name Windows' ANSI reader cannot carry: its section would never be found.
    ROW(L"[Zones]\r\n\u00C9tage=201-400\r\n[\u00C9tage]\r\nIP=10.2.0\r\n",
        L"区 \u00C9tage 的名字含有 Windows(代码页 936)无法表示的字符“\u00C9”(U+00C9)"),
    ROW(L"[Zones]\r\n\U0001F3AE区=1-9\r\n[\U0001F3AE区]\r\n", L"无法表示的字符"),
    // Every number planned: one address, one host name (case folded), one network with two masks.
    ROW(L"[Zones]\r\nA=1-100\r\nB=101-200\r\n[A]\r\nIP=10.4.0\r\n[B]\r\nIP=10.4.0\r\nIPOffset=-100\r\n",
        L"区 A 的机号 1 和区 B 的机号 101 都会得到 IP 地址 10.4.0.1,请修改其中一个区的 IP 或 IPOffset。"),
    ROW(L"[Zones]\r\nA=1-20\r\nB=101-120\r\n[A]\r\nNetPrefix=f1\r\n[B]\r\nIP=10.5.0\r\nNetPrefix=F\r\n",
        L"区 A 的机号 10 和区 B 的机号 110 都会得到计算机名 F110"),
    ROW(L"[Zones]\r\nA=1-20\r\nB=21-40\r\n[A]\r\nIP=10.60.0\r\n[B]\r\nIP=10.60.0\r\nMask=255.255.255.128\r\n",
        L"区 A(10.60.0.0/24)和区 B(10.60.0.0/25)是同一个网络,掩码却不同"),
    ROW(L"[Zones]\r\nA=1-20\r\nB=21-40\r\n[A]\r\nIP=10.60.0\r\n[B]\r\nIP=10.60.1\r\nMask=255.255.254.0\r\n",
        L"区 A(10.60.0.0/24)和区 B(10.60.0.0/23)是同一个网络"),
    // One subnet shared with one mask, and two subnets side by side, are fine.
    ROW(L"[Zones]\r\nA=1-100\r\nB=101-200\r\n[A]\r\n[B]\r\n", nullptr),
    ROW(L"[Zones]\r\nA=1-20\r\nB=21-40\r\n[A]\r\nIP=10.60.0\r\nMask=255.255.255.128\r\n[B]\r\nIP=10.60.0\r\n"
        L"IPOffset=107\r\nMask=255.255.255.128\r\n",
        nullptr),
};

TEST(ZonesTest, ReadAndCheckedNamingTheZone) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  for (const ZonesRow& row : kZonesRows) {
    TRACE_ROW(row);
    sim.PutConfigBytes("\xEF\xBB\xBF" + ToUtf8(L"[NetWork]\r\n" + row.zones));  // Notepad's UTF-8
    const IniFile::Zones zones = IniFile::ReadZones(platform, IniFile::ConfigFile::Open(platform));
    EXPECT_TRUE(zones.declared);
    EXPECT_EQ(zones.problem.empty(), row.problem == nullptr) << ToUtf8(zones.problem);
    if (row.problem != nullptr) {
      EXPECT_NE(zones.problem.find(row.problem), std::wstring::npos) << ToUtf8(zones.problem);
    }
  }
  sim.PutConfig(L"[NetWork]\r\nIP=10.0.0\r\n");
  EXPECT_FALSE(IniFile::ReadZones(platform, IniFile::ConfigFile::Open(platform)).declared);
}

// Which numbers a machine may have: with zones exactly those one zone holds, up to 9999; without, 1-254.
TEST(ZonesTest, TheNumbersAMachineMayHave) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(kTwoFloors);
  const IniFile::Zones zones = IniFile::ReadZones(platform, IniFile::ConfigFile::Open(platform));
  ASSERT_TRUE(zones.Ok()) << ToUtf8(zones.problem);
  EXPECT_EQ(zones.RangeText(), L"1-200(一楼)、201-400(二楼)");
  const struct {
    int line;
    const wchar_t* typed;
    Refusal verdict;
    const wchar_t* zone;
  } rows[] = {
      ROW(L"1", Refusal::None, L"一楼"),          ROW(L"200", Refusal::None, L"一楼"),
      ROW(L"201", Refusal::None, L"二楼"),        ROW(L"0400", Refusal::None, L"二楼"),
      ROW(L"401", Refusal::OutOfRange, nullptr),  ROW(L"0", Refusal::OutOfRange, nullptr),
      ROW(L"9999", Refusal::OutOfRange, nullptr),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    for (const MachineInput& input : {ValidateInput(row.typed, zones), ReadMachineNumber(row.typed, zones)}) {
      EXPECT_EQ(input.verdict, row.verdict);
      if (row.zone != nullptr) {
        EXPECT_EQ(zones.Holding(input.MachineNumber)->name, row.zone);
      }
    }
  }
  const IniFile::Zones none;
  EXPECT_EQ(ValidateInput(L"255", none).verdict, Refusal::OutOfRange);
  EXPECT_EQ(ReadMachineNumber(L"254", none).verdict, Refusal::None);
  EXPECT_EQ(InputRejection(Refusal::OutOfRange, zones).text,
            L"请输入1-200(一楼)、201-400(二楼)的数字,或者修改配置文件！");
  sim.PutConfig(L"[NetWork]\r\n[Zones]\r\nA=1-9999\r\n[A]\r\n");
  const IniFile::Zones wide = IniFile::ReadZones(platform, IniFile::ConfigFile::Open(platform));
  EXPECT_EQ(ValidateInput(L"9999", wide).verdict, Refusal::None);
  EXPECT_EQ(ValidateInput(L"10000", wide).verdict, Refusal::OutOfRange);
}

// Each number from its zone's values, a key the zone does not set from [NetWork], at each zone's edges.
TEST(ZonesTest, EachNumberFromItsZonesValues) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(kTwoFloors);
  const IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
  const IniFile::Zones zones = IniFile::ReadZones(platform, config);
  const struct {
    int line;
    const wchar_t* typed;
    const wchar_t* ip;
    const wchar_t* gateway;
    const wchar_t* host;
  } rows[] = {
      ROW(L"1", L"192.168.0.1", L"192.168.0.1", L"WB-1"),  // own address = gateway: refused by the checks
      ROW(L"200", L"192.168.0.200", L"192.168.0.1", L"WB-200"), ROW(L"201", L"192.168.1.1", L"192.168.1.1", L"B-201"),
      ROW(L"215", L"192.168.1.15", L"192.168.1.1", L"B-215"),   ROW(L"400", L"192.168.1.200", L"192.168.1.1", L"B-400"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const MachineInput input = ValidateInput(row.typed, zones);
    const MachineSettings s = DeriveSettings(input, *zones.PlanOf(input.MachineNumber));
    EXPECT_EQ(s.IpAddress, row.ip);
    EXPECT_EQ(s.DefaultGateway, row.gateway);
    EXPECT_EQ(s.HostName, row.host);
    EXPECT_EQ(s.SubnetMask, L"255.255.255.0");  // neither zone sets it: [NetWork]'s default
  }
}

// A refusal of a zone's key names the section the key stands in, and a seat planned on its gateway is told
// the fix; the headline stays the one every configuration box has.
TEST(ZonesTest, ARefusalNamesTheSectionOfTheKey) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(kTwoFloors);
  const IniFile::Zones zones = IniFile::ReadZones(platform, IniFile::ConfigFile::Open(platform));
  const auto rejection = [&](const wchar_t* typed) {
    const MachineInput input = ValidateInput(typed, zones);
    const MachineSettings s = DeriveSettings(input, *zones.PlanOf(input.MachineNumber));
    return SettingsRejection(sim.text, CheckSettings(sim.text, s), s, L"config.ini").text;
  };
  EXPECT_EQ(rejection(L"201"),
            L"配置文件中的 GateWay 不是一个有效的 IP 地址(或空),请修改配置文件！\r\n[二楼] GateWay=192.168.1.1\r\n"
            L"默认网关不能是本机自己的 IP 地址 192.168.1.1:机号 201 算出的地址就是网关。请把 GateWay 改成没有机位使用的"
            L"地址(例如 192.168.1.254),或修改 IPOffset 让机位避开网关。\r\n文件: config.ini");
  EXPECT_NE(rejection(L"1").find(L"\r\n[NetWork] GateWay=192.168.0.1\r\n"), std::wstring::npos);  // [一楼] sets none
}

using test::DeploymentTest;

// The runs reach the zones: /n 215 writes the second floor's address, /n 401 is a bad argument naming the zones,
// a [Zones] that cannot be used is a configuration error; without zones /n 255 is a bad argument as before.
TEST_F(DeploymentTest, RunsTakeTheZonesNumbers) {
  sim.PutConfig(kTwoFloors);
  EXPECT_EQ(Run(L"/n 215 /card 1 /noreboot"), exit_code::kDone) << sim.console.output;
  EXPECT_NE(Output().find(L"I P 地 址 :  192.168.1.15"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Log().find(ToUtf8(L"\t机号=215\t计算机名=B-215\tIP=192.168.1.15\t")), std::string::npos);
  sim.registry.ClearWrites();
  // A number no zone holds, as the window names it: the zones' ranges.
  for (const wchar_t* run : {L"/n 401 /card 1 /noreboot", L"/n 0 /card 1", L"/n 10000 /card 1"}) {
    EXPECT_EQ(Run(run), exit_code::kBadArguments);
    EXPECT_NE(Output().find(L"/n 后面应是 1-200(一楼)、201-400(二楼) 的机号(只用数字): "), std::wstring::npos)
        << sim.console.output;
  }
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  sim.PutConfig(L"[NetWork]\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n");
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"配置文件中的 [Zones] 有误,请修改配置文件！\r\n区 二楼 没有自己的 [二楼] 节。"),
            std::wstring::npos)
      << sim.console.output;
  // The window starts typed with a [Machines] number past 254 that a zone holds.
  sim.PutConfig(std::wstring(kTwoFloors) + L"[Machines]\r\n00-1A-2B-3C-4D-5E=315\r\n");
  sim::SimWindow window(frm::ControlTable());
  frm::FrmMain(platform, window).Form_Load();
  EXPECT_EQ(window.State(frm::txtNum).caption, L"315");
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_EQ(Run(L"/n 255 /card 1 /noreboot"), exit_code::kBadArguments);
  EXPECT_NE(Output().find(L"/n 后面应是 1-254 的机号(只用数字): 255"), std::wstring::npos);
}

// config.ini read two ways stops every run and view before anything is written: a zone whose name code
// page 936 cannot carry (its values would be read as the built-in defaults), a header with text after its
// ']' (the window's box names the line and the zone).
TEST_F(DeploymentTest, ConfigReadTwoWaysIsRefusedEverywhere) {
  sim.PutConfigBytes("\xEF\xBB\xBF" +
                     ToUtf8(L"[NetWork]\r\nIP=10.1.0\r\n[Zones]\r\n一楼=1-200\r\n\u00C9tage=201-400\r\n"
                            L"[一楼]\r\n[\u00C9tage]\r\nIP=10.2.0\r\nIPOffset=-200\r\n"));
  for (const wchar_t* run : {L"/n 215 /card 1 /noreboot", L"/check /n 215 /card 1", L"/table", L"/export csv"}) {
    EXPECT_EQ(Run(run), exit_code::kRefused) << ToUtf8(run);
    // The console is code page 936 too: the character itself shows as its look-alike.
    EXPECT_NE(Output().find(L"配置文件中的 [Zones] 有误,请修改配置文件！\r\n区 "), std::wstring::npos);
    EXPECT_NE(Output().find(L"tage 的名字含有 Windows(代码页 936)无法表示的字符"), std::wstring::npos);
  }
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_EQ(Log().find("=215\r\n"), std::string::npos);  // no line claims the number
  sim.PutConfig(
      L"[NetWork]\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n[二楼] ; 201-400 [new]\r\nIP=10.2.0\r\n");
  sim::SimWindow window(frm::ControlTable());
  frm::FrmMain form(platform, window);
  form.Form_Load();
  window.SelectItem(frm::cboInterface, 0);
  form.cboInterface_Click();
  window.SetCaption(frm::txtNum, L"215");
  form.Command1_Click();
  ASSERT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(sim.messages.Shown()[0].ShownTitle(), L"Quorlis - 配置文件错误！");
  EXPECT_NE(sim.messages.Shown()[0].text.find(L"第 6 行(区 二楼 的节头): [二楼] ; 201-400 [new]"), std::wstring::npos)
      << ToUtf8(sim.messages.Shown()[0].text);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
}

}  // namespace
}  // namespace vexa
