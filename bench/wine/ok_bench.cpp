// The real OK action on the Win32 platform, its message boxes answered by a scripted decorator (no window),
// the card live with a known hardware address and the log beside it full (bench/wine/run lays it), so the
// guard reads it.
// Usage: ok_bench ITERATIONS [calls]. Prints the median microseconds of one action (summary and restart
// question included, answered No). With "calls", where the time goes instead: each service call timed by a
// decorator and summed by operation, per action (averaged), then the action's mean and what the services
// left to the logic.
#include <windows.h>

#include "median_time.h"
#include "timed_platform.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/ok_action.h"
#include "inventory/card_inventory.h"
#include "platform/win32/win32_platform.h"

namespace {

using bench::Clock;
using bench::KnownCard;
using bench::Tallies;
using bench::TimedAdapters;
using bench::TimedFiles;
using bench::TimedProfile;
using bench::TimedRegistry;
using bench::TimedSystem;
using bench::TimedText;

class ScriptedBoxes : public vexa::MessageBoxes {
 public:
  vexa::MsgAnswer Show(const std::wstring&, const std::optional<std::wstring>&, vexa::MsgButtons buttons,
                       vexa::MsgIcon) override {
    return buttons == vexa::MsgButtons::Ok ? vexa::MsgAnswer::Ok : vexa::MsgAnswer::No;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 200;
  const bool byCall = argc > 2 && std::string(argv[2]) == "calls";
  vexa::win32::Win32Platform real;
  Tallies tallies;
  TimedRegistry registry(real.registry, tallies);
  TimedProfile profile(real.profile, tallies);
  TimedText text(real.text, tallies);
  TimedSystem system(real.system, tallies);
  TimedFiles files(real.files, tallies);
  KnownCard card(real.adapters);
  TimedAdapters adapters(card, tallies);
  ScriptedBoxes boxes;
  vexa::Platform platform =
      byCall ? vexa::Platform{registry, profile,  boxes,        real.restart, system,       text,
                              files,    adapters, real.console, real.network, real.services}
             : vexa::Platform{real.registry, real.profile, boxes,        real.restart, real.system,  real.text,
                              real.files,    card,         real.console, real.network, real.services};
  vexa::CardInventory inventory;
  vexa::EnumNetworkCards(platform, inventory);
  const std::wstring description = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
  auto action = [&] {
    if (vexa::RunOkAction(platform, inventory, L"15", description) == vexa::Refusal::None) {
      vexa::AskAndRestart(platform);
    }
  };
  if (!byCall) {
    std::printf("%.1f\n", MedianMicroseconds(iterations, action));
    return 0;
  }
  tallies.clear();
  const Clock clock;
  const long long start = Clock::Now();
  for (int i = 0; i < iterations; ++i) action();
  const double total = clock.Microseconds(Clock::Now() - start) / iterations;
  double services = 0;
  for (const auto& [name, t] : tallies) {
    const double us = clock.Microseconds(t.ticks) / iterations;
    services += us;
    std::printf("%-26s %6.1f calls %9.1f us\n", name.c_str(), static_cast<double>(t.calls) / iterations, us);
  }
  std::printf("%-26s %6s       %9.1f us\n", "action (mean)", "", total);
  std::printf("%-26s %6s       %9.1f us\n", "logic (action - services)", "", total - services);
  return 0;
}
