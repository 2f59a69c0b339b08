// The one path of a press of OK and of a run without a window: plan, refuse or write, restart when asked,
// log; and /check, which only reads. The window and the console present the outcome (apply/outcome.h).
#pragma once

#include <string>
#include <vector>

#include "apply/confirmer.h"
#include "apply/machine_plan.h"
#include "apply/outcome.h"
#include "inventory/card_inventory.h"
#include "log/run_log.h"
#include "platform/platform.h"

namespace vexa {

// How a run goes: what it does is said here; the kind of run (mode) is only what its log line records.
struct RunOptions {
  RunMode mode = RunMode::Window;  // the log's column: who ran it
  bool requireConfig = false;      // refuse without config.ini rather than write the defaults
  bool skipInPlace = false;        // write nothing when every value is already in place
  bool restart = false;            // request the forced reboot after writing (or for a rename still pending)
  // How long one wait for the log's lock lasts: a run without a window waits its turn behind a whole cafe;
  // the window asks after a short one whether to wait longer.
  std::uint32_t logWait = kLogWaitMilliseconds;
  // [Machines] gave the number (/auto), and refuses one given twice: a number the log gives another card
  // is only said, not a doubt.
  bool tableDecides = false;
};

// Nothing is written without the log's lock: a log that stays busy past the wait (and every longer one
// the confirmer asks for) refuses the run, with nothing written and no line.
Outcome ApplyMachine(Platform& platform, const CardInventory& inventory, const IniFile::ConfigFile& config,
                     const Target& target, const RunOptions& options, Confirmer& confirmer);

// /undo: the values the machine held before the tool first changed it put back (apply/saved_state.h), the
// saved state then removed, a line logged, and a restart when the host name changes.
Outcome UndoMachine(Platform& platform, const CardInventory& inventory, const IniFile::ConfigFile& config,
                    const RunOptions& options, Confirmer& confirmer);

CheckOutcome CheckMachine(Platform& platform, const CardInventory& inventory, const IniFile::ConfigFile& config,
                          const Target& target, std::uint32_t logWait);

}  // namespace vexa
