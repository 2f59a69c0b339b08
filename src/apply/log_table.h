// /table: the [Machines] section that VexaIpSet.log (and VexaIpSet.log.old) beside config.ini vouch for,
// so that the operator builds the table from the first round of manual runs instead of by hand.
#pragma once

#include <string>

#include "platform/platform.h"

namespace vexa {

// "[Machines]" and one "address=number" line per address, the number of the address's last run that put
// the values in place, in number order; then ";" lines for one number given to several addresses and for
// addresses none of whose runs put the values in place (all refused or not written). Lines joined by CR LF.
std::wstring TableFromLog(Platform& platform);

}  // namespace vexa
