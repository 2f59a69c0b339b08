// Machines that could not set themselves at start-up, as the shared log shows them: an /auto that found no
// seat (no card [Machines] names came up, or config.ini could not be used) writes a refusal naming the
// machine by its name and fingerprints but no number, so no seat of the page shows it. Each such machine is
// known by its MachineGuid print; a later run of that machine that put a seat's values in place (a line
// that vouches) clears it. /report lists them apart, /table names them, /check says it of this machine.
#pragma once

#include <string>
#include <vector>

#include "log/log_text.h"

namespace vexa {

// The line is an /auto's that found no seat: no number, a refusal's exit code, the machine's print known.
bool IsUnsetLine(const RunRecord& record);

// Each machine's last such line not cleared since, in the log's order; pointers into log, which must outlive
// them.
std::vector<const LogEntry*> UnsetMachines(const RunLog& log);

// Why the machine could not set itself: the line's refusal without its first word.
std::wstring UnsetReason(const RunRecord& record);
// One machine as /table and /check name it: its name, print, time and reason.
std::wstring UnsetMachineText(const LogEntry& entry);

}  // namespace vexa
