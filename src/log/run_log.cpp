#include "log/run_log.h"

#include <algorithm>
#include <cctype>
#include <cstring>

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
constexpr std::wstring_view kVersionLabel = L"版本=";
constexpr std::wstring_view kListSeparator = L", ";
// Longer than any line the tool writes (a card description is at most 255 characters).
constexpr std::size_t kMaxLineLength = 4096;
constexpr std::uint32_t kRetryMilliseconds = 25;

std::string LogPath(const LogPlace& place) { return PathIn<char>(place.folder, kLogName); }

constexpr std::pair<RunMode, std::wstring_view> kModeNames[] = {
    {RunMode::Window, L"窗口"}, {RunMode::Auto, L"/auto"}, {RunMode::Number, L"/n"}, {RunMode::Check, L"/check"}};

std::wstring_view ModeName(RunMode mode) {
  for (const auto& [m, name] : kModeNames) {
    if (m == mode) return name;
  }
  return L"";
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

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

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
  const bool valid = t.year >= 1970 && t.year <= 2999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                     t.day <= DaysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
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

// The items of a list column ("IPX 网络号, 游戏序列号"); none when it is empty.
std::vector<std::wstring> ListItems(std::wstring_view list) {
  std::vector<std::wstring> items;
  for (std::size_t start = 0; !list.empty();) {
    const std::size_t end = list.find(kListSeparator, start);
    items.emplace_back(list.substr(start, end == std::wstring_view::npos ? end : end - start));
    if (end == std::wstring_view::npos) break;
    start = end + kListSeparator.size();
  }
  return items;
}

// The tool's start of a line whose rest is missing (a time and a mode checked by the caller, then labelled
// columns): cut short while being written, and a line end written after it by the next run.
bool IsCutShort(const std::vector<std::wstring_view>& fields) {
  for (std::size_t i = 3; i + 1 < fields.size(); ++i) {
    if (!fields[i].starts_with(kLabels[i - 3])) return false;
  }
  return true;
}

// A version as the tool writes it: "1.1.0", "1.1.0-dev+1a2b3c4".
bool IsVersion(std::wstring_view text) {
  constexpr std::size_t kMaxVersion = 64;
  return !text.empty() && text.size() <= kMaxVersion && IsDigit(text.front()) &&
         std::all_of(text.begin(), text.end(),
                     [](wchar_t c) { return IsDigit(c) || IsAsciiLetter(c) || c == L'.' || c == L'-' || c == L'+'; });
}

// The optional columns after the labelled ones, each in its place: the exit code, the version, the
// [Machines] tail (which repeats the address and number columns: a tail that says otherwise was not written
// by the tool). False when one is not as the tool writes it.
bool ReadTrailingColumns(const std::vector<std::wstring_view>& fields, std::size_t next, RunRecord& r) {
  if (next < fields.size() && fields[next].starts_with(kExitCodeLabel)) {
    const std::wstring_view code = fields[next++].substr(kExitCodeLabel.size());
    if (code.empty() || code.size() > 2 || !std::all_of(code.begin(), code.end(), IsDigit)) return false;
    int value = 0;
    for (wchar_t digit : code) value = value * 10 + (digit - L'0');
    r.exitCode = value;
  }
  r.version.clear();
  if (next < fields.size() && fields[next].starts_with(kVersionLabel)) {
    const std::wstring_view version = fields[next++].substr(kVersionLabel.size());
    if (!IsVersion(version)) return false;
    r.version = version;
  }
  if (next < fields.size()) {
    const std::wstring_view tail = fields[next];
    const bool repeats = tail.size() == r.address.size() + 1 + r.number.size() && tail.starts_with(r.address) &&
                         tail[r.address.size()] == L'=' && tail.ends_with(r.number);
    if (r.address.empty() || !repeats || ++next != fields.size()) return false;
    r.inPlace = true;
  }
  return true;
}

}  // namespace

std::wstring LogLine(const LocalTime& t, const RunRecord& r) {
  const std::wstring values[] = {r.number, r.hostName, r.ipAddress,
                                 r.card,   r.address,  JoinWith(r.notWritten, kListSeparator)};
  std::wstring line = LogStamp(t) + L"\t" + std::wstring(ModeName(r.mode)) + L"\t" + Field(r.outcome);
  for (std::size_t i = 0; i < std::size(kLabels); ++i) line += L"\t" + std::wstring(kLabels[i]) + Field(values[i]);
  if (r.exitCode) line += L"\t" + std::wstring(kExitCodeLabel) + std::to_wstring(*r.exitCode);
  if (!r.version.empty()) line += L"\t" + std::wstring(kVersionLabel) + Field(r.version);
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
  const std::optional<LocalTime> time = StampOf(fields[0]);
  const auto mode = std::find_if(std::begin(kModeNames), std::end(kModeNames),
                                 [&](const auto& m) { return fields.size() > 1 && m.second == fields[1]; });
  if (!time || mode == std::end(kModeNames) || fields.size() > columns + 3) return entry;
  if (fields.size() < columns) {
    if (IsCutShort(fields)) entry.fault = LogEntry::Fault::Torn;
    return entry;
  }
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
  entry.record.notWritten = ListItems(notWritten);
  if (!ReadTrailingColumns(fields, columns, entry.record)) return entry;
  entry.time = *time;
  entry.record.mode = mode->first;
  entry.record.outcome = fields[2];
  entry.fault = LogEntry::Fault::None;
  return entry;
}

LogPlace PlaceOfLog(Platform& platform, const IniFile::ConfigFile& config) {
  LogPlace place{platform.system.ModuleDirectory(), L"", L""};
  const std::wstring named =
      IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kLogSection, IniFile::kLogFolderKey, L"");
  if (named.empty()) return place;
  // Windows' ANSI reader has already turned what code page 936 lacks into '?' or a look-alike: the
  // file's own text names the character.
  const std::wstring written = config.ValueAsWritten(IniFile::kLogSection, IniFile::kLogFolderKey).value_or(named);
  if (const std::optional<std::size_t> at = platform.text.FirstUnmappable(written)) {
    place.unreachable = written;
    place.why = L"含有 Windows(代码页 936)无法表示的字符" + UnmappableName(written, *at);
    return place;
  }
  // A start-up task runs in System32: a relative folder follows config.ini, not the current folder.
  const std::string folder = platform.text.ToAnsi(FullPathIn(platform.text.FromAnsi(place.folder), named));
  if (platform.files.IsFolder(folder.c_str())) {
    place.folder = folder;
  } else {
    place.unreachable = named;
  }
  return place;
}

std::wstring LogFolderProblem(const LogPlace& place) {
  if (place.unreachable.empty()) return L"";
  return L"日志文件夹 " + place.unreachable + (place.why.empty() ? L" 无法访问," : L" " + place.why + L",无法使用,");
}

std::wstring RunLogPath(Platform& platform, const LogPlace& place) { return platform.text.FromAnsi(LogPath(place)); }

bool LogEntry::Vouches() const {
  // A line of an earlier version has no exit code: its outcome must say the values were written or in place.
  const bool wrote = record.exitCode
                         ? *record.exitCode == exit_code::kDone || *record.exitCode == exit_code::kRestartRefused ||
                               *record.exitCode == exit_code::kNotInEffect
                         : record.outcome.starts_with(kWrittenOutcome) || record.outcome.starts_with(kAlreadyInPlace);
  return fault == Fault::None && record.mode != RunMode::Check && record.inPlace && record.notWritten.empty() &&
         wrote && MachineNumberOf(record.number).has_value();
}

namespace {

// The lines of a log's text, split at LF: each with whether it ended in CR LF and whether it had an end.
template <typename Char, typename Fn>
void ForEachLine(std::basic_string_view<Char> text, Fn&& fn) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(Char('\n'), start);
    std::basic_string_view<Char> line = text.substr(start, end == text.npos ? end : end - start);
    const bool hasEnd = end != text.npos;
    const bool ended = hasEnd && !line.empty() && line.back() == Char('\r');
    if (ended) line.remove_suffix(1);
    start = hasEnd ? end + 1 : text.size();
    if (line.empty() && hasEnd) continue;  // a blank line is neither read nor counted
    fn(line, ended, hasEnd);
  }
}

void Count(LogEntry entry, RunLog& log) {
  switch (entry.fault) {
    case LogEntry::Fault::None: log.entries.push_back(std::move(entry)); break;
    case LogEntry::Fault::Torn: ++log.torn; break;
    case LogEntry::Fault::TooLong: ++log.tooLong; break;
    case LogEntry::Fault::Foreign: ++log.foreign; break;
  }
}

// A log is written in UTF-8 (with its mark); one that a person re-saved as ANSI or Unicode is not. Only
// the last line may be cut short, in the middle of a character too.
bool IsUtf8Log(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) return true;
  if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) return false;
  return IsUtf8(bytes.substr(0, bytes.rfind('\n') + 1));
}

// A file larger than the tool lets a log grow, as the operator is told.
std::wstring TooLargeText(const std::wstring& name) {
  return name + L": 大于 " + std::to_wstring(kLogReadLimit / 1024) +
         L" KB,不是本程序写成的日志(本程序的日志不会超过这个大小)";
}

// One file's bytes as UTF-8 lines into text, or why it cannot be read whole; name: its path. A UTF-8 log
// is taken as it is (a line that is not UTF-8, such as a torn one cut inside a character, is skipped
// alone when read); an ANSI or UTF-16 one is decoded as Notepad saved it, once.
void AddLogBytes(TextCodec& codec, const std::wstring& name, std::string bytes, LogText& text) {
  if (!IsUtf8Log(bytes)) {
    bytes = ToUtf8(IniFile::DecodeText(codec, bytes, IniFile::DetectEncoding(bytes)));
  } else if (StartsWith(bytes, kUtf8Mark)) {
    bytes.erase(0, kUtf8Mark.size());
  }
  // No run of the tool writes a NUL: a crash or a power cut leaves them (a file grown but never filled).
  if (bytes.find('\0') != std::string::npos) {
    text.unreadable.push_back(name + L": 含有 NUL 字节(写入时断电或磁盘出错),无法读取全部记录");
    return;
  }
  text.files.push_back(std::move(bytes));
}

// One file of the log read whole into text, or why it could not be; a missing file holds no lines.
void ReadLogFile(Platform& platform, const std::string& path, std::uint64_t deadline, LogText& text) {
  FileRead read = ReadSharedFile(platform, path, kLogReadLimit, deadline);
  const std::wstring name = platform.text.FromAnsi(path);
  switch (read.status) {
    case ReadStatus::Read: AddLogBytes(platform.text, name, std::move(read.bytes), text); return;
    case ReadStatus::Missing: return;
    case ReadStatus::TooLarge: text.unreadable.push_back(TooLargeText(name)); return;
    default: text.unreadable.push_back(name + L": " + ReadFailureText(read.status)); return;
  }
}

}  // namespace

LogEntry ReadLogLine(std::string_view line, bool ended, bool hasEnd) {
  LogEntry entry = ParseLogLine(FromUtf8(line), hasEnd);
  // A line that ends in a bare LF, or is not UTF-8 (unless cut short inside a character), was not written
  // by the tool.
  const bool cut = entry.fault == LogEntry::Fault::Torn;
  if (hasEnd && (!ended || (!IsUtf8(line) && !cut))) entry.fault = LogEntry::Fault::Foreign;
  return entry;
}

RunLog LogText::Select(const std::function<bool(std::string_view)>& wanted) const {
  RunLog log;
  log.unreadable = unreadable;
  for (const std::string& file : files) {
    ForEachLine<char>(file, [&](std::string_view line, bool ended, bool hasEnd) {
      if (!wanted || wanted(line)) Count(ReadLogLine(line, ended, hasEnd), log);
    });
  }
  return log;
}

namespace {

// Where the line that ends at end begins: after the LF before it, or at 0. Eight bytes at a time until a
// word holds an LF (a full log is 2 MB of lines a hundred bytes and more long).
std::size_t LineStart(std::string_view text, std::size_t end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  constexpr std::uint64_t kLfs = kOnes * '\n';
  std::size_t start = end;
  while (start >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + start - 8, 8);
    const std::uint64_t x = word ^ kLfs;  // a zero byte where an LF was
    if (((x - kOnes) & ~x & kHighs) != 0) break;
    start -= 8;
  }
  while (start > 0 && text[start - 1] != '\n') --start;
  return start;
}

}  // namespace

void LogText::Backward(const std::function<bool(std::string_view, bool, bool)>& visit) const {
  for (auto file = files.rbegin(); file != files.rend(); ++file) {
    const std::string_view text(*file);
    std::size_t end = text.size();  // where the line ends, before its LF
    bool hasEnd = end > 0 && text[end - 1] == '\n';
    if (hasEnd) --end;
    for (;;) {
      const std::size_t start = LineStart(text, end);
      std::string_view line = text.substr(start, end - start);
      const bool ended = hasEnd && !line.empty() && line.back() == '\r';
      if (ended) line.remove_suffix(1);
      // A blank line is neither read nor counted, as going forward.
      if (!line.empty() && !visit(line, ended, hasEnd)) return;
      if (start == 0) break;
      end = start - 1;
      hasEnd = true;
    }
  }
}

LogText ReadLogText(Platform& platform, const LogPlace& place) {
  const std::string path = LogPath(place);
  const std::uint64_t deadline = platform.system.MillisecondsSinceBoot() + kLogWaitMilliseconds;
  LogText text;
  ReadLogFile(platform, path + ".old", deadline, text);
  ReadLogFile(platform, path, deadline, text);
  return text;
}

RunLog ReadRunLog(Platform& platform, const LogPlace& place) { return ReadLogText(platform, place).Select(nullptr); }

std::optional<LineTail> TailOfLine(std::string_view line) {
  // Read from the line's end: digits, '=', an address that ends in a hexadecimal digit, a TAB before it.
  // The tool's other columns that end in digits follow a label ("退出码=0"), never a hexadecimal digit.
  std::size_t digits = line.size();
  while (digits > 0 && line[digits - 1] >= '0' && line[digits - 1] <= '9') --digits;
  if (digits == line.size() || digits < 2 || line[digits - 1] != '=' ||
      !std::isxdigit(static_cast<unsigned char>(line[digits - 2]))) {
    return std::nullopt;
  }
  const std::size_t tab = line.rfind('\t', digits - 1);
  if (tab == std::string_view::npos) return std::nullopt;
  return LineTail{line.substr(tab + 1, digits - 1 - (tab + 1)), line.substr(digits)};
}

HeldLog::HeldLog(Platform& platform, const LogPlace& place)
    : platform_(platform),
      place_(place),
      path_(LogPath(place)),
      deadline_(platform.system.MillisecondsSinceBoot() + kLogWaitMilliseconds),
      file_(platform.files) {
  Files& files = platform.files;
  for (int rotations = 0;;) {
    const Files::Opened opened = files.OpenShared(path_.c_str());
    if (opened.status == Files::Open::Failed) return;  // NotWritable
    if (opened.status == Files::Open::Link) {
      state_ = LogResult::Link;
      return;
    }
    if (opened.status == Files::Open::Opened) {
      file_.reset(opened.file);
      locked_ = files.TryLock(file_.get());
    }
    // Another run may have moved this file to .old while this one waited for the lock: the new log is tried.
    if (locked_ && !files.IsFileAt(file_.get(), path_.c_str())) {
      Release();
      if (platform.system.MillisecondsSinceBoot() < deadline_) continue;
    }
    if (locked_) {
      const Settled settled = Settle(rotations);
      if (settled == Settled::Rotated) {
        Release();  // the next open makes the new log
        continue;
      }
      if (settled != Settled::Ready) Release();
      state_ = settled == Settled::Ready  ? LogResult::Appended
               : settled == Settled::Link ? LogResult::Link
                                          : LogResult::NotWritable;
      return;
    }
    Release();
    if (platform.system.MillisecondsSinceBoot() >= deadline_) {
      state_ = LogResult::Busy;
      return;
    }
    platform.system.Sleep(kRetryMilliseconds);
  }
}

HeldLog::Settled HeldLog::Settle(int& rotations) {
  Files& files = platform_.files;
  if (!files.IsPlainFile(file_.get(), kLogName)) return Settled::Link;
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

void HeldLog::Release() {
  text_.reset();
  if (locked_) platform_.files.Unlock(file_.get());
  locked_ = false;
  file_.reset();
}

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
      AddLogBytes(platform_.text, platform_.text.FromAnsi(path_), std::move(read.bytes), text);
    } else {
      text.unreadable.push_back(platform_.text.FromAnsi(path_) + L": " + ReadFailureText(read.status));
    }
  } else {
    ReadLogFile(platform_, path_, deadline_, text);
  }
  return text;
}

LogResult HeldLog::Append(const RunRecord& record) {
  if (!locked_) return state_;
  // A torn last line (a machine switched off while writing) is left as it is: this line begins on its own.
  std::string bytes = size_ == 0 ? std::string(kUtf8Mark) : last_ != '\n' ? "\r\n" : "";
  bytes += ToUtf8(LogLine(platform_.system.Now(), record)) + "\r\n";
  Files& files = platform_.files;
  if (!files.Append(file_.get(), bytes) || !files.Flush(file_.get())) return LogResult::NotWritable;
  size_ += bytes.size();
  last_ = '\n';
  return LogResult::Appended;
}

LogResult AppendRunLog(Platform& platform, const LogPlace& place, const RunRecord& record) {
  HeldLog log(platform, place);
  return log.Append(record);
}

RestartRequests FindRestartRequests(const LogText& log, const std::wstring& hostName) {
  RestartRequests requests;
  const std::wstring wanted = Field(hostName);
  const std::string word = ToUtf8(std::wstring(kRestartRequested));
  const RunLog lines = log.Select([&word](std::string_view line) { return line.find(word) != std::string_view::npos; });
  for (const LogEntry& entry : lines.entries) {
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
