// Machines that share an identifier with this one, as the shared log shows it: each card's last vouching
// line carries its machine's fingerprints, so a card of another machine whose line carries this machine's
// is a clone of the same image. The run asks it under the log's lock (a clone gets a new MachineGuid);
// /check names the seats that share its machine SID.
#pragma once

#include <string>
#include <vector>

#include "log/log_text.h"

namespace vexa {

// Which of a line's fingerprints.
enum class PrintOf { MachineGuid, MachineSid };

// The last vouching line of every card whose line carries print in that column, latest first; a card in
// own (this machine's cards' addresses) is this machine, and a card whose /undo ended its claim holds
// nothing. An unknown print ("") is shared with nobody.
std::vector<LogEntry> CardsSharing(const LogText& log, PrintOf column, const std::wstring& print,
                                   const std::vector<std::wstring>& own);

}  // namespace vexa
