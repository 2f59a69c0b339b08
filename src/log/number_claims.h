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

// Another card that holds number: the number's last vouching line names a card other than address, and
// that card's own last vouching line still holds the number; that line, or nothing. Only lines whose
// [Machines] tail names the number or that card are parsed.
std::optional<LogEntry> OtherHolder(const LogText& log, int number, const std::wstring& address);

}  // namespace vexa
