// The shipped executable's boxes under Wine: config.ini in every encoding, the rejections and the question,
// components not installed, hint, help and about, the version resource, the links, the controls' places,
// hostile samples and the restart.
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

constexpr const wchar_t* kBadConfig = L"Quorlis - 配置文件错误！";
const Rejection kRejections[] = {
    ROW(nullptr, L"", L"Quorlis - 出现错误！", L"请输入本机号,在按回车键呀！！", L""),
    ROW(nullptr, L"0", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
    ROW(nullptr, L"255", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
    ROW(nullptr, L"999", L"Quorlis - 机器号输入错误！", L"请输入1-254的数字,或者修改配置文件！", L""),
    ROW(L"[NetWork]\r\nIP=\r\n", L"15", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=\r\nIPOffset=0\r\n本机机号=15\r\n文件: "
        L"C:\\e2e\\config.ini",
        L"15"),
    ROW(L"[NetWork]\r\nIPOffset=abc\r\n", L"15", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=abc\r\n本机机号=15\r\n文件: "
        L"C:\\e2e\\config.ini",
        L"15"),
    ROW(L"[NetWork]\r\nIPOffset=\r\n", L"15", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=\r\n本机机号=15\r\n文件: "
        L"C:\\e2e\\config.ini",
        L"15"),
    ROW(L"[NetWork]\r\nIPOffset=2.5\r\n", L"15", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=2.5\r\n本机机号=15\r\n文件: "
        L"C:\\e2e\\config.ini",
        L"15"),
    ROW(L"[NetWork]\r\nIP=10.0.0\r\nIPOffset=5\r\n", L"251", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=10.0.0\r\nIPOffset=5\r\n本机机号=251\r\n文件: "
        L"C:\\e2e\\config.ini",
        L"251"),
    ROW(L"[NetWork]\r\nIPOffset=240\r\n", L"15", kBadConfig,
        L"配置文件算出的 IP 地址无效,请修改配置文件！\r\nIP=192.168.0\r\nIPOffset=240\r\n本机机号=15\r\n"
        L"192.168.0.255 是子网 192.168.0.0/24 的广播地址,不能用作计算机的地址。\r\n文件: C:\\e2e\\config.ini",
        L"15"),
    // A header Windows' readers could read as two names: refused, naming the line and the zone.
    ROW(L"[NetWork]\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n[二楼] ; 201-400 [new]\r\nIP=10.2.0\r\n",
        L"15", kBadConfig,
        L"配置文件中的节头写法有误,请修改配置文件！\r\n第 6 行(区 二楼 的节头): [二楼] ; 201-400 [new]\r\n"
        L"] 后面还有字:有的 Windows 把节名读到第一个 ],有的读到最后一个 ]。注释请另起一行,以 ; 开头。\r\n"
        L"文件: C:\\e2e\\config.ini",
        L"15"),
    ROW(L"[NetWork]\r\nGateWay=0.0.0.0\r\n", L"15", kBadConfig,
        L"配置文件中的 GateWay 不是一个有效的 IP 地址(或空),请修改配置文件！\r\nGateWay=0.0.0.0\r\n"
        L"0.0.0.0 在 0.0.0.0/8 中(表示\"本网络\"),不能用作网关。\r\n文件: C:\\e2e\\config.ini",
        L"15"),
};

TEST_F(E2E, RejectionsShowTheirBoxAndWriteNothing) {
  auto tool = Start();
  Choose(*tool, kRealtek);
  const Snapshot before = TakeSnapshot();
  for (const Rejection& c : kRejections) {
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
