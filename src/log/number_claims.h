// The guard against one number on two cards, read from the log's records: which card's last vouching line
// holds a number. The write path asks it under the log's lock; the cafe's views read the same claims.
#pragma once

#include <optional>
#include <string>

#include "log/run_log.h"

namespace vexa {

// One spelling for an address, so that a line and a [Machines] entry compare: FormatMac's, or the text
// as written when it is no hardware address.
std::wstring AddressKey(const std::wstring& address);

// Who holds number as the log says it: another card (the number's last vouching line names a card other
// than address, and that card's own last vouching line still holds the number), or nobody can tell (a line
// after the number's last vouching line names the number, but this version cannot trust it), or nobody.
// Only lines whose bytes name the number, and the tails of that card's, are parsed.
struct NumberClaim {
  std::optional<LogEntry> holder;     // another card's vouching line
  std::optional<LogEntry> untrusted;  // the latest line naming the number that cannot be trusted
};
NumberClaim ClaimOn(const LogText& log, int number, const std::wstring& address);

}  // namespace vexa
