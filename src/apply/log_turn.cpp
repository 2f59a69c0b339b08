#include "apply/log_turn.h"

#include "apply/outcome_texts.h"
#include "apply/shut_down.h"
#include "common/exit_codes.h"

namespace vexa {

RunRecord RecordOf(RunMode mode, const Outcome& out, std::wstring outcomeText) {
  RunRecord record;
  record.mode = mode;
  record.outcome = std::move(outcomeText);
  record.number = out.settings.NumberText;
  record.hostName = out.settings.HostName;
  record.ipAddress = out.settings.IpAddress;
  record.card = out.card;
  record.address = out.address;
  record.notWritten = out.report.notWritten;
  record.inPlace =
      out.kind == Outcome::Kind::InPlace || (out.kind == Outcome::Kind::Written && out.report.networkWritten);
  record.exitCode = ExitCodeOf(out);
  return record;
}

void Take(RunContext& run, LineLog& log, const LogPlace& place) {
  log.place = place;
  log.held.emplace(run.platform, place, run.options.logWait);
}

void Append(RunContext& run, LineLog& log, const RunRecord& record, Outcome& out) {
  out.log = log.held->Append(record);
  out.logPath = RunLogPath(run.platform, log.place);
  out.logNote = LogNote(log.elsewhere, out.log, out.logPath, run.options.logWait, false);
}

namespace {

// An /undo's line for one card: its values, its exit code (the run's when the restart was refused).
RunRecord UndoRecord(const Outcome& out, const UndoneCard& card, bool last) {
  RunRecord record = RecordOf(RunMode::Undo, out, UndoOutcome(card, out.restart, last));
  record.number = card.number;
  record.ipAddress = card.ipAddress;
  record.card = card.card;
  record.address = card.address;
  record.notWritten = card.notRestored;
  record.inPlace = false;
  record.exitCode = !card.notRestored.empty()              ? exit_code::kNotAllWritten
                    : out.restart == RestartState::Refused ? exit_code::kRestartRefused
                                                           : exit_code::kDone;
  return record;
}

}  // namespace

void Log(RunContext& run, LineLog& log, Outcome& out) {
  if (out.kind != Outcome::Kind::Undone || out.undone.empty()) {
    Append(run, log, RecordOf(run.options.mode, out, LogOutcome(out)), out);
    return;
  }
  // One line a card: each ends that card's claim.
  for (std::size_t i = 0; i < out.undone.size(); ++i) {
    Append(run, log, UndoRecord(out, out.undone[i], i + 1 == out.undone.size()), out);
  }
}

void LogRefusal(RunContext& run, LineLog& log, Outcome& out) {
  Take(run, log, log.place);
  Log(run, log, out);
}

void LogAndRestart(RunContext& run, LineLog& log, bool restart, bool mustRecord, Outcome& out) {
  if (restart) out.restart = RestartState::Requested;
  Log(run, log, out);
  log.held->Release();  // never held while the machine goes down
  if (!restart) return;
  if (mustRecord && !out.Logged()) {
    out.restart = RestartState::Unrecorded;
    return;
  }
  if (ShutDown::RequestReboot(run.platform.restart)) return;
  out.restart = RestartState::Refused;
  if (out.Logged()) LogRefusal(run, log, out);
}

Turn TakeTurn(RunContext& run, LineLog& log, Confirmer& confirmer, Outcome& out) {
  Platform& platform = run.platform;
  const LogPlace& place = run.logPlace;
  const bool unreached = !place.unreachable.empty();
  const bool cafeGuards = place.named && run.options.typedNumber;
  log.place = place;
  log.elsewhere = LogFolderProblem(place);
  LockState state = LockState::NotWritable;
  if (!(cafeGuards && unreached)) {
    Take(run, log, place);
    state = log.held->State();
    if (state == LockState::Held) return Turn::Held;
  }
  std::wstring path = RunLogPath(platform, log.place);
  std::wstring why =
      LockProblemText(state, platform.files.IsFolder(LogFilePath(log.place).c_str()), run.options.logWait);
  if (place.named && !cafeGuards && !unreached) {
    log.elsewhere = L"网吧的日志 " + path + why + L",";
    Take(run, log, BesideConfig(platform));
    state = log.held->State();
    path = RunLogPath(platform, log.place);
  }
  if (!cafeGuards && state != LockState::Busy) return Turn::Held;  // a record: the run goes on without it
  const bool busy = state == LockState::Busy && !unreached;
  if (cafeGuards && unreached) {
    path = place.unreachable + L"\\" + platform.text.FromAnsi(kLogName);
    why = L" " + (place.why.empty() ? std::wstring(L"无法访问") : place.why);
  }
  if (confirmer.WaitLonger(WaitQuestion(busy, path, why))) {
    run.logPlace = PlaceOfLog(platform, run.venue.file);  // a share may answer again
    return Turn::Again;
  }
  out.kind = Outcome::Kind::Refused;
  out.refusal = Refusal::NoLogLock;
  out.notice = {L"", busy ? LogBusyText(path, run.options.logWait) : CafeLogRefusalText(path, why)};
  out.log = busy ? LogResult::Busy : LogResult::NotWritable;
  out.logPath = path;
  if (!cafeGuards) out.logNote = LogNote(log.elsewhere, out.log, path, run.options.logWait, true);
  return Turn::Refused;
}

}  // namespace vexa
