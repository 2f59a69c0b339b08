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
// A line's tail names the address whose AddressKey is key: its bytes compared without case, ':' as '-'.
bool SameAddress(std::string_view tail, const std::wstring& key);

// Who holds number as the log says it: another card (the number's last vouching line names a card other
// than address, and that card's own last vouching line still holds the number), or nobody can tell (a line
// after the number's last vouching line names the number, but this version cannot trust it), or nobody.
// Only lines whose bytes name the number, and the tails of that card's, are parsed.
struct NumberClaim {
  std::optional<LogEntry> holder;     // another card's vouching line
  std::optional<LogEntry> untrusted;  // the latest line naming the number that cannot be trusted
};
// A card's claim ends with its own /undo that put every value back (exit code 0).
NumberClaim ClaimOn(const LogText& log, int number, const std::wstring& address);

// The number address's last vouching line holds, read from the log's end; nothing when none vouches, or
// when an /undo of that card came after it.
std::optional<std::wstring> NumberOfCard(const LogText& log, const std::wstring& address);

// The line is an /undo that put every value back: what the card claimed before it ends there.
bool EndsClaim(const LogEntry& entry);

}  // namespace vexa
