// What the shared log says of the whole cafe: each card address's claim to a number and each seat's last
// line. /table, /report and /export read the log through it (the guard reads the same claims through
// log/number_claims.h).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/machine_table.h"
#include "config/zones.h"
#include "log/number_claims.h"
#include "log/run_log.h"
#include "log/unset_machines.h"

namespace vexa {

// A card address's lines: the last one that vouched for address=number (none once its /undo ended the
// claim), and the last one of all.
// A /check is a look, not a run: it is never a card's or a seat's last line, only its last check.
struct AddressHistory {
  const LogEntry* lastVouch = nullptr;
  const LogEntry* last = nullptr;
  const LogEntry* lastCheck = nullptr;
};
// Every address the log names, in the spelling FormatMac gives (a line's own spelling when it is none).
std::map<std::wstring, AddressHistory> AddressesOf(const RunLog& log);

// A seat's state by its last line, for the page: every state has its word and mark besides its colour.
enum class SeatState {
  Unseen,    // no line and no [Machines] entry
  Listed,    // in [Machines], never run
  InEffect,  // the values are in place and Windows runs with them
  Pending,   // written: a restart asked for or needed, or the name not active yet
  Refused,   // refused or not (all) written
  Undone,    // its card's /undo put back the values it held before the tool: nobody holds the number
  Conflict,  // two cards hold the number
};
SeatState StateOf(const LogEntry& entry);
// A state's word, as the page's legend, the CSV and the console say it.
std::wstring_view StateWord(SeatState state);

struct Seat {
  SeatState state = SeatState::Unseen;
  std::vector<int> sidShared;           // the other seats whose machines share this one's machine SID
  const LogEntry* last = nullptr;       // the last line with this number (no /check's)
  const LogEntry* lastCheck = nullptr;  // the last /check of this seat on the card that holds it, after its run
  int runs = 0;                         // lines with this number (no /check's)
  std::vector<std::wstring> claimants;  // addresses whose last vouching line holds this number
  std::wstring listed;                  // the address [Machines] gives this number
};

// The cafe as the log (which must outlive it), [Machines] and config.ini's zones show it.
struct CafeView {
  std::vector<Seat> seats;                           // by number, up to the zones' last; 0 is no seat
  std::vector<IniFile::ZonePlan> zones;              // config.ini's zones, or the one plan of 1-254
  std::vector<int> outside;                          // numbers the log's vouching lines name that no zone holds
  std::vector<std::wstring> unlisted;                // "address=number" lines the log vouches for and [Machines] lacks
  std::vector<std::wstring> unused;                  // [Machines] lines no run has used
  std::map<std::wstring, AddressHistory> addresses;  // AddressesOf the log, read once for every view of it
  std::vector<std::vector<int>> sidShared;           // SeatsSharingSid
  std::vector<const LogEntry*> unset;                // UnsetMachines: no seat shows them
};

// Seats whose machines share one machine SID (clones of one image without Sysprep), as the cards' last
// vouching lines show it: a group a SID, numbers in order, each of two seats or more (a seat is one
// machine: the card that replaced a seat's card holds its number). An unknown SID is shared with nobody.
std::vector<std::vector<int>> SeatsSharingSid(const std::map<std::wstring, AddressHistory>& addresses);
// zones: config.ini's, checked (Zones::Ok): which numbers are seats, and each zone's plan.
CafeView ViewOfCafe(const RunLog& log, const IniFile::MachineTable& table, const IniFile::Zones& zones);
// Every seat of every zone, in the zones' order.
std::vector<int> SeatNumbers(const CafeView& view);

// Numbers as the cafe's views list them: "1, 2, 5".
std::wstring NumbersText(const std::vector<int>& numbers);

// What the console says of a log that could not be read whole: each unreadable file with its reason, and
// the skipped lines counted by why; empty when nothing was lost.
std::vector<std::wstring> ReadingProblems(const RunLog& log);

}  // namespace vexa
