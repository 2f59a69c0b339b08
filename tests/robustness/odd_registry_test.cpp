// Registries cloned with leftovers: values of other types where text is expected, values at the read
// buffer's limit, long card key names, missing keys and refused access. Each gives its defined result.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/frmmain.h"
#include "app/ok_action.h"
#include "common/text.h"
#include "platform/sim/sim_window.h"
#include "registry/reg.h"
#include "sim_machine.h"

namespace vexa {
namespace {

using test::Sz;

class OddRegistry : public ::testing::Test {
 protected:
  OddRegistry() { test::CloneImage(sim); }
  // The text, or "<unreadable>".
  std::wstring Read(const std::string& name) {
    const Reg::RegText read =
        Reg::ReadRegString(platform, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Odd", std::wstring(name.begin(), name.end()));
    return read.ok() ? read.text : L"<unreadable>";
  }
  sim::SimPlatform sim;
  Platform platform = sim.platform();
};

TEST_F(OddRegistry, OtherTypesAreReadAsTheirBytes) {
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Odd", "dword", kRegDword, std::string("\x41\x42\0\0", 4));
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Odd", "binary", kRegBinary, "xyz");
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Odd", "expand", kRegExpandSz, Sz("%SystemRoot%"));
  EXPECT_EQ(CutAtNul(Read("dword")), L"AB");
  EXPECT_EQ(Read("binary"), L"xy");  // no terminator: the last byte goes
  EXPECT_EQ(Read("expand"), L"%SystemRoot%");
}

TEST_F(OddRegistry, ValuesAtTheBufferLimit) {
  for (std::size_t bytes : {254u, 255u, 256u}) {
    sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Odd", "v" + std::to_string(bytes), kRegSz,
                          Sz(std::string(bytes, 'v')));
  }
  EXPECT_EQ(Read("v254"), std::wstring(254, L'v'));
  EXPECT_EQ(Read("v255"), L"<unreadable>");
  EXPECT_EQ(Read("v256"), L"<unreadable>");
}

TEST_F(OddRegistry, CardKeyNamesOf255Characters) {
  const std::string longName(255, 'k');
  test::AddCard(sim.registry, longName, Sz("Long Key NIC"), Sz("{LONG}"));
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  EXPECT_EQ(inventory.CardKeys[static_cast<std::size_t>(inventory.LastCard)], std::wstring(255, L'k'));
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"Long Key NIC"), L"{LONG}");
}

TEST_F(OddRegistry, MissingInterfacesKeyShowsErrorAndIsReported) {
  sim.registry.DeleteKey(kHkeyLocalMachine, test::kInterfacesKey);
  sim::SimWindow window(frm::ControlTable());
  frm::FrmMain form(platform, window);
  form.Form_Load();
  window.Select(frm::cboInterface, 0);
  form.cboInterface_Click();
  for (frm::Control c : {frm::Label1, frm::Label2, frm::Label3, frm::Label4}) {
    EXPECT_EQ(window.State(c).caption, L"Error");
  }
  EXPECT_EQ(window.State(frm::Label5).caption, L"MASTER");
  window.Type(frm::txtNum, L"15");
  form.Command1_Click();
  EXPECT_NE(
      sim.messages.Shown()[0].text.find(L"  DHCP 开关\r\n  IP 地址\r\n  子网掩码\r\n  默认网关\r\n  DNS 信息\r\n"),
      std::wstring::npos);
  EXPECT_EQ(sim.messages.Shown()[0].icon, MsgIcon::Exclamation);
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyLocalMachine, test::kInterfacesKey));
}

TEST_F(OddRegistry, RefusedOpenOfTheCardsKeyAndOfTheInterfaceKey) {
  sim.registry.DenyOpen(kHkeyLocalMachine, test::kCardsKey);
  CardInventory inventory;
  EXPECT_FALSE(EnumNetworkCards(platform, inventory));
  EXPECT_EQ(inventory.LastCard, -1);

  sim::SimPlatform other;
  test::CloneImage(other);
  Platform p = other.platform();
  other.registry.DenyOpen(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{11111111-AAAA}");
  CardInventory cards;
  EnumNetworkCards(p, cards);
  EXPECT_EQ(
      Reg::ReadRegString(
          p, L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\{11111111-AAAA}",
          L"IPAddress")
          .status,
      Reg::RegText::Status::Unreadable);
  RunOkAction(p, cards, L"15", L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  const test::WriteCounts counts = test::CountWrites(other.text);
  EXPECT_EQ(test::MachineWrites(other).size(), counts.all - counts.card);
  EXPECT_EQ(other.messages.Shown()[0].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace vexa
