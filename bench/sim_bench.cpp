// Costs of the logic over the simulated Windows: the path split, one registry read, one config read, the
// settings derivation, the card lookup as the card count grows, the whole OK action, and the twin rule's
// reading of a full log.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app/ok_action.h"
#include "apply/machine_settings.h"
#include "common/utf8.h"
#include "config/config_file.h"
#include "config/ini_file.h"
#include "config/venue.h"
#include "inventory/card_inventory.h"
#include "log/machine_twins.h"
#include "log/number_claims.h"
#include "platform/sim/sim_platform.h"
#include "registry/reg.h"

namespace vexa {
namespace {

constexpr const char* kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kTcpip = "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters";
const std::wstring kConfig =
    L"[NetWork]\r\nIP=192.168.0\r\nIPOffset=0\r\nMask=255.255.255.0\r\nGateWay=192.168.0.1\r\n"
    L"DNS=202.102.224.68,202.102.227.68\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey15=KEY-FIFTEEN\r\n";

// A workstation with n cards; the last one is "Card n".
void Machine(sim::SimPlatform& sim, int cards) {
  sim.registry.SetValue(kHkeyLocalMachine, kTcpip, "NV Hostname", kRegSz, std::string("MASTER\0", 7));
  sim.registry.CreateKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters");
  sim.registry.CreateKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Control\\ComputerName\\ComputerName");
  sim.registry.CreateKey(kHkeyCurrentUser, "Software\\Valve\\CounterStrike\\Settings");
  for (int i = 1; i <= cards; ++i) {
    char key[16];
    char text[32];
    std::snprintf(key, sizeof key, "%d", i);
    std::snprintf(text, sizeof text, "Card %d", i);
    const std::string card = std::string(kCards) + "\\" + key;
    sim.registry.SetValue(kHkeyLocalMachine, card, "Description", kRegSz, std::string(text) + '\0');
    sim.registry.SetValue(kHkeyLocalMachine, card, "ServiceName", kRegSz, "{" + std::string(key) + "}" + '\0');
    sim.registry.CreateKey(kHkeyLocalMachine, std::string(kTcpip) + "\\Interfaces\\{" + key + "}");
  }
  sim.PutConfig(kConfig);
}

void BM_SplitRegPath(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Reg::SplitRegPath(L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters"));
  }
}
BENCHMARK(BM_SplitRegPath);

void BM_ReadRegString(benchmark::State& state) {
  sim::SimPlatform sim;
  Machine(sim, 1);
  Platform platform = sim.platform();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Reg::ReadRegString(
        platform, L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters", L"NV Hostname"));
  }
}
BENCHMARK(BM_ReadRegString);

void BM_ReadIniString(benchmark::State& state) {
  sim::SimPlatform sim;
  Machine(sim, 1);
  Platform platform = sim.platform();
  const std::wstring path = IniFile::ConfigPath(platform);
  for (auto _ : state) {
    benchmark::DoNotOptimize(IniFile::ReadIniString(platform, path, IniFile::kNetWork, L"DNS", L"192.168.0.1"));
  }
}
BENCHMARK(BM_ReadIniString);

void BM_DeriveSettings(benchmark::State& state) {
  sim::SimPlatform sim;
  Machine(sim, 1);
  Platform platform = sim.platform();
  for (auto _ : state) {
    const IniFile::Venue venue = IniFile::ReadVenue(platform);
    MachineInput input = ValidateInput(L"15");
    MachineSettings settings = DeriveSettings(input, *venue.zones.PlanOf(input.MachineNumber));
    DeriveGameKey(platform, settings, venue.file.ReadPath());
    benchmark::DoNotOptimize(CheckSettings(platform.text, settings));
  }
}
BENCHMARK(BM_DeriveSettings);

void BM_FindCardServiceName(benchmark::State& state) {
  const int cards = static_cast<int>(state.range(0));
  sim::SimPlatform sim;
  Machine(sim, cards);
  Platform platform = sim.platform();
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  const std::wstring last = L"Card " + std::to_wstring(cards);
  for (auto _ : state) benchmark::DoNotOptimize(FindCardServiceName(platform, inventory, last));
  state.SetComplexityN(cards);
}
BENCHMARK(BM_FindCardServiceName)->Arg(1)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

void BM_OkAction(benchmark::State& state) {
  sim::SimPlatform sim;
  Machine(sim, 3);
  Platform platform = sim.platform();
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  for (auto _ : state) {
    benchmark::DoNotOptimize(RunOkAction(platform, inventory, L"15", L"Card 2"));
    benchmark::DoNotOptimize(AskAndRestart(platform));  // answered No
    sim.messages.Clear();
    sim.registry.ClearWrites();
  }
}
BENCHMARK(BM_OkAction)->Unit(benchmark::kMicrosecond);

// The twin rule's question under the log's lock: a log near its 1 MB limit, 254 cards of 254 machines with
// 20 lines each (their last vouching lines parsed, the rest passed over by their tails), one of them
// carrying this machine's MachineGuid.
void BM_CardsSharing(benchmark::State& state) {
  std::string bytes;
  for (int run = 0; run < 20; ++run) {
    for (int seat = 1; seat <= 254; ++seat) {
      char address[24];
      char guid[16];
      std::snprintf(address, sizeof address, "00-1A-2B-3C-%02X-%02X", seat / 256, seat % 256);
      std::snprintf(guid, sizeof guid, "%08x", 0x10000000 + seat);
      RunRecord r;
      r.mode = RunMode::Auto;
      r.outcome = L"已写入";
      r.number = std::to_wstring(seat);
      r.hostName = L"WB-" + r.number;
      r.ipAddress = L"192.168.0." + r.number;
      r.card = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
      r.address = std::wstring(address, address + 17);
      r.exitCode = 0;
      r.inPlace = true;
      const MachinePrints prints{std::wstring(guid, guid + 8), L"0badc0de"};
      bytes += ToUtf8(LogLine(LocalTime{2026, 12, 1, 10, run, 0}, r, &prints)) + "\r\n";
    }
  }
  sim::SimText codec;
  LogText log;
  AddLogBytes(codec, bytes, log);
  for (auto _ : state) {
    if (state.range(0) == 0) {
      benchmark::DoNotOptimize(CardsSharing(log, PrintOf::MachineGuid, L"1000000f", {L"00-1A-2B-3C-4D-5E"}));
    } else {
      benchmark::DoNotOptimize(ClaimOn(log, 15, L"00-1A-2B-3C-4D-5E"));  // the guard's question, for scale
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_CardsSharing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexa

BENCHMARK_MAIN();
