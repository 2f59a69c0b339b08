// /check and /undo on real network interfaces (run by tests/e2e/netns): what a run would change, and the
// way back to the image's values on every card.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "e2e/deployment_fixture.h"

namespace vexa::e2e {
namespace {

// /check: 6 before a run, 5 after it while Wine still runs under the old name. (The netns script then
// gives the namespace the new name and the interface the address, restarts Wine and expects 0.)
// The preview lists each of the nine values: every one changes on the clone, none after the run.
TEST_F(Deployment, CheckBeforeAndAfterARun) {
  Machines(L"00:1A:2B:3C:4D:5F=16\r\n");  // vxa
  const Snapshot before = TakeSnapshot();
  std::string output;
  EXPECT_EQ(RunWithOutput(L"/check", output), 6);
  EXPECT_EQ(Count(output, L"→ 将改\r\n"), 9u) << output;
  EXPECT_EQ(Count(output, L"→ 相同"), 0u);
  EXPECT_NE(output.find(Ansi(L"  IP 地址: 现在 (没有这个值),计划 10.9.8.16 → 将改")), std::string::npos) << output;
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_EQ(RunTool(tool_, L"/auto /noreboot"), 0);
  EXPECT_EQ(RunWithOutput(L"/check", output), 5);
  EXPECT_EQ(Count(output, L"→ 相同\r\n"), 9u) << output;
  EXPECT_EQ(Count(output, L"→ 将改"), 0u);
}

// Two runs, then /undo: the keys an operator exports are byte for byte what they were; a second /undo has
// nothing to put back and changes nothing; the card's number is free again for another card.
TEST_F(Deployment, UndoPutsTheMachineBackAsItWas) {
  Machines(L"");
  const std::wstring log = tool_.substr(0, tool_.find_last_of(L'\\')) + L"\\VexaIpSet.log";
  ::DeleteFileW(log.c_str());  // the other build's runs would hold the numbers
  ::DeleteFileW((log + L".old").c_str());
  const std::string exported = Exported();
  const Snapshot before = TakeSnapshot();
  const std::wstring vxa = L" /card " + std::to_wstring(Position("vxa")) + L" /noreboot";
  const std::wstring vx0 = L" /card " + std::to_wstring(Position("vx0")) + L" /noreboot";
  ASSERT_EQ(RunTool(tool_, L"/n 15" + vxa), 0);
  ASSERT_EQ(RunTool(tool_, L"/n 16" + vxa), 0);
  ASSERT_EQ(RunTool(tool_, L"/n 16" + vx0), 2);  // vxa holds it
  ASSERT_FALSE(TakeSnapshot() == before);
  EXPECT_EQ(RunTool(tool_, L"/undo /noreboot"), 0);
  EXPECT_EQ(Exported(), exported);
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_FALSE(SavedStateExists());
  std::string output;
  EXPECT_EQ(RunWithOutput(L"/undo /noreboot", output), 2);
  EXPECT_NE(output.find(Ansi(L"没有可撤销的设置")), std::string::npos) << output;
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_NE(ReadLog(tool_).find("\t/undo\t" + ToUtf8(L"已撤销: 恢复了 IPX 网络号")), std::string::npos);
  EXPECT_EQ(RunTool(tool_, L"/n 16" + vx0), 0);  // no /force: the undo ended vxa's claim
}

// A saved state's bytes as the tool packs them (format 2): per value its card, key path, value name, data.
std::string Packed(const std::vector<std::array<std::string, 4>>& values) {
  const auto number = [](std::size_t n) {
    return std::string{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8 & 0xFF), static_cast<char>(n >> 16 & 0xFF),
                       static_cast<char>(n >> 24)};
  };
  const auto text = [&number](const std::string& t) { return number(t.size()) + t; };
  std::string out(1, '\x02');
  for (const auto& [card, path, name, sz] : values) {
    out +=
        std::string(1, '\0') + number(REG_SZ) + text(card) + text(path) + text(name) + text("label") + text(sz + '\0');
  }
  return out;
}

// /undo puts back only the tool's own values, on every card: a state that names the Run key is refused with
// nothing written; two cards come back, each card's claim ended; a state of a card the clone lacks is
// finished and gone. /check names both types of a value stored in another type.
TEST_F(Deployment, UndoPutsBackOnlyTheToolsOwnValuesOnEveryCard) {
  Machines(L"");
  const std::wstring log = tool_.substr(0, tool_.find_last_of(L'\\')) + L"\\VexaIpSet.log";
  ::DeleteFileW(log.c_str());
  ::DeleteFileW((log + L".old").c_str());
  const std::string vxaKey = "HKEY_LOCAL_MACHINE\\" + Ansi(Interface("vxa"));
  const std::wstring runKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  PlantSavedState(
      Packed({{cards_[Position("vxa") - 1].service, vxaKey, "IPAddress", "10.9.8.200"},
              {cards_[Position("vxa") - 1].service, "HKEY_LOCAL_MACHINE\\" + Ansi(runKey), "VexaPwn", "C:\\pwn.exe"}}));
  const Snapshot before = TakeSnapshot();
  std::string output;
  EXPECT_EQ(RunWithOutput(L"/undo /noreboot", output), 2) << output;
  EXPECT_NE(output.find("reg delete \"HKLM\\SOFTWARE\\VexaIpSet\" /f"), std::string::npos) << output;
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, runKey, L"VexaPwn"));
  ClearSavedState();

  const std::wstring vxa = L" /card " + std::to_wstring(Position("vxa")) + L" /noreboot";
  const std::wstring vx0 = L" /card " + std::to_wstring(Position("vx0")) + L" /noreboot";
  const std::wstring vx1 = L" /card " + std::to_wstring(Position("vx1")) + L" /noreboot";
  ASSERT_EQ(RunTool(tool_, L"/n 15" + vxa), 0);
  ASSERT_EQ(RunTool(tool_, L"/n 16" + vx0), 0);
  EXPECT_EQ(RunWithOutput(L"/undo /noreboot", output), 0) << output;
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_EQ(RunTool(tool_, L"/n 15" + vx1), 0);  // no /force: each card's /undo line ended its claim
  EXPECT_EQ(RunTool(tool_, L"/n 16" + vxa), 0);
  ClearSavedState();

  // The image's state names a card this clone lacks: nothing of it to put back, the rest back, the state gone.
  PlantSavedState(Packed(
      {{"{DEADBEEF-0000}", "HKEY_LOCAL_MACHINE\\" + Ansi(kInterfaces) + "\\{DEADBEEF-0000}", "IPAddress", "10.9.8.99"},
       {"{DEADBEEF-0000}", "HKEY_LOCAL_MACHINE\\" + Ansi(kTcpip), "NV Hostname", "MASTER"}}));
  EXPECT_EQ(RunWithOutput(L"/undo /noreboot", output), 0) << output;
  EXPECT_NE(output.find(Ansi(L"网卡已不在本机")), std::string::npos) << output;
  EXPECT_EQ(SavedStateViews(), 1);  // its own view's is gone
  ClearSavedState();
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname")->data, Sz("MASTER"));

  SetValue(HKEY_LOCAL_MACHINE, Interface("vxa"), L"NameServer", REG_EXPAND_SZ, Sz("10.9.8.254"));
  EXPECT_EQ(RunWithOutput(L"/check /n 17" + vxa.substr(0, vxa.find(L" /noreboot")), output), 6) << output;
  EXPECT_NE(output.find(Ansi(L"(REG_EXPAND_SZ),计划 ")), std::string::npos) << output;
  EXPECT_NE(output.find("(REG_SZ) "), std::string::npos) << output;
}

}  // namespace
}  // namespace vexa::e2e
