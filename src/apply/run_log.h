// VexaIpSet.log beside config.ini: one line for each OK press in the window and each run without it, in
// UTF-8 with a byte-order mark so that Notepad shows it on any Windows. Every line that wrote settings
// ends with the card's address and the number as a [Machines] line, for building the table from it.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa {

enum class RunMode { Window, Auto, Number };

struct RunRecord {
  RunMode mode = RunMode::Window;
  std::wstring outcome;
  std::wstring number;  // as typed or given
  std::wstring hostName;
  std::wstring ipAddress;
  std::wstring card;     // the description shown
  std::wstring address;  // the card's hardware address, "" when unknown
  std::vector<std::wstring> notWritten;
  bool written = false;  // settings were written or were already in place
};

// Past this size the log becomes VexaIpSet.log.old and a new one is begun.
inline constexpr std::uint64_t kLogLimit = std::uint64_t{1024} * 1024;

// The line, without its line end: fields separated by TABs.
std::wstring LogLine(const LocalTime& time, const RunRecord& record);

// Appends the line; a folder that cannot be written (a read-only share, a CD) changes nothing and shows
// nothing.
void AppendRunLog(Platform& platform, const RunRecord& record);

}  // namespace vexa
