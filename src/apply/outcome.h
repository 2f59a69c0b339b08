// What one run came to: refused, written or found in place, with what the restart and the log did; what
// /check found; and the exit code each returns, mapped in one place. The path (apply_run) makes them, the
// presenters show them, the log's line keeps the exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apply/machine_settings.h"
#include "apply/write_table.h"
#include "log/run_log.h"

namespace vexa {

enum class RestartState {
  NotAsked,
  Requested,
  Refused,     // Windows refused the request
  NotTaken,    // already requested, the machine restarted since, and Windows still runs under the old name
  AskedTwice,  // requested twice since the machine started, and Windows still runs under the old name
  Unknown,     // the log cannot be read whole, so whether a restart was asked is unknown: none is asked
  Unrecorded,  // the request could not be logged first, so it was not made (a restart loop must stay impossible)
};

// /undo: what came back on one card, for its own line (which ends that card's claim) and the console.
struct UndoneCard {
  std::wstring card;       // its description, or the service name of a card that left the machine
  std::wstring address;    // its hardware address, "" when unknown
  std::wstring number;     // the number its last vouching line held
  std::wstring ipAddress;  // as put back, "" when it had none (DHCP)
  std::vector<std::wstring> restored;
  std::vector<std::wstring> notRestored;
  std::vector<std::wstring> keyGone;  // values whose key no longer exists: nothing to put back
  bool gone = false;                  // the card left the machine: nothing of its own to put back
};

struct Outcome {
  enum class Kind { Refused, Written, InPlace, Undone };
  Kind kind = Kind::Refused;
  Refusal refusal = Refusal::None;
  Notice notice;  // Refused: why
  MachineSettings settings;
  std::wstring card;               // the card's description
  std::wstring address;            // the card's hardware address, "" when unknown
  WriteReport report;              // Written; Undone: notWritten names the values that could not be put back
  std::vector<UndoneCard> undone;  // Undone: card by card, in the order they were saved
  bool renamePending = false;
  std::wstring activeName;  // the name Windows runs under
  RestartState restart = RestartState::NotAsked;
  std::wstring overruled;  // who confirmed a doubt, and the doubt: "/force: 默认网关 ..."; "" when none
  std::wstring note;       // /auto: the log says another card holds the number ([Machines] decided)
  // Why the machine was given a new MachineGuid (apply/machine_identity.h), as its line says it: "与机号 1
  // 的机器相同" or "[Identity] MachineGuid=new"; "" when it keeps its own. Not written: in report.notWritten.
  std::wstring guidRenewal;
  // The twin rule's claim after the machine had its one new MachineGuid: named, nothing changed.
  std::wstring twinIgnored;
  std::vector<std::wstring> unreadLog;  // Unknown: the log's files that could not be read, with their reasons
  LogResult log = LogResult::NotWritable;
  std::wstring logPath;  // where the run's line went, or was to go
  // Where the line went when not where config.ini says, or why it went nowhere; "" when all is as it should be.
  std::wstring logNote;
  bool Logged() const { return log == LogResult::Appended; }
};

// /check: what of the plan is in the registry and in effect.
struct CheckOutcome {
  enum class Address { Live, Conflict, NotConnected, Missing, Unknown };
  Outcome plan;  // Refused, or InPlace/Written for "holds" / "differs" (nothing is written)
  bool registryHolds = false;
  bool nameActive = false;
  Address address = Address::Unknown;
  std::vector<std::wstring> liveAddresses;  // the card's IPv4 addresses now
  std::vector<PreviewLine> preview;         // every value the plan writes: now, planned, same or not
  std::vector<std::wstring> sidShared;      // the other seats whose machines share this one's machine SID
  std::wstring guidRenewal;  // why a write now would give the machine a new MachineGuid; "" when it would not
  std::wstring unset;        // this machine's last start-up that could not set it (UnsetMachineText), not cleared
};

int ExitCodeOf(const Outcome& out);
int ExitCodeOf(const CheckOutcome& check);

}  // namespace vexa
