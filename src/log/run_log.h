// The shared log, VexaIpSet.log (beside config.ini, or in [Log] Folder=): one line for each OK press in the
// window and each run without it, in UTF-8 with a byte-order mark so that Notepad shows it on any
// Windows, appended under a lock that every run of every machine takes. The line is log/log_line.h's, the
// reading of both files log/log_text.h's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/log_line.h"
#include "log/log_text.h"
#include "platform/owned.h"
#include "platform/platform.h"

namespace vexa {

// What became of a run's line.
enum class LogResult {
  Appended,
  NotWritable,  // a read-only share, a CD, no rights, a share that stopped answering
  Busy,         // held by another program or locked for longer than the wait
  Link,         // a hard link, a reparse point, or a link to another file: never written by this elevated tool
};

// Where a HeldLog stands with its lock: held, or why not (Released once let go, whatever it was before).
enum class LockState { Held, Busy, NotWritable, Link, Released };

// The log held under the exclusive lock that every run of every machine takes (appends of two machines
// over a share may otherwise overwrite each other), from the reading of what the cafe did to the run's own
// line: a number's check and the write that claims it are one step for the whole cafe. Taking it waits up
// to wait milliseconds, trying again after pauses that grow and differ from run to run; under the lock the file is
// still the one the log's name leads to and a plain file (a link is never written by this elevated tool), and a log
// past kLogLimit, or one a person re-saved (it lacks the UTF-8 mark the tool begins every log with) or that ends in NUL
// bytes, is moved to .old first (or, when .old cannot be replaced, emptied rather than grown without bound or mixed).
class HeldLog {
 public:
  HeldLog(Platform& platform, const LogPlace& place, std::uint32_t wait = kLogWaitMilliseconds);
  HeldLog(const HeldLog&) = delete;
  HeldLog& operator=(const HeldLog&) = delete;
  ~HeldLog() { LetGo(); }

  LockState State() const { return state_; }
  bool Held() const { return state_ == LockState::Held; }
  // .old and the log as they stand: while held, nobody appends or rotates between the two reads. Read
  // once, when first asked for (a run that needs no line of it does not pay for it under the lock).
  const LogText& Read();
  // The line at the log's end on a line of its own (after a torn one too), flushed to the disk before it
  // returns; the lock stays held. Not held: why the line could not go there.
  LogResult Append(const RunRecord& record);
  // Lets go of the lock and the file; the state is Released.
  void Release();
  // This machine's fingerprints, as its lines carry them; MachineGuid's read again after a run changed it.
  const MachinePrints& Machine() const { return machine_; }
  void MachineGuidChanged() { machine_.machineGuid = GuidPrint(); }

 private:
  // Under the lock: the log's size and last byte taken, and a log that must make way for a new one (full,
  // re-saved by a person, ending in NUL) moved to .old (Rotated) or, when .old cannot be replaced, emptied.
  enum class Settled { Ready, Rotated, Link, Unusable };
  Settled Settle(int& rotations);
  void LetGo();  // the lock and the file, the state left as it is
  std::wstring GuidPrint() const;

  Platform& platform_;
  LogPlace place_;
  std::string path_;
  std::uint64_t deadline_ = 0;
  UniqueFile file_;
  bool locked_ = false;
  std::optional<LogText> text_;
  std::uint64_t size_ = 0;  // the log's size while held
  char last_ = '\n';        // its last byte ('\n' when empty)
  MachinePrints machine_;   // this machine's, for its lines
  LockState state_ = LockState::NotWritable;
};

// One line appended under the lock (HeldLog for a run that reads nothing first).
LogResult AppendRunLog(Platform& platform, const LogPlace& place, const RunRecord& record,
                       std::uint32_t wait = kLogWaitMilliseconds);

}  // namespace vexa
