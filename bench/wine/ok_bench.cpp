// The real OK action on the Win32 platform, its message boxes answered by a scripted decorator (no window).
// Usage: ok_bench ITERATIONS. Prints the median microseconds of one action (summary and restart question
// included, answered No).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "apply/ok_action.h"
#include "inventory/card_inventory.h"
#include "platform/win32/win32_platform.h"

namespace {

class ScriptedBoxes : public vexa::MessageBoxes {
 public:
  vexa::MsgAnswer Show(const std::wstring&, const std::optional<std::wstring>&, vexa::MsgButtons buttons,
                       vexa::MsgIcon) override {
    ++shown;
    return buttons == vexa::MsgButtons::Ok ? vexa::MsgAnswer::Ok : vexa::MsgAnswer::No;
  }
  int shown = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 200;
  vexa::win32::Win32Platform real;
  ScriptedBoxes boxes;
  vexa::Platform platform{real.registry, real.profile, boxes, real.restart, real.system, real.text};
  vexa::CardInventory inventory;
  vexa::EnumNetworkCards(platform, inventory);
  const std::wstring card = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int i = 0; i < iterations; ++i) {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    vexa::OkOutcome outcome = vexa::RunOkAction(platform, inventory, L"15", card);
    if (outcome.askRestart) vexa::AskAndRestart(platform);
    ::QueryPerformanceCounter(&t1);
    times.push_back(1e6 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f\n", times[times.size() / 2]);
  std::fprintf(stderr, "boxes answered: %d\n", boxes.shown);
  return 0;
}
