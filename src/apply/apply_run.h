// The one path of a press of OK and of a run without a window: plan, refuse or write, restart when asked,
// log; and /check, which only reads. The window and the console present the outcome; the exit code is a
// function of it.
#pragma once

#include <string>
#include <vector>

#include "apply/confirmer.h"
#include "apply/machine_plan.h"
#include "apply/write_table.h"
#include "common/exit_codes.h"
#include "inventory/card_inventory.h"
#include "log/run_log.h"
#include "platform/platform.h"

namespace vexa {

struct RunOptions {
  RunMode mode = RunMode::Window;
  bool requireConfig = false;  // refuse without config.ini rather than write the defaults
  bool skipInPlace = false;    // write nothing when every value is already in place
  bool restart = false;        // request the forced reboot after writing (or for a rename still pending)
  // How long one wait for the log's lock lasts: a run without a window waits its turn behind a whole cafe;
  // the window asks after a short one whether to wait longer.
  std::uint32_t logWait = kLogWaitMilliseconds;
};

enum class RestartState {
  NotAsked,
  Requested,
  Refused,     // Windows refused the request
  NotTaken,    // already requested, the machine restarted since, and Windows still runs under the old name
  AskedTwice,  // requested twice since the machine started, and Windows still runs under the old name
  Unknown,     // the log cannot be read whole, so whether a restart was asked is unknown: none is asked
  Unrecorded,  // the request could not be logged first, so it was not made (a restart loop must stay impossible)
};

struct Outcome {
  enum class Kind { Refused, Written, InPlace };
  Kind kind = Kind::Refused;
  Refusal refusal = Refusal::None;
  Notice notice;  // Refused: why
  MachineSettings settings;
  std::wstring card;     // the card's description
  std::wstring address;  // the card's hardware address, "" when unknown
  WriteReport report;    // Written
  bool renamePending = false;
  std::wstring activeName;  // the name Windows runs under
  RestartState restart = RestartState::NotAsked;
  std::wstring overruled;  // who confirmed a doubt, and the doubt: "/force: 默认网关 ..."; "" when none
  std::wstring note;       // /auto: the log says another card holds the number ([Machines] decided)
  std::vector<std::wstring> unreadLog;           // Unknown: the log's files that could not be read, with their reasons
  LogPlace logPlace;                             // where the log is appended and read
  std::uint32_t logWait = kLogWaitMilliseconds;  // one wait for its lock
  LogResult log = LogResult::NotWritable;
  std::wstring logPath;
  bool Logged() const { return log == LogResult::Appended; }
};

// Nothing is written without the log's lock: a log that stays busy past the wait (and every longer one
// the confirmer asks for) refuses the run, with nothing written and no line.
Outcome ApplyMachine(Platform& platform, const CardInventory& inventory, const IniFile::ConfigFile& config,
                     const Target& target, const RunOptions& options, Confirmer& confirmer);

// /check: what of the plan is in the registry and in effect.
struct CheckOutcome {
  enum class Address { Live, Conflict, NotConnected, Missing, Unknown };
  Outcome plan;  // Refused, or InPlace/Written for "holds" / "differs" (nothing is written)
  bool registryHolds = false;
  bool nameActive = false;
  Address address = Address::Unknown;
};

CheckOutcome CheckMachine(Platform& platform, const CardInventory& inventory, const IniFile::ConfigFile& config,
                          const Target& target, std::uint32_t logWait);

int ExitCodeOf(const Outcome& out);
int ExitCodeOf(const CheckOutcome& check);

}  // namespace vexa
