// What one press of OK or one run without a window decides on, made once at its start: config.ini read and
// checked whole (its zones with every number planned), the machine's card list, where the log lives and how
// long to wait for it, and what the run does. The window, /n, /auto, /check and /undo all go through one.
#pragma once

#include <cstdint>

#include "config/venue.h"
#include "inventory/card_inventory.h"
#include "log/log_text.h"
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
  // A person gave the number (the window, /n): it is written only under the lock of the cafe's log
  // ([Log] Folder=), and a number the log gives another card is a doubt. Otherwise (/auto: [Machines], which
  // refuses a number given twice, decides it; /undo) the log's word is only said, and when the cafe's log
  // cannot be held the run goes on and keeps its line beside config.ini.
  bool typedNumber = true;
  // The start-up run, as SYSTEM: the game key goes into every player's profile, not the running account's.
  bool everyPlayer = false;
};

struct RunContext {
  Platform& platform;
  const CardInventory& inventory;
  IniFile::Venue venue;
  LogPlace logPlace;  // found again when the run waits once more for a folder that could not be reached
  RunOptions options;
};

inline RunContext OpenRun(Platform& platform, const CardInventory& inventory, const RunOptions& options) {
  IniFile::Venue venue = IniFile::ReadVenue(platform);
  LogPlace place = PlaceOfLog(platform, venue.file);
  return RunContext{platform, inventory, std::move(venue), std::move(place), options};
}

}  // namespace vexa
