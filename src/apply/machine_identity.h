// The twin rule: a machine cloned from one image without Sysprep shares its MachineGuid with every other
// clone, and billing clients, remote-control agents and licences then see one machine. Decided under the
// log's lock (the log says which machines ran before), done before the run's write, saved first so that
// /undo puts the image's back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "apply/run_context.h"
#include "log/run_log.h"

namespace vexa {

// Why the machine gets a new MachineGuid; nothing when it keeps its own.
struct GuidRenewalReason {
  std::optional<LogEntry> twin;  // the other machine's card that vouches with this machine's MachineGuid
  bool renewedBefore = false;    // twin: the machine had its one new MachineGuid already, nothing is renewed
};

// [Identity] MachineGuid=keep: never. =new: while the tool has not given this machine one (the saved state
// holds none). Not written: when another machine's card (not one of this machine's, not the number this
// run writes: a card that replaced this seat's is the same machine) last vouched with this machine's
// MachineGuid, once: a claim after the machine had its new one (the saved state holds its earlier one) is
// only named, so that lines anyone can write on the share cannot churn it. Never when it cannot be read:
// unknown matches nothing.
std::optional<GuidRenewalReason> GuidRenewalOf(RunContext& run, HeldLog& log, int number);

// The numbers of the other machines' seats whose last vouching line carries this machine's SID, latest
// first (/check names them: the SID is never changed, Sysprep alone renews it).
std::vector<std::wstring> SeatsSharingThisSid(RunContext& run, HeldLog& log);

}  // namespace vexa
