// frmmain's handlers over a recorded window: start-up, the two visual states, the key and paste filters,
// the OK button's enabled state and focus, help, about and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "app/controls.h"
#include "app/frmmain.h"
#include "app/texts.h"
#include "common/text.h"
#include "platform/sim/sim_window.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa::frm {
namespace {

using test::Sz;

class FrmMainTest : public ::testing::Test {
 protected:
  FrmMainTest() : window(ControlTable()), form(platform, window) { test::CloneImage(sim); }

  void Load() {
    form.Form_Load();
    window.ClearLog();
  }
  void Choose(int index) {
    window.Select(cboInterface, index);
    form.cboInterface_Click();
  }
  const std::wstring& CaptionOf(Control c) { return window.State(c).caption; }
  bool Visible(Control c) { return window.State(c).visible; }
  std::size_t LogIndex(const std::wstring& entry) {
    const auto& log = window.Log();
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim::SimWindow window;
  FrmMain form;
};

TEST_F(FrmMainTest, StartUpFillsTheWindow) {
  form.Form_Load();
  EXPECT_EQ(CaptionOf(Label15), L"当前计算机名:MASTER");
  EXPECT_EQ(CaptionOf(Label19), L"找到 2 块可用网卡");
  EXPECT_EQ(CaptionOf(Label13), L"请选择网卡");
  EXPECT_EQ(CaptionOf(Label7), L"本机机号:");
  EXPECT_EQ(CaptionOf(Command1), L"确定(&C)");
  EXPECT_EQ(CaptionOf(Command2), L"退出(&Q)");
  EXPECT_EQ(CaptionOf(Frame1), L" 你没有选择网卡  ");
  const auto& items = window.State(cboInterface).items;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  EXPECT_EQ(window.Caption(cboInterface), L"");  // nothing chosen yet
  EXPECT_EQ(window.Focus(), cboInterface);
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
  for (Control c : {Label13, Shape2, Picture1, Picture2, Label15, Label16}) EXPECT_TRUE(Visible(c)) << c;
  for (Control c : {Label23, Shape1, Line1, Line6, Line7}) EXPECT_FALSE(Visible(c)) << c;
}

TEST_F(FrmMainTest, CardCountFollowsTheRegistry) {
  sim.registry.DeleteKey(kHkeyLocalMachine, test::kCardsKey);
  form.Form_Load();
  EXPECT_EQ(CaptionOf(Label19), L"找到 0 块可用网卡");
  EXPECT_TRUE(window.State(cboInterface).items.empty());

  test::AddCard(sim.registry, "1", Sz("A"), Sz("{A}"));
  test::AddCard(sim.registry, "2", Sz("B"), Sz("{B}"));
  test::AddCard(sim.registry, "3", Sz("C"), Sz("{C}"));
  FrmMain again(platform, window);
  again.Form_Load();
  EXPECT_EQ(CaptionOf(Label19), L"找到 3 块可用网卡");
  EXPECT_EQ(window.State(cboInterface).items.size(), 3u);
}

TEST_F(FrmMainTest, HostNameAndDescriptionsAreShownUpToTheirNul) {
  sim.registry.SetValue(kHkeyLocalMachine, test::kTcpipKey, "NV Hostname", kRegSz, std::string("PC01\0old\0", 9));
  test::AddCard(sim.registry, "9", std::string("NIC X\0junk\0", 11), Sz("{X}"));
  form.Form_Load();
  EXPECT_EQ(CaptionOf(Label15), L"当前计算机名:PC01");
  // The entry is added as read; the box shows it up to the NUL, and the lookup finds the card by that.
  EXPECT_EQ(window.State(cboInterface).items.back(), std::wstring(L"NIC X\0junk", 10));
  window.Select(cboInterface, 2);
  EXPECT_EQ(window.Caption(cboInterface), L"NIC X");
}

TEST_F(FrmMainTest, UnreadableHostNameShowsError) {
  sim.registry.DeleteKey(kHkeyLocalMachine, test::kTcpipKey);
  form.Form_Load();
  EXPECT_EQ(CaptionOf(Label15), L"当前计算机名:Error");
}

TEST_F(FrmMainTest, ChoosingACardShowsItsSettingsAndSwitchesTheView) {
  Load();
  Choose(0);
  EXPECT_EQ(CaptionOf(Label1), L"192.168.0.200");
  EXPECT_EQ(CaptionOf(Label3), L"255.255.255.0");
  EXPECT_EQ(CaptionOf(Label2), L"192.168.0.1");
  EXPECT_EQ(CaptionOf(Label4), L"192.168.0.1");
  EXPECT_EQ(CaptionOf(Label5), L"MASTER");
  EXPECT_EQ(CaptionOf(Label23), L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  EXPECT_EQ(CaptionOf(Frame1), L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  EXPECT_EQ(CaptionOf(Label12), L" 当前网卡信息");
  EXPECT_EQ(CaptionOf(Label14), L"网卡列表 默认为第一块网卡");
  EXPECT_EQ(CaptionOf(Label6), L"IP 地 址");
  EXPECT_EQ(CaptionOf(Label10), L"DNS 信息");
  for (Control c : {Label13, Label15, Label16, Shape2, Picture1, Picture2}) EXPECT_FALSE(Visible(c)) << c;
  for (Control c : {Label23, Shape1, Line1, Line2, Line3, Line4, Line5, Line6, Line7}) EXPECT_TRUE(Visible(c)) << c;
  EXPECT_EQ(window.Focus(), txtNum);
  // Values are read in their order, the view switches after the texts, the focus moves last.
  EXPECT_LT(LogIndex(L"Label1.caption=192.168.0.200"), LogIndex(L"Label3.caption=255.255.255.0"));
  EXPECT_LT(LogIndex(L"Label11.caption=计算机名"), LogIndex(L"Label13.hide"));
  EXPECT_LT(LogIndex(L"Shape2.hide"), LogIndex(L"Shape1.show"));
  EXPECT_EQ(window.Log().back(), L"txtNum.focus");
  EXPECT_TRUE(sim.messages.Shown().empty());
}

TEST_F(FrmMainTest, MissingValueShowsErrorAndASecondChoiceRefreshes) {
  test::AddCard(sim.registry, "3", Sz("Card Three"), Sz("{33}"));
  sim.registry.SetValue(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{33}", "IPAddress", kRegMultiSz,
                        std::string("10.0.0.3\0\0", 10));
  Load();
  Choose(0);
  Choose(2);
  EXPECT_EQ(CaptionOf(Label1), L"10.0.0.3");
  EXPECT_EQ(CaptionOf(Label2), L"Error");
  EXPECT_EQ(CaptionOf(Label23), L"Card Three");
  EXPECT_EQ(CaptionOf(Frame1), L"Card Three");
  EXPECT_FALSE(Visible(Label13));
  EXPECT_TRUE(Visible(Line6));
  EXPECT_EQ(window.Focus(), txtNum);
}

TEST_F(FrmMainTest, ShownTextMatchingNoCardShowsTheFourPathMessages) {
  Load();
  form.cboInterface_Click();  // nothing shown
  ASSERT_EQ(sim.messages.Shown().size(), 4u);
  EXPECT_EQ(
      sim.messages.Shown()[0].text,
      L"Incorrect Format:\n\nHKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\");
  EXPECT_EQ(CaptionOf(Label1), L"");
  EXPECT_EQ(CaptionOf(Label5), L"MASTER");
}

TEST_F(FrmMainTest, KeyFilterLetsDigitsBackspaceAndEnterThrough) {
  for (int key = 0; key < 256; ++key) {
    int k = key;
    form.txtNum_KeyPress(k);
    const bool passes = (key >= '0' && key <= '9') || key == 8 || key == 13;
    EXPECT_EQ(k, passes ? key : 0) << key;
  }
  int wide = 0x4E00;  // a Chinese character from an input method
  form.txtNum_KeyPress(wide);
  EXPECT_EQ(wide, 0);
}

TEST_F(FrmMainTest, PasteOfAnythingButDigitsIsRefused) {
  EXPECT_TRUE(form.OnPaste(txtNum, L"007"));
  for (const wchar_t* bad : {L"&H1F", L"1.5", L"1 5", L"", L"-3", L"１２", L"12\r\n"}) {
    EXPECT_FALSE(form.OnPaste(txtNum, bad)) << std::wstring(bad).size();
  }
}

TEST_F(FrmMainTest, OkDisablesTheButtonUntilTheSummaryIsClosed) {
  Load();
  Choose(0);
  window.Type(txtNum, L"15");
  window.ClearLog();
  form.Command1_Click();
  EXPECT_EQ(window.Log().front(), L"Command1.disable");
  EXPECT_EQ(window.Log().back(), L"Command1.enable");
  ASSERT_EQ(sim.messages.Shown().size(), 2u);  // summary, then the restart question
  EXPECT_EQ(sim.messages.Shown()[1].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(window.State(Command1).enabled);
  EXPECT_FALSE(window.Unloaded());
  EXPECT_EQ(test::MachineWrites(sim).size(), test::CountWrites(sim.text).all);
}

TEST_F(FrmMainTest, RejectionsMoveTheFocusAndKeepOrClearTheNumber) {
  const struct {
    int line;
    int card;  // -1: none chosen
    const wchar_t* typed;
    const wchar_t* config;
    const wchar_t* numberAfter;
    Control focus;
  } cases[] = {
      ROW(0, L"", L"", L"", txtNum),
      ROW(0, L"999", L"", L"", txtNum),
      ROW(-1, L"15", L"", L"15", cboInterface),
      ROW(0, L"15", L"[NetWork]\r\nIP=\r\n", L"15", txtNum),
  };
  Load();
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfig(c.config);
    window.Select(cboInterface, c.card);
    window.Type(txtNum, c.typed);
    window.SetFocus(Label7);
    form.Command1_Click();
    EXPECT_EQ(CaptionOf(txtNum), c.numberAfter);
    EXPECT_EQ(window.Focus(), c.focus);
    EXPECT_TRUE(window.State(Command1).enabled);
  }
  EXPECT_TRUE(test::MachineWrites(sim).empty());
}

TEST_F(FrmMainTest, YesRestartsAndUnloads) {
  Load();
  Choose(0);
  window.Type(txtNum, L"15");
  sim.messages.Answer(MsgAnswer::Ok);
  sim.messages.Answer(MsgAnswer::Yes);
  form.Command1_Click();
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  EXPECT_TRUE(window.Unloaded());
}

TEST_F(FrmMainTest, ExitUnloadsAtOnce) {
  Load();
  form.OnClick(Command2);
  EXPECT_TRUE(window.Unloaded());
  EXPECT_TRUE(sim.messages.Shown().empty());
}

TEST_F(FrmMainTest, HintHelpAndAboutChangeNothing) {
  Load();
  form.OnClick(Label13);
  form.OnClick(Label17);
  form.OnClick(Label22);
  ASSERT_EQ(sim.messages.Shown().size(), 3u);
  EXPECT_EQ(sim.messages.Shown()[0].text, L"你没有选择网卡！请在下面的网卡列表中选择！");
  EXPECT_EQ(sim.messages.Shown()[0].ShownTitle(), L"Quorlis Vexa IP自动修改 提示！");
  EXPECT_EQ(sim.messages.Shown()[1].ShownTitle(), L"Quorlis Vexa IP自动修改  配置文件的使用方法!");
  EXPECT_EQ(sim.messages.Shown()[2].ShownTitle(), L"关于 Quorlis Vexa IP 地址自动修改程序");
  for (const auto& box : sim.messages.Shown()) {
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
  }
  EXPECT_TRUE(window.Log().empty());
  Choose(0);
  window.ClearLog();
  form.OnClick(Label17);
  form.OnClick(Label22);
  EXPECT_TRUE(window.Log().empty());
}

// Lines of a box text split at CR LF.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(FrmMainTexts, HelpAndAboutHaveTenLinesAndTheirRuns) {
  const auto help = SplitLines(HelpText());
  ASSERT_EQ(help.size(), 10u);
  EXPECT_EQ(help[2], std::wstring(41, L'┄'));
  EXPECT_EQ(help[9], std::wstring(41, L'┄'));
  EXPECT_NE(help[0].find(L"换行  GateWay=    换行    DNS= 换行 "), std::wstring::npos);
  EXPECT_EQ(help[0].back(), L' ');
  EXPECT_NE(help[3].find(L"前三位" + std::wstring(14, L' ') + L"例如"), std::wstring::npos);
  EXPECT_NE(help[5].find(L"子网掩码" + std::wstring(19, L' ') + L"例如"), std::wstring::npos);
  EXPECT_NE(help[1].find(L'＝'), std::wstring::npos);
  EXPECT_EQ(HelpText().find(L'\n'), HelpText().find(L"\r\n") + 1);  // no bare LF

  const auto about = SplitLines(AboutText());
  ASSERT_EQ(about.size(), 10u);
  EXPECT_EQ(about[2], std::wstring(26, L'━'));
  EXPECT_EQ(about[8], std::wstring(26, L'━'));
  EXPECT_EQ(about[9].substr(0, 8), L"     作者:");
  EXPECT_EQ(about[7], L"置文件。建议用本程序请用批处理编写运行一次到开机启动!");
}

TEST(JoinLines, EveryLineButTheLastEndsInCrLfEmptyOnesToo) {
  EXPECT_EQ(JoinLines({L"", L"a", L"", L"b"}), L"\r\na\r\n\r\nb");
  EXPECT_EQ(JoinLines({L"a", L""}), L"a\r\n");
  EXPECT_EQ(JoinLines({L""}), L"");
}

// What std::to_wstring wrote, at every edge of every width the tool prints.
TEST(IntText, AsToWstringWritesIt) {
  EXPECT_EQ(IntText(0), L"0");
  EXPECT_EQ(IntText(15), L"15");
  EXPECT_EQ(IntText(-200), L"-200");
  EXPECT_EQ(IntText(std::numeric_limits<int>::min()), std::to_wstring(std::numeric_limits<int>::min()));
  EXPECT_EQ(IntText(std::numeric_limits<std::uint32_t>::max()), L"4294967295");
  EXPECT_EQ(IntText(std::numeric_limits<std::uint64_t>::max()), L"18446744073709551615");
  EXPECT_EQ(IntText(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
}

TEST_F(FrmMainTest, LinksStartTheSystemsExplorerMinimised) {
  Load();
  form.OnClick(Label18);
  form.OnClick(Label21);
  form.OnClick(Label20);
  ASSERT_EQ(sim.system.started.size(), 3u);
  EXPECT_EQ(sim.system.started[0].application, "C:\\windows\\explorer.exe");
  EXPECT_EQ(sim.system.started[0].commandLine, "\"C:\\windows\\explorer.exe\" http://forum.vexaipset.example/");
  EXPECT_EQ(sim.system.started[1].commandLine, "\"C:\\windows\\explorer.exe\" http://www.vexaipset.example/");
  EXPECT_EQ(sim.system.started[2].commandLine, sim.system.started[1].commandLine);
  for (const auto& s : sim.system.started) EXPECT_EQ(s.show, 2u);
  EXPECT_TRUE(window.Log().empty());
}

TEST(ControlTable, EveryControlOnceTabOrderAndFramePlacement) {
  const auto& table = ControlTable();
  ASSERT_EQ(table.size(), static_cast<std::size_t>(kControlCount));
  std::vector<bool> seen(kControlCount, false);
  for (const auto& c : table) {
    ASSERT_FALSE(seen[static_cast<std::size_t>(c.id)]) << std::string(c.name.begin(), c.name.end());
    seen[static_cast<std::size_t>(c.id)] = true;
  }
  // Tab stops come first, in the designed order, so the real window can create them in that order.
  const ControlId order[] = {cboInterface, Picture1, Picture2, Command2, Command1, txtNum};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(table[static_cast<std::size_t>(i)].id, order[i]);
    EXPECT_EQ(table[static_cast<std::size_t>(i)].tabIndex, i);
  }
  for (std::size_t i = 6; i < table.size(); ++i) EXPECT_EQ(table[i].tabIndex, -1);
  EXPECT_EQ(table.back().id, Frame1);
}

// What only the real window acts on: the default and cancel buttons, the clickable labels, the caption.
TEST(ControlTable, ButtonsClickableLabelsAndCaption) {
  std::vector<std::wstring> defaults, cancels, clickable;
  for (const auto& c : ControlTable()) {
    if (c.isDefault) defaults.emplace_back(c.name);
    if (c.isCancel) cancels.emplace_back(c.name);
    if (c.clickable) clickable.emplace_back(c.name);
    EXPECT_EQ(c.clickable, c.kind == ControlKind::Label && c.clickable) << std::string(c.name.begin(), c.name.end());
  }
  EXPECT_EQ(defaults, std::vector<std::wstring>{L"Command1"});
  EXPECT_EQ(cancels, std::vector<std::wstring>{L"Command2"});
  std::sort(clickable.begin(), clickable.end());
  EXPECT_EQ(clickable,
            (std::vector<std::wstring>{L"Label13", L"Label17", L"Label18", L"Label20", L"Label21", L"Label22"}));
  EXPECT_EQ(MainWindow().caption, L"Quorlis专用 Vexa IP 自动修改程序 ");
}

}  // namespace
}  // namespace vexa::frm
