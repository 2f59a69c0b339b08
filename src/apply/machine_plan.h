// One machine's plan: the number checked, the card found, config.ini read and every value derived and
// checked, without a word to the operator and without a write. The window and the runs without it share it.
#pragma once

#include <optional>
#include <string>

#include "apply/machine_settings.h"
#include "apply/run_context.h"
#include "apply/write_table.h"
#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

// The machine a run is for: its number, checked where it came in (ValidateInput for the number box,
// ReadMachineNumber for a number given, both against the run's zones), and the card by its place in the
// inventory.
struct Target {
  MachineInput number;
  std::int32_t cardIndex = -1;    // -1: no card
  std::optional<Notice> refusal;  // the command line or the [Machines] table named no single machine
  std::wstring note;              // said beside the outcome (a second [Machines] section)
};

struct MachinePlan {
  Refusal refusal = Refusal::None;
  Notice notice;                     // why, when refused
  MachineSettings settings;          // every field, the game key included, when nothing is refused
  std::wstring card;                 // the card's description up to its NUL
  std::wstring serviceName;          // the card's own, as read
  std::wstring controlSet;           // where the TCP/IP and IPX values go
  std::wstring configPath;           // config.ini as the operator knows it
  std::wstring zone;                 // the zone that holds the number, "" without zones
  std::optional<Notice> doubt;       // a value Windows can use but would ask about: written only when confirmed
  std::optional<Notice> cardDoubt;   // [Machines] gives the number to another card of this machine
  std::vector<UserProfile> players;  // everyPlayer: the profiles whose game key it writes
  std::vector<WriteRow> rows;        // the nine values in write order, built once: saved, written, compared
};

// Refuses a number its check refused, takes the card, takes config.ini's values as the run read them and
// checks what they give, in that order.
MachinePlan PlanMachine(const RunContext& run, const Target& target);

// The hint that no card is chosen: the window's hint label shows it, and an OK without a card is refused
// with it.
Notice NoCardNotice();

}  // namespace vexa
