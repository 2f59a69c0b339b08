// The shipped executable under Wine, driven like an operator: start-up, the card view, the key and paste
// filters, the OK action with its registry writes, a venue's numbers, leading zeros.
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
#include "e2e/window_fixture.h"
#include "unit/row.h"

namespace vexa::e2e {
namespace {

using namespace vexa::frm;

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

// Each size of the icon draws: the tile's blue over most of it. 48 px is kept PNG-compressed, which
// Windows decodes since Vista; an entry it cannot decode gives no icon at all.
TEST_F(E2E, TheIconDrawsAtEachOfItsSizes) {
  const HMODULE exe =
      ::LoadLibraryExW(toolPath_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(exe, nullptr);
  for (const int size : {16, 32, 48}) {
    const auto icon = static_cast<HICON>(::LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ before = ::SelectObject(dc, bitmap);
    ::PatBlt(dc, 0, 0, size, size, WHITENESS);
    ASSERT_TRUE(::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) << size;
    ::GdiFlush();
    int blue = 0;
    for (int i = 0; i < size * size; ++i) {
      const DWORD pixel = static_cast<const DWORD*>(bits)[i];  // 0x00RRGGBB
      if ((pixel & 0xFF) > 0x70 && ((pixel >> 16) & 0xFF) < 0x60) ++blue;
    }
    EXPECT_GT(blue, size * size / 2) << size;
    ::SelectObject(dc, before);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::DestroyIcon(icon);
  }
  ::FreeLibrary(exe);
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

// The command line as an operator first meets it: /cards numbers the cards as the window lists them, writing
// nothing; a switch glued to its number is answered in one line with the spelling that works; full-width
// digits are the number.
TEST_F(E2E, TheCommandLineAnOperatorFirstMeets) {
  std::vector<std::wstring> items;
  {
    auto tool = Start();
    items = tool->ComboItems();
  }
  ASSERT_EQ(items.size(), 3u);
  const auto run = [&](const std::wstring& arguments, std::string& out) {
    return RunWithOutput(toolPath_, arguments, out);
  };
  const Snapshot before = TakeSnapshot();
  std::string out;
  EXPECT_EQ(run(L"/cards", out), 0);
  std::size_t at = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::size_t line = out.find(Ansi(L"\r\n  " + std::to_wstring(i + 1) + L"  " + items[i] + L"  "), at);
    ASSERT_NE(line, std::string::npos) << out;
    at = line + 1;
  }
  EXPECT_NE(out.find(Ansi(L"  2  " + kRealtek + L"  (网卡地址未知)  DHCP")), std::string::npos) << out;
  EXPECT_EQ(run(L"/n15 /card 2", out), 1);
  EXPECT_EQ(out, Ansi(L"命令行参数错误: 无法识别的参数: /n15,开关和数字之间要有空格: /n 15\r\n"
                      L"用 VexaIpSet.exe /? 查看用法\r\n"));
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_EQ(run(L"/n \xFF11\xFF15 \xFF0F"
                L"card 2 /noreboot",
                out),
            0)
      << out;
  EXPECT_NE(out.find(Ansi(L"计算机名  :  WB-15\r\n")), std::string::npos) << out;
}

}  // namespace
}  // namespace vexa::e2e

int main(int argc, char** argv) {
  ::SetProcessDPIAware();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
