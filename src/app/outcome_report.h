// What the operator reads about an outcome, in the window's summary box and on the console: one outcome
// (apply/apply_run.h) each, turned into what its medium shows. The path's own words (the log's outcome, the
// doubt's question) are apply/outcome_texts.h's.
#pragma once

#include <string>
#include <vector>

#include "apply/apply_run.h"

namespace vexa {

// The derived values, one line each: host name, IP address, mask, gateway, DNS servers, game key.
std::vector<std::wstring> SettingsLines(const MachineSettings& s);

// The window's summary box: lines joined by CR LF, the last line also followed by CR LF.
std::wstring SummaryText(const Outcome& outcome);

// The console's report of a run, lines joined by CR LF.
std::wstring ConsoleReport(const Outcome& outcome);
std::wstring ConsoleReport(const CheckOutcome& check);

}  // namespace vexa
