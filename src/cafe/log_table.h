// /table: the [Machines] section that VexaIpSet.log (and VexaIpSet.log.old) beside config.ini vouch for,
// so that the operator builds the table from the first round of manual runs instead of by hand.
#pragma once

#include <string>

#include "config/zones.h"
#include "log/run_log.h"

namespace vexa {

// "[Machines]" and one "address=number" line per card address, the number of the address's last line that
// vouches for it, in number order, when zones allow the number; then ";" lines for one number held by several
// addresses, for addresses none of whose lines vouch (refused, not all written, a check) with their last
// line, for numbers config.ini does not allow (the table would be unreadable there), for keys that are
// no card's address, and for seats whose machines share a machine SID. Lines joined by CR LF.
std::wstring TableFromLog(const RunLog& log, const IniFile::Zones& zones);

}  // namespace vexa
