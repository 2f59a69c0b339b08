// A simulated cloned workstation: network cards, their TCP/IP interface keys, the IPX and game keys.
#pragma once

#include <string>
#include <vector>

#include "apply/write_table.h"
#include "platform/sim/sim_platform.h"

namespace vexa::test {

inline constexpr const char* kCardsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline constexpr const char* kTcpipKey = "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters";
inline constexpr const char* kInterfacesKey = "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces";
inline constexpr const char* kIpxKey = "SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters";
inline constexpr const char* kComputerNameKey = "SYSTEM\\ControlSet001\\Control\\ComputerName\\ComputerName";
inline constexpr const char* kActiveNameKey = "SYSTEM\\ControlSet001\\Control\\ComputerName\\ActiveComputerName";
inline constexpr const char* kGameKey = "Software\\Valve\\CounterStrike\\Settings";

inline std::string Sz(const std::string& text) { return text + '\0'; }

// The writes to the machine's settings, without those that keep its earlier values for /undo.
inline std::vector<sim::RegWrite> MachineWrites(const sim::SimPlatform& sim) {
  std::vector<sim::RegWrite> writes;
  for (const sim::RegWrite& w : sim.registry.Writes()) {
    std::string upper = w.keyPath;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (upper.rfind("HKLM\\SOFTWARE\\VEXAIPSET", 0) != 0) writes.push_back(w);
  }
  return writes;
}

// Adds card keyName with a description and service name (raw bytes as stored) and its interface key.
inline void AddCard(sim::SimRegistry& reg, const std::string& keyName, const std::string& description,
                    const std::string& serviceName, bool withInterfaceKey = true) {
  const std::string card = std::string(kCardsKey) + "\\" + keyName;
  reg.SetValue(kHkeyLocalMachine, card, "Description", kRegSz, description);
  reg.SetValue(kHkeyLocalMachine, card, "ServiceName", kRegSz, serviceName);
  if (withInterfaceKey) {
    std::string service = serviceName.substr(0, serviceName.find('\0'));
    reg.CreateKey(kHkeyLocalMachine, std::string(kInterfacesKey) + "\\" + service);
  }
}

// The image every machine of the cafe was cloned from.
inline void CloneImage(sim::SimPlatform& sim) {
  auto& reg = sim.registry;
  reg.SetValue(kHkeyLocalMachine, kTcpipKey, "NV Hostname", kRegSz, Sz("MASTER"));
  reg.SetValue(kHkeyLocalMachine, kComputerNameKey, "ComputerName", kRegSz, Sz("MASTER"));
  reg.SetValue(kHkeyLocalMachine, kActiveNameKey, "ComputerName", kRegSz, Sz("MASTER"));
  reg.SetValue(kHkeyLocalMachine, kTcpipKey, "Hostname", kRegSz, Sz("MASTER"));
  reg.SetValue(kHkeyLocalMachine, kIpxKey, "VirtualNetworkNumber", kRegDword, std::string(4, '\0'));
  reg.SetValue(kHkeyCurrentUser, kGameKey, "Key", kRegSz, Sz("OLDKEY"));
  AddCard(reg, "1", Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"), Sz("{11111111-AAAA}"));
  AddCard(reg, "2", Sz("Intel(R) PRO/100 VE Network Connection"), Sz("{22222222-BBBB}"));
  const std::string card1 = std::string(kInterfacesKey) + "\\{11111111-AAAA}";
  reg.SetValue(kHkeyLocalMachine, card1, "IPAddress", kRegMultiSz, std::string("192.168.0.200\0\0", 15));
  reg.SetValue(kHkeyLocalMachine, card1, "SubnetMask", kRegMultiSz, std::string("255.255.255.0\0\0", 15));
  reg.SetValue(kHkeyLocalMachine, card1, "DefaultGateway", kRegMultiSz, std::string("192.168.0.1\0\0", 13));
  reg.SetValue(kHkeyLocalMachine, card1, "NameServer", kRegSz, Sz("192.168.0.1"));
  reg.SetValue(kHkeyLocalMachine, card1, "EnableDHCP", kRegDword, std::string("\1\0\0\0", 4));
}

// The write table's counts, so that the tests follow a row added to it: every row, the rows of the card's
// own TCP/IP key, and the rows of components that may not be installed (IPX, the game).
struct WriteCounts {
  std::size_t all = 0;
  std::size_t card = 0;
  std::size_t optional = 0;
};
inline WriteCounts CountWrites(TextCodec& text) {
  const std::wstring card = L"{CARD}";
  WriteCounts counts;
  for (const WriteRow& row : WriteRows(text, MachineSettings{}, card, L"ControlSet001")) {
    ++counts.all;
    counts.card += row.path.find(card) != std::wstring::npos ? 1 : 0;
    counts.optional += row.absentLabel.empty() ? 0 : 1;
  }
  return counts;
}

// A restart: Windows takes the written names (upper-cased, as it shows them) and the clock moves on.
inline void Restart(sim::SimPlatform& sim, int minutesLater = 5) {
  auto& reg = sim.registry;
  const auto name = reg.GetValue(kHkeyLocalMachine, kComputerNameKey, "ComputerName");
  std::string upper = name ? name->data : Sz("");
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  reg.SetValue(kHkeyLocalMachine, kActiveNameKey, "ComputerName", kRegSz, upper);
  reg.SetValue(kHkeyLocalMachine, kTcpipKey, "Hostname", kRegSz, upper);
  sim.system.now.minute += minutesLater;
  sim.system.sinceBoot = 60000;  // booted a minute ago
}

}  // namespace vexa::test
