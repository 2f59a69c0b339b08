// /undo and what it puts back, the earlier values kept before the first write, and /check's preview of
// every value.
#include <gtest/gtest.h>

#include <map>

#include "apply/saved_state.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "row.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;

constexpr const char* kCard1 = "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\{11111111-AAAA}";
constexpr const char* kSaved = "SOFTWARE\\VexaIpSet";

// Every value the write table touches on card 1, as stored: none for a value (or key) that is not there.
using Snapshot = std::map<std::string, std::optional<sim::RegValue>>;
Snapshot Values(const sim::SimPlatform& sim) {
  const std::pair<RegHandle, std::pair<const char*, const char*>> places[] = {
      {kHkeyLocalMachine, {test::kIpxKey, "VirtualNetworkNumber"}},
      {kHkeyLocalMachine, {kCard1, "EnableDHCP"}},
      {kHkeyLocalMachine, {kCard1, "IPAddress"}},
      {kHkeyLocalMachine, {kCard1, "SubnetMask"}},
      {kHkeyLocalMachine, {kCard1, "DefaultGateway"}},
      {kHkeyLocalMachine, {kCard1, "NameServer"}},
      {kHkeyLocalMachine, {test::kTcpipKey, "NV Hostname"}},
      {kHkeyLocalMachine, {test::kComputerNameKey, "ComputerName"}},
      {kHkeyCurrentUser, {test::kGameKey, "Key"}},
  };
  Snapshot values;
  for (const auto& [root, place] : places) {
    values[std::string(place.first) + "\\" + place.second] = sim.registry.GetValue(root, place.first, place.second);
  }
  return values;
}

bool Same(const Snapshot& a, const Snapshot& b) {
  for (const auto& [name, value] : a) {
    const auto& other = b.at(name);
    if (value.has_value() != other.has_value()) return false;
    if (value && (value->type != other->type || value->data != other->data)) return false;
  }
  return true;
}

// A saved state's bytes as the tool packs them: a number of four bytes, a text with its length.
std::string Number(std::uint32_t n) {
  return std::string{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8 & 0xFF), static_cast<char>(n >> 16 & 0xFF),
                     static_cast<char>(n >> 24)};
}
std::string Text(const std::string& s) { return Number(static_cast<std::uint32_t>(s.size())) + s; }
// One value of a state of the current format: card, key path, value name, its string.
std::string Value(const std::string& card, const std::string& path, const std::string& name, const std::string& sz) {
  return std::string(1, '\0') + Number(kRegSz) + Text(card) + Text(path) + Text(name) + Text("label") + Text(sz + '\0');
}

class UndoTest : public DeploymentTest {
 protected:
  UndoTest() { Config(L""); }
};

// Every kind of value a machine may hold is put back as it was: a DWORD, strings, a multi-string, an
// empty string (not the same as none), a value that was not there (deleted again), and a component whose
// key is missing (never created).
TEST_F(UndoTest, EveryKindOfValueIsPutBackByteForByte) {
  sim.registry.SetValue(kHkeyLocalMachine, kCard1, "NameServer", kRegSz, "");
  sim.registry.DeleteValue(kHkeyLocalMachine, kCard1, "DefaultGateway");
  sim.registry.DeleteKey(kHkeyCurrentUser, "Software\\Valve");
  sim.registry.SetValue(kHkeyLocalMachine, test::kIpxKey, "VirtualNetworkNumber", kRegDword, "\x07\0\0\0");
  const Snapshot before = Values(sim);
  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  ASSERT_FALSE(Same(before, Values(sim)));

  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << sim.console.output;
  EXPECT_TRUE(Same(before, Values(sim)));
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyCurrentUser, "Software\\Valve"));
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyLocalMachine, kSaved));  // removed once everything is back
  EXPECT_NE(Output().find(L"已恢复本程序第一次修改本机之前的设置"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Output().find(L"计算机名  :  MASTER"), std::wstring::npos);
  EXPECT_NE(Output().find(L"\r\n已恢复: IPX 网络号, DHCP 开关, IP 地址"), std::wstring::npos);
  EXPECT_EQ(Output().find(L"重启"), std::wstring::npos);  // neither asked (/noreboot) nor refused
  EXPECT_TRUE(sim.restart.calls.empty());
}

// Saved once: three writes later the undo still gives the image's values, and a later write on the other
// card adds that card's values without touching the first card's.
TEST_F(UndoTest, TheStateBeforeTheFirstWriteIsKeptAcrossLaterWrites) {
  const Snapshot before = Values(sim);
  for (const wchar_t* run : {L"/n 15 /card 1 /noreboot", L"/n 16 /card 1 /noreboot", L"/n 17 /card 2 /noreboot"}) {
    ASSERT_EQ(Run(run), exit_code::kDone) << sim.console.output;
  }
  const SavedState saved = ReadSavedState(platform);
  ASSERT_EQ(saved.found, SavedState::Found::Complete);
  EXPECT_EQ(saved.Cards(), (std::vector<std::wstring>{L"{11111111-AAAA}", L"{22222222-BBBB}"}));
  EXPECT_EQ(sim.registry.GetValue(kHkeyLocalMachine, kSaved, "Time")->data, test::Sz("2026-12-08 09:30:05"));
  EXPECT_EQ(sim.registry.GetValue(kHkeyLocalMachine, kSaved, "Version")->data,
            test::Sz(sim.text.ToAnsi(std::wstring(kProductVersion))));
  EXPECT_EQ(saved.values.size(), test::CountWrites(sim.text).all + test::CountWrites(sim.text).card);

  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_TRUE(Same(before, Values(sim)));
  EXPECT_FALSE(
      sim.registry.GetValue(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{22222222-BBBB}", "IPAddress"));
}

// A value that cannot be put back is named, the run says 3, and the saved state stays for the next /undo.
// Nothing saved: 2, nothing written, and a line that says why.
TEST_F(UndoTest, APartialUndoKeepsTheStateAndNothingSavedIsRefused) {
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"拒绝: 没有可撤销的设置"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Log().find("\t/undo\t拒绝: 没有可撤销的设置"), std::string::npos);

  const Snapshot before = Values(sim);
  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  sim.registry.RefuseSet(kHkeyLocalMachine, test::kIpxKey);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kNotAllWritten);
  EXPECT_NE(Output().find(L"未恢复: IPX 网络号"), std::wstring::npos) << sim.console.output;
  EXPECT_TRUE(sim.registry.KeyExists(kHkeyLocalMachine, kSaved));
  EXPECT_NE(Log().find("未写入=IPX 网络号\t退出码=3"), std::string::npos);

  sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  sim.registry.CreateKey(kHkeyLocalMachine, test::kIpxKey);
  sim.registry.SetValue(kHkeyLocalMachine, test::kIpxKey, "VirtualNetworkNumber", kRegDword, "\x0f\0\0\0");
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_TRUE(Same(before, Values(sim)));
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kRefused);
  EXPECT_TRUE(sim.registry.Writes().empty());
}

// A machine whose earlier values cannot be kept is not changed: the tool's key refused, a saved state
// that is not what the tool writes (also for /undo).
TEST_F(UndoTest, WhatCannotBeKeptIsNotChanged) {
  const struct {
    int line;
    bool refuseKey;
    std::optional<std::string> values;  // the saved state's bytes; none: none
    const wchar_t* says;
  } rows[] = {
      ROW(true, std::nullopt,
          L"无法在本机注册表 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 保存原来的设置,没有写入任何设置。"),
      ROW(false, "\x01\x09",
          L"本机保存的原来设置 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 不能用(无法读取 "
          L"HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet\\Values),什么也没有写入或删除。不需要恢复它时,"
          L"用这个命令删除后再运行: "
          L"reg delete \"HKLM\\SOFTWARE\\VexaIpSet\" /f /reg:64"),
      ROW(false, "\x03", L"不能用(无法读取"),                              // a format the tool never wrote
      ROW(false, std::string("\x01\x00\x04\x00", 4), L"不能用(无法读取"),  // cut inside a number
      ROW(false,
          std::string("\x01\x00\x04\x00\x00\x00\x64\x00\x00\x00"
                      "ab",
                      12),
          L"不能用(无法读取"),  // cut short
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    sim::SimPlatform fresh;
    test::CloneImage(fresh);
    fresh.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n");
    if (row.refuseKey) fresh.registry.RefuseCreate(kHkeyLocalMachine, "SOFTWARE");
    if (row.values) fresh.registry.SetValue(kHkeyLocalMachine, kSaved, "Values", kRegBinary, *row.values);
    Platform p = fresh.platform();
    EXPECT_EQ(RunUnattended(p, ParseCommandLine(L"/n 15 /card 1 /noreboot")), exit_code::kRefused);
    EXPECT_TRUE(test::MachineWrites(fresh).empty());
    EXPECT_NE(fresh.text.FromAnsi(fresh.console.output).find(row.says), std::wstring::npos) << fresh.console.output;
    if (!row.values) continue;
    fresh.console.output.clear();
    EXPECT_EQ(RunUnattended(p, ParseCommandLine(L"/undo /noreboot")), exit_code::kRefused);
    EXPECT_NE(fresh.text.FromAnsi(fresh.console.output).find(L"什么也没有写入或删除"), std::wstring::npos);
  }
}

// The saved values as the tool keeps them, byte for byte: a state an image's earlier run left (or an earlier
// version) is read as written.
TEST_F(UndoTest, AStateKeptBeforeIsReadAsItsBytesSay) {
  const auto number = Number;
  const auto text = Text;
  const std::string ipx = std::string("HKEY_LOCAL_MACHINE\\") + test::kIpxKey;
  const std::string game = std::string("HKEY_CURRENT_USER\\") + test::kGameKey;
  const std::string values = std::string(1, '\x01') + '\x00' + number(kRegDword) + text(ipx) +
                             text("VirtualNetworkNumber") + text("IPX") + text(std::string("\x2A\x01\0\0", 4)) +
                             '\x01' + number(0) + text(game) + text("Key") + text("X") + text("");
  sim.registry.SetValue(kHkeyLocalMachine, kSaved, "Values", kRegBinary, values);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << sim.console.output;
  const auto restored = sim.registry.GetValue(kHkeyLocalMachine, test::kIpxKey, "VirtualNetworkNumber");
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->data, std::string("\x2A\x01\0\0", 4));                     // 298
  EXPECT_FALSE(sim.registry.GetValue(kHkeyCurrentUser, test::kGameKey, "Key"));  // it was not there
}

// Only the tool's own values are ever put back: a state naming any other key or value, a card's value
// saved under another card, or a control set Windows does not boot with is trusted for nothing, whatever
// else it holds.
TEST(SavedStateTest, AStateOfAnythingButTheToolsOwnValuesIsUntrusted) {
  const std::string card = "{11111111-AAAA}";
  const std::string hklm = "HKEY_LOCAL_MACHINE\\";
  const std::string own = Value(card, hklm + kCard1, "IPAddress", "192.168.0.200");
  const struct {
    int line;
    std::string values;
    const wchar_t* why;  // nullptr: trusted
  } rows[] = {
      ROW(own + Value(card, hklm + test::kTcpipKey, "NV Hostname", "MASTER"), nullptr),
      ROW(own + Value(card, hklm + "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "VexaPwn", "C:\\pwn.exe"),
          L"其中有本程序从不写入的值 HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\VexaPwn"),
      ROW(own + Value(card, hklm + test::kIpxKey, "Extra", "x"), L"NwlnkIpx\\Parameters\\Extra"),
      ROW(Value("{22222222-BBBB}", hklm + kCard1, "IPAddress", "x"), L"{11111111-AAAA}\\IPAddress"),
      ROW(Value(card, hklm + "SYSTEM\\ControlSet002\\Services\\Tcpip\\Parameters", "NV Hostname", "x"),
          L"ControlSet002"),
      ROW(Value(card, "HKEY_CURRENT_USER\\" + std::string(test::kGameKey), "Key", "x"), nullptr),
      // A player's game key, in any profile's hive; nothing else of a hive.
      ROW(Value(card, "HKEY_USERS\\S-1-5-21-7-1001\\" + std::string(test::kGameKey), "Key", "x"), nullptr),
      ROW(Value(card, "HKEY_USERS\\VexaIpSet.Default\\" + std::string(test::kGameKey), "Key", "x"), nullptr),
      ROW(Value(card, "HKEY_USERS\\S-1-5-21-7-1001\\" + std::string(test::kGameKey), "Other", "x"), L"\\Other"),
      ROW(Value(card, "HKEY_USERS\\S-1-5-21-7-1001\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Key", "x"),
          L"CurrentVersion\\Run\\Key"),
      ROW(Value(card, "HKEY_USERS\\" + std::string(test::kGameKey), "Key", "x"), L"HKEY_USERS\\Software"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    sim::SimPlatform sim;
    test::CloneImage(sim);
    Platform platform = sim.platform();
    sim.registry.SetValue(kHkeyLocalMachine, kSaved, "Values", kRegBinary, std::string(1, '\x02') + row.values);
    const SavedState state = ReadSavedState(platform);
    EXPECT_EQ(state.found, row.why == nullptr ? SavedState::Found::Complete : SavedState::Found::Untrusted);
    if (row.why != nullptr) {
      EXPECT_NE(state.why.find(row.why), std::wstring::npos) << ToUtf8(state.why);
      EXPECT_NE(UnusableStateText(state).find(L"reg delete \"HKLM\\SOFTWARE\\VexaIpSet\" /f"), std::wstring::npos);
    }
  }
}

// The forged state a run meets: /undo writes and deletes nothing and says the key and the command; /n
// changes nothing either.
TEST_F(UndoTest, ARunKeyInTheStateIsNeverWritten) {
  sim.registry.SetValue(
      kHkeyLocalMachine, kSaved, "Values", kRegBinary,
      std::string(1, '\x02') +
          Value("{11111111-AAAA}", "HKEY_LOCAL_MACHINE\\" + std::string(test::kTcpipKey), "NV Hostname", "MASTER") +
          Value("{11111111-AAAA}", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "VexaPwn",
                "C:\\pwn.exe"));
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kRefused);
  EXPECT_TRUE(sim.registry.Writes().empty());
  EXPECT_FALSE(
      sim.registry.GetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "VexaPwn"));
  EXPECT_NE(Output().find(L"本机保存的原来设置 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 不能用"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/undo\t拒绝: 本机保存的原来设置 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 不能用")),
            std::string::npos);
  EXPECT_NE(Log().find("reg delete \"HKLM\\SOFTWARE\\VexaIpSet\" /f"), std::string::npos);
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kRefused);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_NE(Log().find(ToUtf8(L"\t/n\t拒绝: 本机保存的原来设置 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 不能用")),
            std::string::npos);
}

// Every card comes back, each in a line of its own that ends that card's claim; the console says per card
// what came back. A card that left the machine holds nothing open: named, and the state goes.
TEST_F(UndoTest, EveryCardComesBackAndAGoneCardIsNamed) {
  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  ASSERT_EQ(Run(L"/n 16 /card 2 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << sim.console.output;
  EXPECT_NE(
      Output().find(L"\r\n网卡      :  Realtek RTL8139 Family PCI Fast Ethernet NIC(00-1A-2B-3C-4D-5E)\r\nI P 地 址 :  "
                    L"192.168.0.200\r\n已恢复: IPX 网络号, DHCP 开关"),
      std::wstring::npos)
      << sim.console.output;
  EXPECT_NE(Output().find(L"\r\n网卡      :  Intel(R) PRO/100 VE Network Connection(00-1A-2B-3C-4D-5F)\r\nI P 地 址 :  "
                          L"(自动获得)\r\n已恢复: DHCP 开关, IP 地址"),
            std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t机号=15\t计算机名=MASTER\tIP=192.168.0.200\t网卡=Realtek")), std::string::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t机号=16\t计算机名=MASTER\tIP=\t网卡=Intel")), std::string::npos);
  sim.adapters.Add("{44444444-DDDD}", std::string("\x00\x1A\x2B\x3C\x4D\x61", 6));
  test::AddCard(sim.registry, "4", test::Sz("Third NIC"), test::Sz("{44444444-DDDD}"));
  EXPECT_EQ(Run(L"/n 15 /card 3 /noreboot"), exit_code::kDone) << sim.console.output;  // no /force
  EXPECT_EQ(Run(L"/n 16 /card 1 /noreboot"), exit_code::kDone) << sim.console.output;
  // The clone of another machine: its state names a card this one lacks.
  sim.registry.DeleteKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\4");
  sim.registry.DeleteKey(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{44444444-DDDD}");
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << sim.console.output;
  EXPECT_NE(Output().find(L"网卡      :  {44444444-DDDD}\r\n网卡已不在本机"), std::wstring::npos) << sim.console.output;
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyLocalMachine, kSaved));
}

// A card still listed whose interface key is gone (its driver installed anew): nothing to put back there,
// named; the rest comes back, exit 0, and the state goes rather than asking for /undo forever.
TEST_F(UndoTest, AValueWhoseKeyIsGoneIsNothingToPutBack) {
  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  sim.registry.DeleteKey(kHkeyLocalMachine, kCard1);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"\r\n键已不存在,无需恢复: DHCP 开关、IP 地址、子网掩码、默认网关、DNS 信息"),
            std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_EQ(sim.registry.GetValue(kHkeyLocalMachine, test::kComputerNameKey, "ComputerName")->data, test::Sz("MASTER"));
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyLocalMachine, kSaved));
  EXPECT_NE(Log().find(ToUtf8(L"; 键已不存在,无需恢复: DHCP 开关")), std::string::npos) << Log();
}

// While [Machines] lists the card, the start-up task's /auto writes the settings again: the undo says so,
// and how to stop it; a card the table does not list gets no such word.
TEST_F(UndoTest, TheUndoSaysWhatTheNextStartWillDo) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  ASSERT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_NE(
      Output().find(
          L"\r\n注意: config.ini 的 [Machines] 中还有这块网卡(00-1A-2B-3C-4D-5E=15):开机服务的 /auto "
          L"会在下次开机时再次写入这些设置。不想这样时,请删除 [Machines] 中这一行,或运行 /uninstall 删除开机服务。"),
      std::wstring::npos)
      << sim.console.output;
  ASSERT_EQ(Run(L"/n 16 /card 2 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_EQ(Output().find(L"开机服务"), std::wstring::npos);
}

// The undo restarts when the host name it puts back is not the one Windows runs under, as a write does.
TEST_F(UndoTest, AnUndoThatChangesTheNameRestarts) {
  ASSERT_EQ(Run(L"/n 15 /card 1"), exit_code::kDone);
  test::Restart(sim);
  sim.restart.calls.clear();
  EXPECT_EQ(Run(L"/undo"), exit_code::kDone);
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  EXPECT_NE(Output().find(L"\r\n计算机名改变了,正在重新启动计算机。"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Log().find("\t/undo\t已撤销: 恢复了 IPX 网络号、DHCP 开关"), std::string::npos) << Log();
  EXPECT_NE(Log().find(", 已请求重启\t机号=15\t计算机名=MASTER\tIP=192.168.0.200"), std::string::npos) << Log();
}

// The undo's line names the card as every line does: its description, its address and the number it held.
TEST_F(UndoTest, TheUndoLineNamesTheCard) {
  ASSERT_EQ(Run(L"/n 16 /card 2 /noreboot"), exit_code::kDone);
  ASSERT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_NE(Log().find(ToUtf8(L"\t机号=16\t计算机名=MASTER\tIP=\t网卡=Intel(R) PRO/100 VE Network Connection\t"
                              L"地址=00-1A-2B-3C-4D-5F\t未写入=\t退出码=0")),
            std::string::npos)
      << Log();
}

// After its /undo a card holds its number no more: another card takes it without /force, and the page
// shows the seat as undone.
TEST_F(UndoTest, AnUndoEndsTheCardsClaim) {
  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/n 15 /card 2 /noreboot"), exit_code::kRefused);
  ASSERT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"已撤销 1"), std::wstring::npos) << sim.console.output;
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"; 00-1A-2B-3C-4D-5E 已撤销(2026-12-08 09:30:05 的 /undo 恢复了原来的设置),不再占用机号 15"),
            std::wstring::npos)
      << sim.console.output;
  EXPECT_EQ(Run(L"/n 15 /card 2 /noreboot"), exit_code::kDone) << sim.console.output;
}

// A value as the preview shows it.
TEST(ValueTextTest, EachTypeAsAPersonReadsIt) {
  sim::SimPlatform sim;
  const struct {
    int line;
    std::uint32_t type;
    std::string bytes;
    const wchar_t* text;
  } rows[] = {
      ROW(kRegDword, std::string("\x78\x56\x34\x12", 4), L"305419896"),
      ROW(kRegDword, std::string("\x01\x02\x03", 3), L"01 02 03"),  // no DWORD's four bytes
      ROW(kRegSz, std::string("WB-15\0junk", 10), L"WB-15"),
      ROW(kRegMultiSz,
          std::string("10.0.0.1\0"
                      "10.0.0.2\0\0",
                      19),
          L"10.0.0.1, 10.0.0.2"),
      ROW(kRegMultiSz, std::string("\0", 1), L""),
      ROW(kRegMultiSz, std::string("a\0\0b\0\0", 6), L"a, (空), b"),  // every string, an empty one said
      ROW(kRegMultiSz, std::string("a\0b", 3), L"a, b"),              // no closing NUL
      ROW(kRegBinary, std::string("\x2A\x01", 2), L"2A 01"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    EXPECT_EQ(ValueText(sim.text, Reg::RegData{row.type, row.bytes}), row.text);
  }
}

// /check lists every value the plan writes, now against planned: all differ on the clone, none after the
// write; a value that is not there and a component that is not installed say so.
TEST_F(UndoTest, TheCheckPreviewsEveryValue) {
  sim.registry.DeleteValue(kHkeyLocalMachine, kCard1, "DefaultGateway");
  sim.registry.DeleteKey(kHkeyCurrentUser, "Software\\Valve");
  sim.adapters.list[0].ipv4 = {UnicastAddress{"192.168.0.200", UnicastAddress::Dad::Preferred}};
  EXPECT_EQ(Run(L"/check /n 15 /card 1"), exit_code::kRegistryDiffers);
  const std::wstring before = Output();
  for (const wchar_t* line :
       {L"  IPX 网络号: 现在 0,计划 15 → 将改\r\n", L"  IP 地址: 现在 192.168.0.200,计划 192.168.0.15 → 将改\r\n",
        L"  默认网关: 现在 (没有这个值),计划 192.168.0.1 → 将改\r\n",
        L"  计算机名 (ComputerName): 现在 MASTER,计划 WB-15 → 将改\r\n", L"  CS 序列号: 现在 (没有这个键,未安装),计划 ",
        L"网卡现在的地址: 192.168.0.200\r\n"}) {
    EXPECT_NE(before.find(line), std::wstring::npos) << line << "\n" << sim.console.output;
  }
  // The same text in another type is a change, and the preview names both types.
  sim.registry.SetValue(kHkeyLocalMachine, kCard1, "NameServer", kRegExpandSz, test::Sz("192.168.0.1"));
  EXPECT_EQ(Run(L"/check /n 15 /card 1"), exit_code::kRegistryDiffers);
  EXPECT_NE(Output().find(L"  DNS 信息: 现在 192.168.0.1(REG_EXPAND_SZ),计划 192.168.0.1(REG_SZ) → 将改\r\n"),
            std::wstring::npos)
      << sim.console.output;
  sim.registry.SetValue(kHkeyLocalMachine, kCard1, "NameServer", kRegSz, test::Sz("192.168.0.1"));
  // The image's mask and DNS server are the plan's already; the game is not installed; every other value
  // changes.
  EXPECT_NE(before.find(L"  子网掩码: 现在 255.255.255.0,计划 255.255.255.0 → 相同\r\n"), std::wstring::npos);
  std::size_t changes = 0;
  for (std::size_t at = before.find(L"→ 将改"); at != std::wstring::npos; at = before.find(L"→ 将改", at + 1))
    ++changes;
  EXPECT_EQ(changes, test::CountWrites(sim.text).all - 3);  // the DNS server too
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyLocalMachine, kSaved));

  ASSERT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/check /n 15 /card 1"), exit_code::kNotInEffect);
  EXPECT_EQ(Output().find(L"→ 将改"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Output().find(L"  DHCP 开关: 现在 0,计划 0 → 相同\r\n"), std::wstring::npos);
  EXPECT_TRUE(sim.registry.Writes().empty());
}

}  // namespace
}  // namespace vexa
