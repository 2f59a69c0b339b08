// The shipped executable under Wine, driven like an operator: start-up, the card view, the key and paste
// filters, the OK action with its registry writes and boxes, the rejections, help, about and links.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "common/version.h"
#include "e2e/machine.h"
#include "e2e/tool.h"
#include "unit/row.h"

namespace vexa::e2e {
namespace {

using namespace vexa::frm;

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value) : std::wstring();
}

const std::wstring kRealtek = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
const std::wstring kFullConfig =
    L"[NetWork]\r\nIP=192.168.0\r\nIPOffset=0\r\nMask=255.255.255.0\r\nGateWay=192.168.0.1\r\n"
    L"DNS=202.102.224.68,202.102.227.68\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey15=KEY-FIFTEEN\r\n";

class E2E : public ::testing::Test {
 protected:
  void SetUp() override {
    toolPath_ = Env(L"VEXA_E2E_TOOL");
    ASSERT_FALSE(toolPath_.empty()) << "VEXA_E2E_TOOL names the executable under test";
    CloneImage();
    WriteConfig(toolPath_, kFullConfig);
  }

  std::unique_ptr<Tool> Start() {
    auto tool = std::make_unique<Tool>(toolPath_);
    EXPECT_TRUE(tool->Started()) << "main window did not appear: " << tool->WhyNotStarted();
    return tool;
  }

  // Chooses the entry with the keyboard, as an operator would with the arrow keys.
  void Choose(Tool& tool, const std::wstring& card) {
    const auto items = tool.ComboItems();
    for (std::size_t i = 0; i < items.size() && tool.ComboShown() != card; ++i) tool.Key(cboInterface, VK_DOWN);
    ASSERT_EQ(tool.ComboShown(), card);
  }

  Box ExpectBox(Tool& tool, const std::wstring& title, IconSeen icon) {
    Box box;
    EXPECT_TRUE(tool.WaitBox(box)) << "no message box";
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.icon, icon);
    return box;
  }

  std::wstring toolPath_;
};

std::string Bytes(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type = nullptr) {
  auto v = GetValue(root, path, name);
  if (!v) return "<missing>";
  if (type != nullptr) *type = v->type;
  return v->data;
}

TEST_F(E2E, StartUpShowsHostNameCardsAndNothingChosen) {
  auto tool = Start();
  wchar_t caption[128] = {};
  ::GetWindowTextW(tool->Main(), caption, 128);
  EXPECT_EQ(std::wstring(caption), L"Quorlis专用 Vexa IP 自动修改程序 ");
  EXPECT_EQ(tool->Text(Label15), L"当前计算机名:MASTER");
  EXPECT_EQ(tool->Text(Label19), L"找到 3 块可用网卡");
  EXPECT_EQ(tool->Text(Label13), L"请选择网卡");
  EXPECT_EQ(tool->Text(Label7), L"本机机号:");
  EXPECT_EQ(tool->Text(Command1), L"确定(&C)");
  EXPECT_EQ(tool->Text(Command2), L"退出(&Q)");
  EXPECT_EQ(tool->Text(Frame1), L" 你没有选择网卡  ");
  const auto items = tool->ComboItems();
  ASSERT_EQ(items.size(), 3u);  // key names 12, 2, 7 in the registry's order
  EXPECT_EQ(items[0], L"VIA Rhine II Fast Ethernet Adapter");
  EXPECT_EQ(items[1], kRealtek);
  EXPECT_EQ(tool->ComboShown(), L"");
  EXPECT_TRUE(tool->Focused(cboInterface));
  EXPECT_TRUE(tool->Visible(Label13));
  EXPECT_FALSE(tool->Visible(Label23));
}

TEST_F(E2E, CardCountWithNoneAndOne) {
  DeleteTree(HKEY_LOCAL_MACHINE, kCards);
  {
    auto tool = Start();
    EXPECT_EQ(tool->Text(Label19), L"找到 0 块可用网卡");
    EXPECT_TRUE(tool->ComboItems().empty());
  }
  AddCard(L"1", Sz("Only NIC"), Sz("{ONLY}"));
  auto tool = Start();
  EXPECT_EQ(tool->Text(Label19), L"找到 1 块可用网卡");
  EXPECT_EQ(tool->ComboItems(), std::vector<std::wstring>{L"Only NIC"});
}

TEST_F(E2E, KeyFilterAndPasteFilter) {
  auto tool = Start();
  tool->Type(txtNum, L"a-. 1x2");
  EXPECT_EQ(tool->Text(txtNum), L"12");
  tool->Type(txtNum, L"\b");
  EXPECT_EQ(tool->Text(txtNum), L"1");
  tool->PasteWithCtrlV(txtNum, L"&H1F");
  EXPECT_EQ(tool->Text(txtNum), L"1");
  tool->SendPaste(txtNum, L"1.5");
  EXPECT_EQ(tool->Text(txtNum), L"1");
  tool->PasteWithCtrlV(txtNum, L"34");
  EXPECT_EQ(tool->Text(txtNum), L"134");
  tool->SendPaste(txtNum, L"5");
  EXPECT_EQ(tool->Text(txtNum), L"1345");
}

TEST_F(E2E, EnterInTheNumberBoxRunsOkAndEscExits) {
  auto tool = Start();
  tool->Type(txtNum, L"15");
  tool->Key(txtNum, VK_RETURN);
  Box box = ExpectBox(*tool, L"Quorlis Vexa IP自动修改 提示！", IconSeen::Critical);
  EXPECT_EQ(box.text, L"你没有选择网卡！请在下面的网卡列表中选择！");
  tool->Answer(box, IDOK);
  EXPECT_TRUE(tool->Focused(cboInterface));
  EXPECT_TRUE(tool->Enabled(Command1));
  tool->Key(txtNum, VK_ESCAPE);
  EXPECT_EQ(tool->WaitExit(), 0);
}

TEST_F(E2E, TabGoesInTheDesignedOrderAndAccessKeysPressTheButtons) {
  auto tool = Start();  // in the start state both pictures are shown, and so are tab stops
  const ControlId order[] = {cboInterface, Picture1, Picture2, Command2, Command1, txtNum, cboInterface};
  for (std::size_t i = 1; i < 7; ++i) {
    tool->Key(order[i - 1], VK_TAB);
    EXPECT_TRUE(tool->Focused(order[i])) << "tab stop " << i;
  }
  // Alt+C is the OK button's access key: the number box is empty, so its message comes.
  ::PostMessageW(tool->Find(cboInterface), WM_SYSCHAR, L'c', 1 | (1 << 29));
  Box box = ExpectBox(*tool, L"Quorlis - 出现错误！", IconSeen::Critical);
  tool->Answer(box, IDOK);
  ::PostMessageW(tool->Find(txtNum), WM_SYSCHAR, L'q', 1 | (1 << 29));
  EXPECT_EQ(tool->WaitExit(), 0);
}

// Started behind another window, as from a logon task: once activated, the focus is on the card list.
TEST_F(E2E, StartedBehindAnotherWindowTheFocusWaitsOnTheCardList) {
  HWND front = ::CreateWindowExW(0, L"STATIC", L"in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(front, nullptr);
  ::SetForegroundWindow(front);
  auto tool = std::make_unique<Tool>(toolPath_, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(tool->Started()) << tool->WhyNotStarted();
  EXPECT_NE(::GetForegroundWindow(), tool->Main());
  EXPECT_FALSE(tool->Focused(cboInterface));
  ::SetForegroundWindow(tool->Main());
  tool->Settle();
  EXPECT_TRUE(tool->Focused(cboInterface));
  ::DestroyWindow(front);
}

TEST_F(E2E, ExitButtonEndsTheProcess) {
  auto tool = Start();
  tool->Click(Command2);
  EXPECT_EQ(tool->WaitExit(), 0);
}

TEST_F(E2E, ChoosingACardShowsItsSettings) {
  auto tool = Start();
  Choose(*tool, kRealtek);
  EXPECT_EQ(tool->Text(Label1), L"192.168.0.200");
  EXPECT_EQ(tool->Text(Label3), L"255.255.255.0");
  EXPECT_EQ(tool->Text(Label2), L"192.168.0.1");
  EXPECT_EQ(tool->Text(Label4), L"192.168.0.1");
  EXPECT_EQ(tool->Text(Label5), L"MASTER");
  EXPECT_EQ(tool->Text(Label23), kRealtek);
  EXPECT_EQ(tool->Text(Frame1), kRealtek);
  EXPECT_EQ(tool->Text(Label14), L"网卡列表 默认为第一块网卡");
  EXPECT_FALSE(tool->Visible(Label13));
  EXPECT_FALSE(tool->Visible(Picture1));
  EXPECT_TRUE(tool->Visible(Label23));
  EXPECT_TRUE(tool->Focused(txtNum));
  // The next card has no gateway: "Error", the rest refreshed.
  tool->Key(cboInterface, VK_DOWN);
  EXPECT_EQ(tool->ComboShown(), L"Intel(R) PRO/1000 MT Network Connection");
  EXPECT_EQ(tool->Text(Label1), L"10.0.0.7");
  EXPECT_EQ(tool->Text(Label2), L"Error");
  EXPECT_EQ(tool->Text(Frame1), L"Intel(R) PRO/1000 MT Network Connection");
  EXPECT_TRUE(tool->Focused(txtNum));
  EXPECT_TRUE(tool->NoBox());
}

TEST_F(E2E, FullOkWritesTheNineValuesAndAsks) {
  auto tool = Start();
  Choose(*tool, kRealtek);
  tool->Type(txtNum, L"15");
  tool->Click(Command1);
  Box summary = ExpectBox(*tool, L"网络设置信息", IconSeen::Information);
  EXPECT_EQ(summary.text,
            L"     网络信息设置如下 : 有错误吗？\r\n┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄\r\n计算机名  :  WB-15\r\n"
            L"I P 地 址   :  192.168.0.15\r\n子网掩码  :  255.255.255.0\r\n默认网关  :  192.168.0.1\r\n"
            L"DNS 信息  :  202.102.224.68,202.102.227.68\r\nCS 序列号 :  KEY-FIFTEEN\r\n");
  EXPECT_FALSE(tool->Enabled(Command1));
  tool->Answer(summary, IDOK);
  Box question = ExpectBox(*tool, L"全部设置完毕 需要重启计算机！", IconSeen::None);
  EXPECT_EQ(question.text, L"重新启动计算机才能生效,现在就要重启吗?\r\n");
  EXPECT_EQ(question.buttons.size(), 2u);
  EXPECT_TRUE(tool->Enabled(Command1));
  tool->Answer(question, IDNO);
  EXPECT_TRUE(tool->Running());
  EXPECT_TRUE(tool->Enabled(Command1));

  const std::wstring card = std::wstring(kInterfaces) + L"\\{AAAA-2}";
  DWORD type = 0;
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kIpx, L"VirtualNetworkNumber", &type), std::string("\x0F\0\0\0", 4));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"EnableDHCP", &type), std::string(4, '\0'));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"IPAddress", &type), std::string("192.168.0.15\0\0", 14));
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"SubnetMask"), std::string("255.255.255.0\0\0", 15));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"DefaultGateway"), std::string("192.168.0.1\0\0", 13));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"NameServer", &type), Sz("202.102.224.68,202.102.227.68"));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname"), Sz("WB-15"));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName"), Sz("WB-15"));
  EXPECT_EQ(Bytes(HKEY_CURRENT_USER, kGame, L"Key"), Sz("KEY-FIFTEEN"));
}

// A venue of two floors: 215 is typed as any number, and the second floor's values are written and shown.
TEST_F(E2E, AVenuesNumberTakesItsZonesValues) {
  WriteConfig(toolPath_,
              L"[NetWork]\r\nNetPrefix=WB-\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n"
              L"[二楼]\r\nIP=192.168.1\r\nIPOffset=-200\r\nGateWay=192.168.1.1\r\nNetPrefix=B-\r\n");
  auto tool = Start();
  Choose(*tool, kRealtek);
  tool->Type(txtNum, L"215");
  EXPECT_EQ(tool->Text(txtNum), L"215");
  tool->Click(Command1);
  Box summary = ExpectBox(*tool, L"网络设置信息", IconSeen::Information);
  EXPECT_NE(summary.text.find(L"计算机名  :  B-215\r\nI P 地 址   :  192.168.1.15\r\n子网掩码  :  255.255.255.0\r\n"
                              L"默认网关  :  192.168.1.1\r\n"),
            std::wstring::npos);
  SaveShot(tool->Main(), L"zones-window");
  SaveShot(summary.hwnd, L"zones-summary");
  tool->Answer(summary, IDOK);
  Box question = ExpectBox(*tool, L"全部设置完毕 需要重启计算机！", IconSeen::None);
  tool->Answer(question, IDNO);
  const std::wstring card = std::wstring(kInterfaces) + L"\\{AAAA-2}";
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"IPAddress"), std::string("192.168.1.15\0\0", 14));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, card, L"DefaultGateway"), std::string("192.168.1.1\0\0", 13));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName"), Sz("B-215"));
  // A number no floor holds is refused naming the floors.
  tool->Type(txtNum, L"\b\b\b401");
  EXPECT_EQ(tool->Text(txtNum), L"401");
  tool->Click(Command1);
  Box refused = ExpectBox(*tool, L"Quorlis - 机器号输入错误！", IconSeen::Critical);
  EXPECT_EQ(refused.text, L"请输入1-200(一楼)、201-400(二楼)的数字,或者修改配置文件！");
  tool->Answer(refused, IDOK);
}

TEST_F(E2E, OnlyTheNineValuesChange) {
  // Every value the action writes differs from the image's, so each write shows as a change.
  WriteConfig(toolPath_, L"[NetWork]\r\nMask=255.255.0.0\r\nGateWay=192.168.0.254\r\nDNS=192.168.0.254\r\n");
  const Snapshot before = TakeSnapshot();
  auto tool = Start();
  Choose(*tool, kRealtek);
  tool->Type(txtNum, L"15");
  tool->Click(Command1);
  Box box;
  ASSERT_TRUE(tool->WaitBox(box));
  tool->Answer(box, IDOK);
  ASSERT_TRUE(tool->WaitBox(box));
  tool->Answer(box, IDNO);
  const Snapshot after = TakeSnapshot();
  std::vector<std::wstring> changed;
  for (const auto& [name, value] : after) {
    auto old = before.find(name);
    if (old == before.end() || !(old->second == value)) changed.push_back(name);
  }
  for (const auto& [name, value] : before) {
    if (after.count(name) == 0) changed.push_back(L"gone: " + name);
  }
  const std::wstring card = L"HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\{AAAA-2}|";
  std::vector<std::wstring> expected = {
      L"HKCU\\Software\\Valve\\CounterStrike\\Settings|Key",
      card + L"DefaultGateway",
      card + L"IPAddress",
      card + L"NameServer",
      card + L"SubnetMask",
      card + L"EnableDHCP",
      L"HKLM\\SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters|VirtualNetworkNumber",
      L"HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters|NV Hostname",
      L"HKLM\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName|ComputerName",
  };
  std::sort(changed.begin(), changed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(changed, expected);
}

TEST_F(E2E, LeadingZerosAndAChinesePrefix) {
  WriteConfig(toolPath_, L"[NetWork]\r\nNetPrefix=网吧\r\n");
  auto tool = Start();
  Choose(*tool, kRealtek);
  tool->Type(txtNum, L"007");
  tool->Key(txtNum, VK_RETURN);
  Box box = ExpectBox(*tool, L"网络设置信息", IconSeen::Information);
  EXPECT_NE(box.text.find(L"计算机名  :  网吧007\r\n"), std::wstring::npos);
  tool->Answer(box, IDOK);
  ASSERT_TRUE(tool->WaitBox(box));
  tool->Answer(box, IDNO);
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName"), Sz("\xCD\xF8\xB0\xC9"
                                                                          "007"));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, std::wstring(kInterfaces) + L"\\{AAAA-2}", L"IPAddress"),
            std::string("192.168.0.7\0\0", 13));
  EXPECT_EQ(Bytes(HKEY_CURRENT_USER, kGame, L"Key"), Sz("0000000000000"));
}

// The same config.ini saved by Notepad as ANSI, as UTF-8 with and without a mark, and as UTF-16LE: the same
// bytes in the registry.
TEST_F(E2E, ConfigInEveryEncodingNotepadSaves) {
  const std::string utf8 = "[NetWork]\r\nNetPrefix=\xE7\xBD\x91\xE5\x90\xA7-\r\n[CSCDK]\r\nCDKey15=\xE9\x94\xAE-15\r\n";
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : std::wstring(L"[NetWork]\r\nNetPrefix=网吧-\r\n[CSCDK]\r\nCDKey15=键-15\r\n")) {
    utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  }
  const std::string files[] = {Ansi(L"[NetWork]\r\nNetPrefix=网吧-\r\n[CSCDK]\r\nCDKey15=键-15\r\n"), utf8,
                               "\xEF\xBB\xBF" + utf8, utf16};
  auto tool = Start();
  Choose(*tool, kRealtek);
  for (const auto& bytes : files) {
    SCOPED_TRACE(testing::Message() << "encoding " << (&bytes - files));
    SetValue(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname", REG_SZ, Sz("MASTER"));
    WriteConfigBytes(toolPath_, bytes);
    ::SendMessageW(tool->Find(txtNum), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"15"));
    tool->Click(Command1);
    Box box = ExpectBox(*tool, L"网络设置信息", IconSeen::Information);
    tool->Answer(box, IDOK);
    ASSERT_TRUE(tool->WaitBox(box));
    tool->Answer(box, IDNO);
    EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname"), Sz("\xCD\xF8\xB0\xC9-15"));
    EXPECT_EQ(Bytes(HKEY_CURRENT_USER, kGame, L"Key"), Sz("\xBC\xFC-15"));
  }
}

struct Rejection {
  int line;
  const wchar_t* config;  // nullptr: the full one
  const wchar_t* typed;
  const wchar_t* title;
  const wchar_t* text;
  const wchar_t* numberAfter;
};

TEST_F(E2E, RejectionsShowTheirBoxAndWriteNothing) {
  const std::wstring badIp = L"Quorlis - 配置文件错误！";
  const Rejection cases[] = {
      ROW(nullptr, L"", L"Quorlis - 出现错误！", L"请输入本机号,在按回车键呀！！", L""),
      ROW(nullptr, L"0", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
      ROW(nullptr, L"255", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
      ROW(nullptr, L"999", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
      ROW(L"[NetWork]\r\nIP=\r\n", L"15", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=\r\nIPOffset=0\r\n本机机号=15\r\n文件: "
          L"C:\\e2e\\config.ini",
          L"15"),
      ROW(L"[NetWork]\r\nIPOffset=abc\r\n", L"15", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=abc\r\n本机机号=15\r\n文件: "
          L"C:\\e2e\\config.ini",
          L"15"),
      ROW(L"[NetWork]\r\nIPOffset=\r\n", L"15", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=\r\n本机机号=15\r\n文件: "
          L"C:\\e2e\\config.ini",
          L"15"),
      ROW(L"[NetWork]\r\nIPOffset=2.5\r\n", L"15", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=2.5\r\n本机机号=15\r\n文件: "
          L"C:\\e2e\\config.ini",
          L"15"),
      ROW(L"[NetWork]\r\nIP=10.0.0\r\nIPOffset=5\r\n", L"251", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=10.0.0\r\nIPOffset=5\r\n本机机号=251\r\n文件: "
          L"C:\\e2e\\config.ini",
          L"251"),
      ROW(L"[NetWork]\r\nIPOffset=240\r\n", L"15", badIp.c_str(),
          L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=240\r\n本机机号=15\r\n"
          L"192.168.0.255 是子网 192.168.0.0/24 的广播地址,不能用作计算机的地址。\r\n文件: C:\\e2e\\config.ini",
          L"15"),
      ROW(L"[NetWork]\r\nGateWay=0.0.0.0\r\n", L"15", badIp.c_str(),
          L"配置文件中的 GateWay 不是一个有效的 IP 地址(或空),请修改配置文件！\r\nGateWay=0.0.0.0\r\n"
          L"0.0.0.0 在 0.0.0.0/8 中(表示\"本网络\"),不能用作网关。\r\n文件: C:\\e2e\\config.ini",
          L"15"),
  };
  auto tool = Start();
  Choose(*tool, kRealtek);
  const Snapshot before = TakeSnapshot();
  for (const auto& c : cases) {
    TRACE_ROW(c);
    WriteConfig(toolPath_, c.config != nullptr ? c.config : kFullConfig);
    ::SendMessageW(tool->Find(txtNum), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
    tool->Click(Command1);
    Box box = ExpectBox(*tool, c.title, IconSeen::Critical);
    EXPECT_EQ(box.text, c.text);
    tool->Answer(box, IDOK);
    EXPECT_EQ(tool->Text(txtNum), c.numberAfter);
    EXPECT_TRUE(tool->Focused(txtNum));
    EXPECT_TRUE(tool->Enabled(Command1));
    EXPECT_TRUE(tool->NoBox());
  }
  EXPECT_TRUE(TakeSnapshot() == before);
}

// A gateway outside the subnet is asked about; No writes nothing and shows nothing more.
TEST_F(E2E, AGatewayOutsideTheSubnetIsAskedAbout) {
  WriteConfig(toolPath_, L"[NetWork]\r\nGateWay=10.0.0.1\r\n");
  auto tool = Start();
  Choose(*tool, kRealtek);
  const Snapshot before = TakeSnapshot();
  tool->Type(txtNum, L"15");
  tool->Click(Command1);
  Box box = ExpectBox(*tool, L"Quorlis - 请确认", IconSeen::Exclamation);
  EXPECT_NE(box.text.find(L"默认网关 10.0.0.1 不在 IP 地址 192.168.0.15"), std::wstring::npos);
  tool->Answer(box, IDNO);
  EXPECT_TRUE(tool->NoBox());
  EXPECT_TRUE(tool->Enabled(Command1));
  EXPECT_TRUE(TakeSnapshot() == before);
}

TEST_F(E2E, MissingIpxAndGameKeysDoNotApply) {
  DeleteTree(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  DeleteTree(HKEY_CURRENT_USER, L"Software\\Valve");
  auto tool = Start();
  Choose(*tool, kRealtek);
  tool->Type(txtNum, L"15");
  tool->Click(Command1);
  Box box = ExpectBox(*tool, L"网络设置信息", IconSeen::Information);
  EXPECT_NE(box.text.find(L"CS 序列号 :  KEY-FIFTEEN\r\n┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄\r\nIPX 未安装\r\n游戏未安装\r\n"),
            std::wstring::npos);
  tool->Answer(box, IDOK);
  ASSERT_TRUE(tool->WaitBox(box));
  tool->Answer(box, IDNO);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kIpx));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kGame));
  EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname"), Sz("WB-15"));
}

TEST_F(E2E, HintHelpAndAboutBoxes) {
  auto tool = Start();
  tool->Click(Label13);
  Box hint = ExpectBox(*tool, L"Quorlis Vexa IP自动修改 提示！", IconSeen::Information);
  EXPECT_EQ(hint.text, L"你没有选择网卡！请在下面的网卡列表中选择！");
  tool->Answer(hint, IDOK);
  tool->Click(Label17);
  Box help = ExpectBox(*tool, L"Quorlis Vexa IP自动修改  配置文件的使用方法!", IconSeen::Information);
  EXPECT_EQ(help.text.rfind(L"总体格式为[NetWork]换行 IP= 换行", 0), 0u);
  EXPECT_EQ(help.text.substr(help.text.size() - 43), L"\r\n" + std::wstring(41, L'┄'));
  tool->Answer(help, IDOK);
  tool->Click(Label22);
  Box about = ExpectBox(*tool, L"关于 Quorlis Vexa IP 地址自动修改程序", IconSeen::Information);
  EXPECT_EQ(about.text.rfind(L"用配置文件和用户手动输入将自动修改主机名,IP,网关,DNS\r\nCS游戏序列号！\r\n", 0), 0u);
  EXPECT_NE(about.text.find(L"\r\n     作者:"), std::wstring::npos);
  tool->Answer(about, IDOK);
  EXPECT_TRUE(tool->Visible(Label13));
  EXPECT_TRUE(tool->Running());
}

// Explorer's Details tab and an inventory read the version resource, not the usage: it is this build's
// version (an incremental build once kept an older commit's there).
TEST_F(E2E, TheVersionResourceIsThisBuilds) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(toolPath_.c_str(), &ignored);
  ASSERT_NE(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(toolPath_.c_str(), 0, size, block.data()));
  for (const wchar_t* name :
       {L"\\StringFileInfo\\080404b0\\FileVersion", L"\\StringFileInfo\\080404b0\\ProductVersion"}) {
    void* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), name, &text, &length)) << name;
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(text)), std::wstring(kProductVersion)) << name;
  }
}

TEST_F(E2E, LinksStartTheSystemsExplorerNeverAPlantedOne) {
  const std::wstring record = Env(L"VEXA_E2E_BROWSER_RECORD");
  const std::wstring planted = Env(L"VEXA_E2E_PLANTED_MARKER");
  ASSERT_FALSE(record.empty());
  ::DeleteFileW(record.c_str());
  ::DeleteFileW(planted.c_str());
  auto tool = Start();
  tool->Click(Label18);
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(record).find("forum") != std::string::npos; }, 15000));
  tool->Click(Label21);
  tool->Click(Label20);
  WaitFor([&] { return ReadFileBytes(record).size() >= 3 * 29; }, 15000);
  EXPECT_EQ(ReadFileBytes(record),
            "http://forum.vexaipset.example/\nhttp://www.vexaipset.example/\nhttp://www.vexaipset.example/\n");
  EXPECT_TRUE(ReadFileBytes(planted).empty()) << "the explorer.exe planted beside the tool ran";
  EXPECT_TRUE(tool->NoBox());
}

TEST_F(E2E, ControlsSitAtTheirTwipsScaledByTheDpi) {
  auto tool = Start();
  const int dpi = tool->Dpi();
  for (const auto& d : ControlTable()) {
    if (d.kind == ControlKind::Line || d.kind == ControlKind::Shape) continue;
    EXPECT_NE(tool->Find(d.id), nullptr) << std::string(d.name.begin(), d.name.end()) << " at dpi " << dpi;
  }
  EXPECT_EQ(tool->ClientSize().cx, MulDiv(4035, dpi, 1440));
  EXPECT_EQ(tool->ClientSize().cy, MulDiv(5115, dpi, 1440));
  const RECT ok = tool->ClientRectOf(Command1);
  EXPECT_EQ(ok.right - ok.left, MulDiv(975, dpi, 1440));
  std::printf("dpi %d: client %ldx%ld\n", dpi, tool->ClientSize().cx, tool->ClientSize().cy);
}

// A sample of the hostile config.ini corpus through the real executable: the same outcome as on the
// simulated Windows (written or refused), nothing written when refused.
TEST_F(E2E, HostileConfigSample) {
  const std::wstring dir = Env(L"VEXA_E2E_HOSTILE_DIR");
  ASSERT_FALSE(dir.empty());
  const struct {
    const wchar_t* file;
    const char* hostName;  // nullptr: refused
  } cases[] = {
      {L"junk-03", "15"},
      {L"nul-in-value", nullptr},
      {L"megabyte-prefix", nullptr},
      {L"utf8-bom",
       "\xCD\xF8\xB0\xC9"
       "15"},
      {L"utf16le-bom", "\xCD\xF8\xB0\xC9-15"},
      {L"utf16be-bom", "\xCD\xF8\xB0\xC9-15"},
      {L"cr-only", "WB-15"},
      {L"dbcs-cut-at-253", nullptr},
      {L"offset-00", nullptr},
      {L"offset-23", "15"},
      {L"ip-05", nullptr},
      {L"prefix-forbidden-00", nullptr},
      {L"prefix-control-09", nullptr},
      {L"prefix-bytes-13", "PPPPPPPPPPPPP15"},
      {L"prefix-bytes-14", nullptr},
      {L"quoted-values", nullptr},  // Mask="255.0.0.0 keeps its lone quote: no mask
      {L"duplicate-sections", "15"},
      {L"fullwidth-space-prefix", nullptr},  // a blank, full-width or not, is no part of a host name
      {L"lone-lead-byte", nullptr},
  };
  auto tool = Start();
  Choose(*tool, kRealtek);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "file " << std::string(c.file, c.file + std::wcslen(c.file)));
    SetValue(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname", REG_SZ, Sz("MASTER"));
    const std::string bytes = ReadFileBytes(dir + L"\\" + c.file + L".ini");
    ASSERT_FALSE(bytes.empty());
    WriteConfigBytes(toolPath_, bytes);
    ::SendMessageW(tool->Find(txtNum), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"15"));
    tool->Click(Command1);
    Box box;
    ASSERT_TRUE(tool->WaitBox(box));
    if (box.title == L"Quorlis - 请确认") {  // a gateway outside the file's subnet: Yes writes
      tool->Answer(box, IDYES);
      ASSERT_TRUE(tool->WaitBox(box));
    }
    if (c.hostName == nullptr) {
      EXPECT_EQ(box.title, L"Quorlis - 配置文件错误！");
      tool->Answer(box, IDOK);
      EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname"), Sz("MASTER"));
    } else {
      EXPECT_EQ(box.title, L"网络设置信息") << std::string(Ansi(box.text));
      tool->Answer(box, IDOK);
      ASSERT_TRUE(tool->WaitBox(box));
      tool->Answer(box, IDNO);
      EXPECT_EQ(Bytes(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname"), Sz(c.hostName));
    }
  }
}

// Run on its own: Wine ends every process of the prefix once the reboot is asked for, this test's too.
TEST(Restart, YesAsksForTheRebootAndTheToolEnds) {
  const std::wstring toolPath = Env(L"VEXA_E2E_TOOL");
  CloneImage();
  WriteConfig(toolPath, kFullConfig);
  Tool tool(toolPath);
  ASSERT_TRUE(tool.Started()) << tool.WhyNotStarted();
  const auto items = tool.ComboItems();
  for (std::size_t i = 0; i < items.size() && tool.ComboShown() != kRealtek; ++i) tool.Key(cboInterface, VK_DOWN);
  tool.Type(txtNum, L"15");
  tool.Click(Command1);
  Box box;
  ASSERT_TRUE(tool.WaitBox(box));
  tool.Answer(box, IDOK);
  ASSERT_TRUE(tool.WaitBox(box));
  ASSERT_EQ(box.title, L"全部设置完毕 需要重启计算机！");
  std::printf("RESTART-ANSWERED-YES\n");
  std::fflush(stdout);
  tool.Answer(box, IDYES);
  EXPECT_NE(tool.WaitExit(10000), -1) << "the tool kept running after Yes";
  std::printf("RESTART-TOOL-ENDED\n");
  std::fflush(stdout);
}

}  // namespace
}  // namespace vexa::e2e

int main(int argc, char** argv) {
  ::SetProcessDPIAware();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
