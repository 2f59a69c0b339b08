// A run's turn at the shared log, for the path of apply_run: the log held (the one config.ini names, or
// beside config.ini when the run may keep its line there), a run's line appended with the note on where it
// went, and the restart asked only once its line is flushed.
#pragma once

#include <optional>
#include <string>

#include "apply/confirmer.h"
#include "apply/outcome.h"
#include "apply/run_context.h"
#include "log/run_log.h"

namespace vexa {

// The log a run's line goes to: where it is, the lock on it, and why it is not where config.ini says.
struct LineLog {
  LogPlace place;
  std::optional<HeldLog> held;
  std::wstring elsewhere;  // config.ini's folder not used, and why, as the note begins it
};

// The log at place, taken within the run's wait.
void Take(RunContext& run, LineLog& log, const LogPlace& place);

// The record a run's line is written from.
RunRecord RecordOf(RunMode mode, const Outcome& out, std::wstring outcomeText);
// The record appended; out says where it went and how (LogNote).
void Append(RunContext& run, LineLog& log, const RunRecord& record, Outcome& out);
// The outcome's own line.
void Log(RunContext& run, LineLog& log, Outcome& out);
// A refusal's line, under a lock of its own.
void LogRefusal(RunContext& run, LineLog& log, Outcome& out);
// The run's line first, flushed, then the restart: the machine may go down as soon as it is asked, and a
// request the log does not hold could be made again by the next run (mustRecord: then it is not made at
// all). When Windows refuses, a second line says so: the log's last word on a run is the exit code it
// returns.
void LogAndRestart(RunContext& run, LineLog& log, bool restart, bool mustRecord, Outcome& out);

// Whether this run holds the log it must write under, waits once more (the confirmer asked for it), or is
// refused: nothing is written without the lock, neither the registry nor the line, and nothing is restarted.
// Without [Log] Folder= the log beside config.ini is a record: only a busy one (another run is writing)
// stops a run. With it, the cafe's log is the guard: a number a person gave waits for its lock or is
// refused; a run whose number the table decides keeps its line beside config.ini instead.
enum class Turn { Held, Again, Refused };
Turn TakeTurn(RunContext& run, LineLog& log, Confirmer& confirmer, Outcome& out);

}  // namespace vexa
