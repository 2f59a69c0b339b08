// The real OK action on the Win32 platform, its message boxes answered by a scripted decorator (no window).
// Usage: ok_bench ITERATIONS. Prints the median microseconds of one action (summary and restart question
// included, answered No).
#include <windows.h>

#include "median_time.h"

#include <cstdio>
#include <cstdlib>

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
  vexa::Platform platform{real.registry, real.profile, boxes,         real.restart, real.system,
                          real.text,     real.files,   real.adapters, real.console};
  vexa::CardInventory inventory;
  vexa::EnumNetworkCards(platform, inventory);
  const std::wstring card = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
  const double median = MedianMicroseconds(iterations, [&] {
    if (vexa::RunOkAction(platform, inventory, L"15", card) == vexa::Refusal::None) vexa::AskAndRestart(platform);
  });
  std::printf("%.1f\n", median);
  std::fprintf(stderr, "boxes answered: %d\n", boxes.shown);
  return 0;
}
