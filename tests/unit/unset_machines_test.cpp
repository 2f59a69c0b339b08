// Machines that could not set themselves at start-up, as the log shows them: which line names one, and
// which later line of the same machine clears it.
#include <gtest/gtest.h>

#include "log/log_line.h"
#include "log/unset_machines.h"
#include "row.h"

namespace vexa {
namespace {

// A line as a run of mode on the machine of print writes it; number "" for a run that found no seat.
LogEntry Line(RunMode mode, const std::wstring& number, int exitCode, const std::wstring& print, int minute) {
  RunRecord r;
  r.mode = mode;
  r.number = number;
  r.hostName = L"PC-" + print;
  r.outcome = exitCode == 0 ? std::wstring(kWrittenOutcome) : std::wstring(kRefusedOutcome) + L"没有网卡";
  r.exitCode = exitCode;
  if (!number.empty()) {
    r.address = L"00-1A-2B-3C-4D-5E";
    r.ipAddress = L"192.168.0." + number;
    r.inPlace = exitCode == 0;
  }
  const MachinePrints prints{print, L""};
  return ParseLogLine(LogLine(LocalTime{2026, 12, 8, 9, minute, 0}, r, &prints), true);
}

TEST(UnsetMachines, ListedUntilTheMachineSetsASeat) {
  const struct {
    int line;
    std::vector<LogEntry> lines;
    std::vector<std::wstring> unset;  // host names, oldest first
  } rows[] = {
      ROW({Line(RunMode::Auto, L"", 2, L"aaaa0001", 1)}, {L"PC-aaaa0001"}),
      // Only an /auto that found no seat: a refused /n, a refused seat, a check are seats' or nothing.
      ROW({Line(RunMode::Number, L"", 1, L"aaaa0001", 1)}, {}),
      ROW({Line(RunMode::Auto, L"15", 2, L"aaaa0001", 1)}, {}),
      ROW({Line(RunMode::Check, L"", 2, L"aaaa0001", 1)}, {}),
      // A machine whose MachineGuid is unknown cannot be told from another.
      ROW({Line(RunMode::Auto, L"", 2, L"", 1)}, {}),
      ROW({Line(RunMode::Auto, L"", 2, L"aaaa0001", 1), Line(RunMode::Auto, L"15", 0, L"aaaa0001", 2)}, {}),
      ROW({Line(RunMode::Auto, L"", 2, L"aaaa0001", 1), Line(RunMode::Number, L"15", 0, L"bbbb0002", 2)},
          {L"PC-aaaa0001"}),
      // A refused seat's run does not clear it; a later give-up is the one listed, once.
      ROW({Line(RunMode::Auto, L"", 2, L"aaaa0001", 1), Line(RunMode::Number, L"15", 3, L"aaaa0001", 2)},
          {L"PC-aaaa0001"}),
      ROW({Line(RunMode::Auto, L"", 2, L"bbbb0002", 3), Line(RunMode::Auto, L"", 2, L"aaaa0001", 4),
           Line(RunMode::Auto, L"15", 0, L"bbbb0002", 5), Line(RunMode::Auto, L"", 2, L"bbbb0002", 6)},
          {L"PC-aaaa0001", L"PC-bbbb0002"}),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    RunLog log;
    log.entries = row.lines;
    std::vector<std::wstring> names;
    for (const LogEntry* entry : UnsetMachines(log)) names.push_back(entry->record.hostName);
    EXPECT_EQ(names, row.unset);
  }
  const LogEntry gaveUp = Line(RunMode::Auto, L"", 2, L"aaaa0001", 1);
  EXPECT_EQ(UnsetMachineText(gaveUp), L"PC-aaaa0001(机器码 aaaa0001) 2026-12-08 09:01:00: 没有网卡");
}

}  // namespace
}  // namespace vexa
