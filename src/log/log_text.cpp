#include "log/log_text.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "common/utf8.h"
#include "config/ini_file.h"

namespace vexa {

std::string LogFilePath(const LogPlace& place) { return PathIn<char>(place.folder, kLogName); }

LogPlace PlaceOfLog(Platform& platform, const IniFile::ConfigFile& config) {
  const std::wstring named =
      IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kLogSection, IniFile::kLogFolderKey, L"");
  const std::wstring written = config.ValueAsWritten(IniFile::kLogSection, IniFile::kLogFolderKey).value_or(named);
  return PlaceOfFolder(platform, named, written);
}

std::wstring RunLogPath(Platform& platform, const LogPlace& place) {
  return platform.text.FromAnsi(LogFilePath(place));
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
    case LogEntry::Fault::Untrusted: ++log.untrusted; break;
  }
}

// A crash or a power cut leaves NUL bytes where a line was being written (a file grown but never filled):
// no run of the tool writes one. Each run of them, with the start of the line it cut, is one torn stretch,
// left out and counted; what follows it begins a line of its own. The whole lines around are records
// like any other.
std::string WithoutTornStretches(std::string bytes, int& stretches) {
  std::size_t nul = bytes.find('\0');
  if (nul == std::string::npos) return bytes;
  std::string kept;
  kept.reserve(bytes.size());
  std::size_t from = 0;
  for (; nul != std::string::npos; nul = bytes.find('\0', from)) {
    const std::size_t lf = bytes.rfind('\n', nul);
    const std::size_t lineStart = lf == std::string::npos || lf < from ? from : lf + 1;
    kept.append(bytes, from, lineStart - from);
    ++stretches;
    from = bytes.find_first_not_of('\0', nul);
    if (from == std::string::npos) return kept;
  }
  kept.append(bytes, from);
  return kept;
}

// A log is written in UTF-8 (with its mark); one that a person re-saved as ANSI or Unicode is not. Only
// the last line may be cut short, in the middle of a character too.
bool IsUtf8Log(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) return true;
  if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) return false;
  return IsUtf8(bytes.substr(0, bytes.rfind('\n') + 1));
}

}  // namespace

// A file larger than the tool lets a log grow, as the operator is told.
std::wstring TooLargeText(const std::wstring& name) {
  return name + L": 大于 " + IntText(kLogReadLimit / 1024) + L" KB,不是本程序写成的日志(本程序的日志不会超过这个大小)";
}

// One file's bytes as UTF-8 lines into text. A UTF-8 log
// is taken as it is (a line that is not UTF-8, such as a torn one cut inside a character, is skipped
// alone when read); an ANSI or UTF-16 one is decoded as Notepad saved it, once.
void AddLogBytes(TextCodec& codec, std::string bytes, LogText& text) {
  if (!IsUtf8Log(bytes)) {
    bytes = ToUtf8(IniFile::DecodeText(codec, bytes, IniFile::DetectEncoding(bytes)));
  } else if (StartsWith(bytes, kUtf8Mark)) {
    bytes.erase(0, kUtf8Mark.size());
  }
  text.files.push_back(WithoutTornStretches(std::move(bytes), text.crashed));
}

// One file of the log read whole into text, or why it could not be; a missing file holds no lines.
void ReadLogFile(Platform& platform, const std::string& path, std::uint64_t deadline, LogText& text) {
  FileRead read = ReadSharedFile(platform, path, kLogReadLimit, deadline);
  const std::wstring name = platform.text.FromAnsi(path);
  switch (read.status) {
    case ReadStatus::Read: AddLogBytes(platform.text, std::move(read.bytes), text); return;
    case ReadStatus::Missing: return;
    case ReadStatus::TooLarge: text.unreadable.push_back(TooLargeText(name)); return;
    default: text.unreadable.push_back(name + L": " + ReadFailureText(read.status)); return;
  }
}

RunLog LogText::Select(const std::function<bool(std::string_view)>& wanted) const {
  RunLog log;
  log.unreadable = unreadable;
  log.crashed = crashed;
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
  const std::string path = LogFilePath(place);
  const std::uint64_t deadline = platform.system.MillisecondsSinceBoot() + kLogWaitMilliseconds;
  LogText text;
  ReadLogFile(platform, path + ".old", deadline, text);
  ReadLogFile(platform, path, deadline, text);
  return text;
}

RunLog ReadRunLog(Platform& platform, const LogPlace& place) { return ReadLogText(platform, place).Select(nullptr); }

RestartRequests FindRestartRequests(const LogText& log, const std::wstring& hostName) {
  RestartRequests requests;
  const std::wstring wanted = LogField(hostName);
  const std::string word = ToUtf8(std::wstring(kRestartRequested));
  const RunLog lines = log.Select([&word](std::string_view line) { return line.find(word) != std::string_view::npos; });
  requests.untrusted = lines.untrusted;
  for (const LogEntry& entry : lines.entries) {
    const RunRecord& r = entry.record;
    if (r.hostName != wanted || r.outcome.find(kRestartRequested) == std::wstring::npos) continue;
    requests.last = entry.time;
    // A run that wrote starts a new rename: only the retries after it count.
    const bool retry = FoundInPlace(r);
    requests.retries = retry ? requests.retries + 1 : 0;
  }
  return requests;
}

}  // namespace vexa
