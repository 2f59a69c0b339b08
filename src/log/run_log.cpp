#include "log/run_log.h"

#include <algorithm>

#include "common/exit_codes.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"
#include "config/ini_file.h"
#include "platform/owned.h"

namespace vexa {

namespace {

// The columns after time, mode and outcome, each with its label; then the exit code and the tail.
constexpr std::wstring_view kLabels[] = {L"机号=", L"计算机名=", L"IP=", L"网卡=", L"地址=", L"未写入="};
constexpr std::wstring_view kExitCodeLabel = L"退出码=";
constexpr std::wstring_view kListSeparator = L", ";
// Longer than any line the tool writes (a card description is at most 255 characters).
constexpr std::size_t kMaxLineLength = 4096;

constexpr std::pair<RunMode, std::wstring_view> kModeNames[] = {
    {RunMode::Window, L"窗口"}, {RunMode::Auto, L"/auto"}, {RunMode::Number, L"/n"}, {RunMode::Check, L"/check"}};

std::wstring_view ModeName(RunMode mode) {
  for (const auto& [m, name] : kModeNames) {
    if (m == mode) return name;
  }
  return L"";
}

constexpr std::uint32_t kRetryMilliseconds = 25;

std::string LogPath(const LogPlace& place) { return PathIn<char>(place.folder, kLogName); }

// The log's lock, let go on every path out (closing the handle would let go of it too, but later).
class LogLock {
 public:
  explicit LogLock(const UniqueFile& log) : log_(log), locked_(log.service().TryLock(log.get())) {}
  ~LogLock() {
    if (locked_) log_.service().Unlock(log_.get());
  }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;
  explicit operator bool() const { return locked_; }

 private:
  const UniqueFile& log_;
  bool locked_;
};

enum class Attempt { Appended, Rotated, Busy, NotWritable, Link };

LogResult ResultOf(Attempt attempt) {
  switch (attempt) {
    case Attempt::Busy: return LogResult::Busy;
    case Attempt::Link: return LogResult::Link;
    default: break;
  }
  return LogResult::NotWritable;
}

// One try at appending line under the log's lock.
Attempt TryAppend(Files& files, const std::string& path, std::string_view line) {
  const Files::Opened opened = files.OpenShared(path.c_str());
  switch (opened.status) {
    case Files::Open::Opened: break;
    case Files::Open::Busy: return Attempt::Busy;
    case Files::Open::Link: return Attempt::Link;
    case Files::Open::Failed: return Attempt::NotWritable;
  }
  const UniqueFile log(files, opened.file);
  if (!files.IsPlainFile(log.get(), kLogName)) return Attempt::Link;
  const LogLock lock(log);
  if (!lock) return Attempt::Busy;
  // Another run may have moved this file to .old while this one waited for the lock.
  if (!files.IsFileAt(log.get(), path.c_str())) return Attempt::Busy;
  std::uint64_t size = files.SizeOf(log.get()).value_or(0);
  const std::string head = files.ReadHead(log.get(), 2);
  const bool utf16 = head == kUtf16LeMark || head == kUtf16BeMark;
  if (size > kLogLimit || utf16) {
    if (files.MoveOver(path.c_str(), (path + ".old").c_str())) return Attempt::Rotated;
    // .old cannot be replaced: the log is begun anew rather than grow without bound or mix encodings.
    if ((utf16 || size > 2 * kLogLimit) && files.Truncate(log.get())) size = 0;
  }
  std::string bytes(size == 0 ? kUtf8Mark : "");
  bytes += line;
  return files.Append(log.get(), bytes) ? Attempt::Appended : Attempt::NotWritable;
}

// A field's text with every control character (TAB, CR, LF and the rest below U+0020, and DEL) a blank.
std::wstring Field(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c < L' ' || c == 0x7F) c = L' ';
  }
  return out;
}

}  // namespace

std::wstring LogStamp(const LocalTime& t) {
  auto n = [](int value, std::size_t width) { return ZeroPadded(static_cast<unsigned>(value), width); };
  return n(t.year, 4) + L"-" + n(t.month, 2) + L"-" + n(t.day, 2) + L" " + n(t.hour, 2) + L":" + n(t.minute, 2) + L":" +
         n(t.second, 2);
}

namespace {

// The time of a stamp as Stamp writes it ("2026-12-01 10:00:00"), when it is one and a valid time.
std::optional<LocalTime> StampOf(std::wstring_view stamp) {
  constexpr std::wstring_view kShape = L"0000-00-00 00:00:00";
  if (stamp.size() != kShape.size()) return std::nullopt;
  int parts[6] = {};
  int part = 0;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != L'0') {
      if (stamp[i] != kShape[i]) return std::nullopt;
      ++part;
    } else if (IsDigit(stamp[i])) {
      parts[part] = parts[part] * 10 + (stamp[i] - L'0');
    } else {
      return std::nullopt;
    }
  }
  const LocalTime t{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
  const bool valid =
      t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
  return valid ? std::optional<LocalTime>(t) : std::nullopt;
}

// The fields of a line split at its TABs.
std::vector<std::wstring_view> Fields(std::wstring_view line) {
  std::vector<std::wstring_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t end = line.find(L'\t', start);
    fields.push_back(line.substr(start, end == std::wstring_view::npos ? end : end - start));
    if (end == std::wstring_view::npos) return fields;
    start = end + 1;
  }
}

}  // namespace

std::wstring LogLine(const LocalTime& t, const RunRecord& r) {
  const std::wstring values[] = {r.number, r.hostName, r.ipAddress,
                                 r.card,   r.address,  JoinWith(r.notWritten, kListSeparator)};
  std::wstring line = LogStamp(t) + L"\t" + std::wstring(ModeName(r.mode)) + L"\t" + Field(r.outcome);
  for (std::size_t i = 0; i < std::size(kLabels); ++i) line += L"\t" + std::wstring(kLabels[i]) + Field(values[i]);
  if (r.exitCode) line += L"\t" + std::wstring(kExitCodeLabel) + std::to_wstring(*r.exitCode);
  if (r.inPlace && !r.address.empty()) line += L"\t" + Field(r.address) + L"=" + Field(r.number);
  return line;
}

LogEntry ParseLogLine(std::wstring_view line, bool complete) {
  LogEntry entry;
  if (!complete) {
    entry.fault = LogEntry::Fault::Torn;
    return entry;
  }
  if (line.size() > kMaxLineLength) {
    entry.fault = LogEntry::Fault::TooLong;
    return entry;
  }
  entry.fault = LogEntry::Fault::Foreign;
  const std::vector<std::wstring_view> fields = Fields(line);
  const std::size_t columns = 3 + std::size(kLabels);
  if (fields.size() < columns || fields.size() > columns + 2) return entry;
  const std::optional<LocalTime> time = StampOf(fields[0]);
  const auto mode =
      std::find_if(std::begin(kModeNames), std::end(kModeNames), [&](const auto& m) { return m.second == fields[1]; });
  if (!time || mode == std::end(kModeNames)) return entry;
  std::wstring* values[] = {&entry.record.number, &entry.record.hostName, &entry.record.ipAddress,
                            &entry.record.card,   &entry.record.address,  nullptr};
  std::wstring_view notWritten;
  for (std::size_t i = 0; i < std::size(kLabels); ++i) {
    const std::wstring_view field = fields[3 + i];
    if (field.substr(0, kLabels[i].size()) != kLabels[i]) return entry;
    const std::wstring_view value = field.substr(kLabels[i].size());
    if (values[i] != nullptr) {
      values[i]->assign(value);
    } else {
      notWritten = value;
    }
  }
  for (std::size_t start = 0; !notWritten.empty();) {
    const std::size_t end = notWritten.find(kListSeparator, start);
    entry.record.notWritten.emplace_back(notWritten.substr(start, end == std::wstring_view::npos ? end : end - start));
    if (end == std::wstring_view::npos) break;
    start = end + kListSeparator.size();
  }
  std::size_t next = columns;
  if (next < fields.size() && fields[next].substr(0, kExitCodeLabel.size()) == kExitCodeLabel) {
    const std::wstring_view code = fields[next++].substr(kExitCodeLabel.size());
    if (code.empty() || code.size() > 2 || !std::all_of(code.begin(), code.end(), IsDigit)) return entry;
    int value = 0;
    for (wchar_t digit : code) value = value * 10 + (digit - L'0');
    entry.record.exitCode = value;
  }
  if (next < fields.size()) {
    // The tail repeats the address and number columns: a tail that says otherwise was not written by the tool.
    const RunRecord& r = entry.record;
    const std::wstring_view tail = fields[next];
    const bool repeats = tail.size() == r.address.size() + 1 + r.number.size() && tail.starts_with(r.address) &&
                         tail[r.address.size()] == L'=' && tail.ends_with(r.number);
    if (r.address.empty() || !repeats || ++next != fields.size()) return entry;
    entry.record.inPlace = true;
  }
  entry.time = *time;
  entry.record.mode = mode->first;
  entry.record.outcome = fields[2];
  entry.fault = LogEntry::Fault::None;
  return entry;
}

LogPlace PlaceOfLog(Platform& platform, const IniFile::ConfigFile& config) {
  LogPlace place{platform.system.ModuleDirectory(), L""};
  const std::wstring named =
      IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kLogSection, IniFile::kLogFolderKey, L"");
  if (named.empty()) return place;
  const std::string folder = platform.text.ToAnsi(named);
  if (platform.files.IsFolder(folder.c_str())) {
    place.folder = folder;
  } else {
    place.unreachable = named;
  }
  return place;
}

std::wstring RunLogPath(Platform& platform, const LogPlace& place) { return platform.text.FromAnsi(LogPath(place)); }

LogResult AppendRunLog(Platform& platform, const LogPlace& place, const RunRecord& record) {
  const std::string path = LogPath(place);
  const std::string line = ToUtf8(LogLine(platform.system.Now(), record)) + "\r\n";
  const std::uint64_t deadline = platform.system.MillisecondsSinceBoot() + kLogWaitMilliseconds;
  for (int rotations = 0;;) {
    const Attempt attempt = TryAppend(platform.files, path, line);
    if (attempt == Attempt::Rotated && ++rotations < 3) continue;  // the next attempt opens the new log
    if (attempt != Attempt::Busy) return attempt == Attempt::Appended ? LogResult::Appended : ResultOf(attempt);
    if (platform.system.MillisecondsSinceBoot() >= deadline) return LogResult::Busy;
    platform.system.Sleep(kRetryMilliseconds);
  }
}

bool LogEntry::Vouches() const {
  const bool wrote = !record.exitCode || *record.exitCode == exit_code::kDone ||
                     *record.exitCode == exit_code::kRestartRefused || *record.exitCode == exit_code::kNotInEffect;
  return fault == Fault::None && record.mode != RunMode::Check && record.inPlace && record.notWritten.empty() &&
         wrote && MachineNumberOf(record.number).has_value();
}

namespace {

// Why a file's bytes are no log of this tool's, or nothing. Only the last line may be cut short (and in
// the middle of a character): the rest must be UTF-8.
std::optional<std::wstring_view> NotUtf8(std::string_view bytes) {
  if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark) ||
      bytes.find('\0') != std::string_view::npos) {
    return L"不是 UTF-8 文本(被另存为 Unicode 了)";
  }
  if (!IsUtf8(bytes.substr(0, bytes.rfind('\n') + 1))) return L"不是 UTF-8 文本(被另存为 ANSI 了)";
  return std::nullopt;
}

void ReadLines(std::string_view bytes, RunLog& log) {
  if (StartsWith(bytes, kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
    const bool ended = end != std::string_view::npos && !line.empty() && line.back() == '\r';
    if (ended) line.remove_suffix(1);
    start = end == std::string_view::npos ? bytes.size() : end + 1;
    if (line.empty() && end != std::string_view::npos) continue;
    // A line that ends in a bare LF was not written by the tool; one without any end was cut short.
    LogEntry entry = ParseLogLine(FromUtf8(line), end != std::string_view::npos);
    if (!ended && end != std::string_view::npos) entry.fault = LogEntry::Fault::Foreign;
    switch (entry.fault) {
      case LogEntry::Fault::None: log.entries.push_back(std::move(entry)); break;
      case LogEntry::Fault::Torn: ++log.torn; break;
      case LogEntry::Fault::TooLong: ++log.tooLong; break;
      case LogEntry::Fault::Foreign: ++log.foreign; break;
    }
  }
}

}  // namespace

RunLog ReadRunLog(Platform& platform, const LogPlace& place) {
  const std::string path = LogPath(place);
  RunLog log;
  for (const std::string& file : {path + ".old", path}) {
    const std::optional<std::uint64_t> size = platform.files.FileSize(file.c_str());
    if (!size) continue;
    const std::wstring name = platform.text.FromAnsi(file) + L": ";
    if (*size > kLogReadLimit) {
      log.unreadable.push_back(name + L"大于 " + std::to_wstring(kLogReadLimit / 1024) +
                               L" KB,不是本程序写成的日志(本程序的日志不会超过这个大小)");
      continue;
    }
    const std::optional<std::string> bytes = platform.files.ReadWholeFile(file.c_str(), kLogReadLimit);
    if (!bytes) {
      log.unreadable.push_back(name + L"无法读取(被其他程序占用或没有权限)");
      continue;
    }
    if (const auto reason = NotUtf8(*bytes)) {
      log.unreadable.push_back(name + std::wstring(*reason));
      continue;
    }
    ReadLines(*bytes, log);
  }
  return log;
}

RestartRequests FindRestartRequests(const RunLog& log, const std::wstring& hostName) {
  RestartRequests requests;
  const std::wstring wanted = Field(hostName);
  for (const LogEntry& entry : log.entries) {
    const RunRecord& r = entry.record;
    if (r.hostName != wanted || r.outcome.find(kRestartRequested) == std::wstring::npos) continue;
    requests.last = entry.time;
    // A run that wrote starts a new rename: only the retries after it count.
    const bool retry = r.outcome.rfind(kAlreadyInPlace, 0) == 0;
    requests.retries = retry ? requests.retries + 1 : 0;
  }
  return requests;
}

std::int64_t SecondsOf(const LocalTime& t) {
  // Days from the civil date (proleptic Gregorian calendar).
  const int y = t.year - (t.month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (t.month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + t.day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = std::int64_t{era} * 146097 + doe - 719468;
  return days * 86400 + std::int64_t{t.hour} * 3600 + std::int64_t{t.minute} * 60 + t.second;
}

}  // namespace vexa
