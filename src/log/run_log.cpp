#include "log/run_log.h"

#include <algorithm>
#include <cstring>

#include "common/fingerprint.h"
#include "common/text.h"
#include "common/utf8.h"
#include "platform/owned.h"
#include "registry/machine_guid.h"

namespace vexa {

namespace {

// The pauses between tries for the lock: from about 10 ms, half as long again after each try up to
// 250 ms, each drawn between half and all of that, so that machines started together do not knock in step
// (over a share every try is a request to the server). A run keeps its handle while it waits: a try is
// one lock request, not an open and a close.
class Backoff {
 public:
  explicit Backoff(std::uint32_t seed) : state_(seed | 1u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;  // xorshift32
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    const std::uint32_t pause = step_ / 2 + state_ % (step_ / 2 + 1);
    step_ = std::min<std::uint32_t>(step_ * 3 / 2, kLongest);
    return pause;
  }

 private:
  static constexpr std::uint32_t kLongest = 250;
  std::uint32_t state_;
  std::uint32_t step_ = 10;
};

}  // namespace

HeldLog::HeldLog(Platform& platform, const LogPlace& place, std::uint32_t wait)
    : platform_(platform),
      place_(place),
      path_(LogFilePath(place)),
      deadline_(platform.system.MillisecondsSinceBoot() + wait),
      file_(platform.files) {
  // Every line says which machine wrote it, by fingerprints (the identifiers stay on the machine); read
  // before the lock is asked for.
  machine_ = MachinePrints{GuidPrint(), Fingerprint(platform.system.MachineSid())};
  Files& files = platform.files;
  System& system = platform.system;
  Backoff backoff(system.ProcessId() * 2654435761u ^ static_cast<std::uint32_t>(system.MillisecondsSinceBoot()));
  for (int rotations = 0;;) {
    if (!file_) {
      const Files::Opened opened = files.OpenShared(path_.c_str());
      if (opened.status == Files::Open::Failed) return;  // NotWritable
      if (opened.status == Files::Open::Link) {
        state_ = LockState::Link;
        return;
      }
      if (opened.status == Files::Open::Opened) file_.reset(opened.file);
    }
    locked_ = file_ && files.TryLock(file_.get());
    // Another run may have moved this file to .old while this one waited for the lock: the new log is tried.
    if (locked_ && !files.IsFileAt(file_.get(), path_.c_str())) {
      LetGo();
      if (system.MillisecondsSinceBoot() < deadline_) continue;
    }
    if (locked_) {
      const Settled settled = Settle(rotations);
      if (settled == Settled::Rotated) {
        LetGo();  // the next open makes the new log
        continue;
      }
      if (settled != Settled::Ready) LetGo();
      state_ = settled == Settled::Ready  ? LockState::Held
               : settled == Settled::Link ? LockState::Link
                                          : LockState::NotWritable;
      return;
    }
    const std::uint64_t now = system.MillisecondsSinceBoot();
    if (now >= deadline_) {
      LetGo();
      state_ = LockState::Busy;
      return;
    }
    system.Sleep(static_cast<std::uint32_t>(std::min<std::uint64_t>(backoff.Next(), deadline_ - now)));
  }
}

HeldLog::Settled HeldLog::Settle(int& rotations) {
  Files& files = platform_.files;
  if (!IsPlainFileOf(files, file_.get(), kLogName)) return Settled::Link;
  // Only the head and the last byte are read here: the lock is held no longer than the run needs it.
  const std::optional<std::uint64_t> size = files.SizeOf(file_.get());
  if (!size) return Settled::Unusable;  // not even its size can be had through its own handle
  size_ = *size;
  const std::string head = files.ReadAt(file_.get(), 0, kUtf8Mark.size()).bytes;
  last_ = size_ == 0 ? '\n' : files.ReadAt(file_.get(), size_ - 1, 1).bytes.append(1, '\n').front();
  // Not the tool's: a person's re-save (no UTF-8 mark: ANSI, UTF-16, or UTF-8 Notepad saved anew), or a
  // file grown and never filled (a NUL at its end).
  const bool foreign = size_ != 0 && (head != kUtf8Mark || last_ == '\0');
  if (size_ <= kLogLimit && !foreign) return Settled::Ready;
  if (rotations++ < 3 && files.MoveOver(path_.c_str(), (path_ + ".old").c_str()) == MoveStatus::Moved) {
    return Settled::Rotated;
  }
  // .old cannot be replaced: the log is begun anew rather than grow without bound or mix encodings.
  if ((foreign || size_ > 2 * kLogLimit) && files.Truncate(file_.get())) {
    size_ = 0;
    last_ = '\n';
  }
  return Settled::Ready;
}

void HeldLog::LetGo() {
  text_.reset();
  if (locked_) platform_.files.Unlock(file_.get());
  locked_ = false;
  file_.reset();
}

void HeldLog::Release() {
  LetGo();
  state_ = LockState::Released;
}

std::wstring HeldLog::GuidPrint() const { return Fingerprint(platform_.text.ToAnsi(ReadMachineGuid(platform_))); }

const LogText& HeldLog::Read() {
  if (text_) return *text_;
  // Unheld, the files are read as they stand, within what is left of the one wait.
  LogText& text = text_.emplace();
  ReadLogFile(platform_, path_ + ".old", deadline_, text);
  if (locked_ && size_ > kLogReadLimit) {
    text.unreadable.push_back(TooLargeText(platform_.text.FromAnsi(path_)));
  } else if (locked_) {
    FileRead read = platform_.files.ReadAt(file_.get(), 0, static_cast<std::size_t>(size_));
    if (read.ok()) {
      AddLogBytes(platform_.text, std::move(read.bytes), text);
    } else {
      text.unreadable.push_back(platform_.text.FromAnsi(path_) + L": " + ReadFailureText(read.status));
    }
  } else {
    ReadLogFile(platform_, path_, deadline_, text);
  }
  return text;
}

LogResult HeldLog::Append(const RunRecord& record) {
  if (!locked_) {
    return state_ == LockState::Busy   ? LogResult::Busy
           : state_ == LockState::Link ? LogResult::Link
                                       : LogResult::NotWritable;
  }
  // A torn last line (a machine switched off while writing) is left as it is: this line begins on its own.
  std::string bytes = size_ == 0 ? std::string(kUtf8Mark) : last_ != '\n' ? "\r\n" : "";
  bytes += ToUtf8(LogLine(platform_.system.Now(), record, &machine_)) + "\r\n";
  Files& files = platform_.files;
  if (!files.Append(file_.get(), bytes) || !files.Flush(file_.get())) return LogResult::NotWritable;
  size_ += bytes.size();
  last_ = '\n';
  return LogResult::Appended;
}

LogResult AppendRunLog(Platform& platform, const LogPlace& place, const RunRecord& record, std::uint32_t wait) {
  HeldLog log(platform, place, wait);
  return log.Append(record);
}

}  // namespace vexa
