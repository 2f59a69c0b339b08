#include "apply/run_log.h"

#include "common/text.h"
#include "common/utf8.h"
#include "platform/owned.h"

namespace vexa {

namespace {

constexpr std::wstring_view kHostNameField = L"计算机名=";

const wchar_t* ModeName(RunMode mode) {
  switch (mode) {
    case RunMode::Window: return L"窗口";
    case RunMode::Auto: return L"/auto";
    case RunMode::Number: return L"/n";
    case RunMode::Check: return L"/check";
  }
  return L"";
}

constexpr std::string_view kLogName = "VexaIpSet.log";
constexpr std::uint32_t kRetryMilliseconds = 25;

std::string LogPath(Platform& platform) { return PathIn<char>(platform.system.ModuleDirectory(), kLogName); }

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
  const bool utf16 = head == "\xFF\xFE" || head == "\xFE\xFF";
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

std::wstring Stamp(const LocalTime& t) {
  auto n = [](int value, std::size_t width) { return ZeroPadded(static_cast<unsigned>(value), width); };
  return n(t.year, 4) + L"-" + n(t.month, 2) + L"-" + n(t.day, 2) + L" " + n(t.hour, 2) + L":" + n(t.minute, 2) + L":" +
         n(t.second, 2);
}

// The time stamp at the start of a line, when it has one.
std::optional<LocalTime> StampOf(std::wstring_view line) {
  if (line.size() < 19) return std::nullopt;
  int parts[6] = {};
  const std::size_t starts[6] = {0, 5, 8, 11, 14, 17};
  const std::size_t widths[6] = {4, 2, 2, 2, 2, 2};
  for (int i = 0; i < 6; ++i) {
    for (std::size_t k = 0; k < widths[i]; ++k) {
      const wchar_t c = line[starts[i] + k];
      if (!IsDigit(c)) return std::nullopt;
      parts[i] = parts[i] * 10 + (c - L'0');
    }
  }
  return LocalTime{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
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
  std::wstring line = Stamp(t) + L"\t" + ModeName(r.mode) + L"\t" + Field(r.outcome);
  line += L"\t机号=" + Field(r.number);
  line += L"\t" + std::wstring(kHostNameField) + Field(r.hostName);
  line += L"\tIP=" + Field(r.ipAddress);
  line += L"\t网卡=" + Field(r.card);
  line += L"\t地址=" + Field(r.address);
  line += L"\t未写入=" + Field(JoinWith(r.notWritten, L", "));
  if (r.inPlace && !r.address.empty()) line += L"\t" + Field(r.address) + L"=" + Field(r.number);
  return line;
}

std::wstring RunLogPath(Platform& platform) { return platform.text.FromAnsi(LogPath(platform)); }

LogResult AppendRunLog(Platform& platform, const RunRecord& record) {
  const std::string path = LogPath(platform);
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

std::vector<std::vector<std::wstring>> ReadRunLogLines(Platform& platform) {
  const std::string path = LogPath(platform);
  std::vector<std::vector<std::wstring>> lines;
  for (const std::string& file : {path + ".old", path}) {
    const std::optional<std::string> bytes = platform.files.ReadWholeFile(file.c_str(), 4 * kLogLimit);
    if (!bytes) continue;
    const std::wstring text = FromUtf8(*bytes);
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find_first_of(L"\r\n", start);
      if (end == std::wstring::npos) end = text.size();
      if (end > start) {
        std::vector<std::wstring> fields;
        for (std::wstring_view field : Fields(std::wstring_view(text).substr(start, end - start))) {
          fields.emplace_back(field);
        }
        lines.push_back(std::move(fields));
      }
      start = end + 1;
    }
  }
  return lines;
}

RestartRequests FindRestartRequests(Platform& platform, const std::wstring& hostName) {
  RestartRequests requests;
  const std::wstring wanted = std::wstring(kHostNameField) + Field(hostName);
  for (const std::vector<std::wstring>& fields : ReadRunLogLines(platform)) {
    if (fields.size() < 5 || fields[2].find(kRestartRequested) == std::wstring::npos) continue;
    if (fields[4] != wanted) continue;
    if (const auto stamp = StampOf(fields[0])) requests.last = stamp;
    // A run that wrote starts a new rename: only the retries after it count.
    const bool retry = fields[2].find(kAlreadyInPlace) != std::wstring::npos;
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
