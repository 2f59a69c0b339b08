// /table: the [Machines] section that VexaIpSet.log (and VexaIpSet.log.old) beside config.ini vouch for,
// so that the operator builds the table from the first round of manual runs instead of by hand.
#pragma once

#include <string>

#include "log/run_log.h"

namespace vexa {

// "[Machines]" and one "address=number" line per card address, the number of the address's last line that
// vouches for it, in number order; then ";" lines for one number held by several addresses, for addresses
// none of whose lines vouch (refused, not all written, a check, a number no zone holds) with their last
// line, and for keys that are no card's address. Lines joined by CR LF.
std::wstring TableFromLog(const RunLog& log);

}  // namespace vexa
