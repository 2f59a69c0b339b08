// VexaIpSet.log beside config.ini: one line for each OK press in the window and each run without it, in
// UTF-8 with a byte-order mark so that Notepad shows it on any Windows. A line is written from one record
// and read back into the same record by one function; every reader (the restart rule, /table, /report,
// the guard against one number on two machines) uses the record, none finds a column by position. A line
// whose run put the TCP/IP and host-name values in place ends with the card's address and the number as a
// [Machines] line. The log is also the tool's memory of the restarts it asked for.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "config/config_file.h"
#include "config/shared_read.h"
#include "platform/owned.h"
#include "platform/platform.h"

namespace vexa {

enum class RunMode { Window, Auto, Number, Check };

struct RunRecord {
  RunMode mode = RunMode::Window;
  std::wstring outcome;
  std::wstring number;  // as typed or given
  std::wstring hostName;
  std::wstring ipAddress;
  std::wstring card;     // the card's description
  std::wstring address;  // the card's hardware address, "" when unknown
  std::vector<std::wstring> notWritten;
  std::optional<int> exitCode;            // the run's exit code; none in lines of earlier versions
  std::wstring version{kProductVersion};  // the version of the tool that ran; "" in lines of earlier versions
  bool inPlace = false;  // every TCP/IP and host-name value holds the plan: the [Machines] line is added
};

// Past this size the log becomes VexaIpSet.log.old and a new one is begun; when .old cannot be replaced,
// the log is emptied past twice this size, so that it never grows without bound.
inline constexpr std::uint64_t kLogLimit = std::uint64_t{1024} * 1024;
// The most a log or .old can hold when only this tool writes it: twice the limit and one more line.
inline constexpr std::uint64_t kLogReadLimit = 2 * kLogLimit + std::uint64_t{64} * 1024;
// How long a run waits for another run or program to let go of the log.
inline constexpr std::uint32_t kLogWaitMilliseconds = kSharedWaitMilliseconds;
inline constexpr std::string_view kLogName = "VexaIpSet.log";

enum class LogResult {
  Appended,
  NotWritable,  // a read-only share, a CD, no rights
  Busy,         // held by another program or locked for longer than kLogWaitMilliseconds
  Link,         // a hard link, a reparse point, or a link to another file: never written by this elevated tool
};

// Words of the outcome field that readers of the log go by (lines of earlier versions have no exit code):
// a restart asked for, the values written, the values found in place, a refusal's start, a check's start
// and its verdict when everything is in effect.
inline constexpr std::wstring_view kRestartRequested = L"已请求重启";
inline constexpr std::wstring_view kWrittenOutcome = L"已写入";
inline constexpr std::wstring_view kAlreadyInPlace = L"已是这些设置";
inline constexpr std::wstring_view kRefusedOutcome = L"拒绝: ";
inline constexpr std::wstring_view kCheckOutcome = L"检查: ";
inline constexpr std::wstring_view kInEffect = L"已生效";

// The line, without its line end: fields separated by TABs. A control character inside a field becomes a
// blank, so one run is always one line with the same columns.
std::wstring LogLine(const LocalTime& time, const RunRecord& record);

// One line read back. A line the tool could not have written whole is skipped: Torn (no line end: cut
// while being written), TooLong, Foreign (not the tool's columns, a time that never was or lies outside
// 1970-2999, a [Machines] tail that contradicts its own columns, bytes that are not UTF-8 in a UTF-8 log).
struct LogEntry {
  enum class Fault { None, Torn, TooLong, Foreign };
  Fault fault = Fault::None;
  LocalTime time;
  RunRecord record;
  // The line vouches for record.address = record.number: a run other than /check put every value in
  // place (the [Machines] tail, nothing in 未写入, an exit code that says so, or for a line of an earlier
  // version without one, an outcome that says written or in place) for a number of 1 to 254.
  bool Vouches() const;
};
// line without its line end; complete: it had one.
LogEntry ParseLogLine(std::wstring_view line, bool complete);

// Where the log lives: the folder config.ini names ([Log] Folder=, a share such as \\server\vexa or a
// mapped drive; a relative one is taken from config.ini's folder, never from the current one), else
// beside config.ini; a named folder that cannot be reached, or whose name Windows' ANSI calls cannot carry,
// gives way to config.ini's, and the run says so.
struct LogPlace {
  std::string folder;        // as the file calls take it
  std::wstring unreachable;  // the named folder, when it could not be used
  std::wstring why;          // why not, when it is not that it could not be reached
};
LogPlace PlaceOfLog(Platform& platform, const IniFile::ConfigFile& config);
// What the operator is told when the named folder was not used, up to the comma after which the text says
// where the log went instead; empty when it was used.
std::wstring LogFolderProblem(const LogPlace& place);

// VexaIpSet.log.old, then VexaIpSet.log, read for the cafe's view: every line that parses, in order; the
// files that could not be read whole, each with its reason; the lines skipped, counted by their fault.
struct RunLog {
  std::vector<LogEntry> entries;
  std::vector<std::wstring> unreadable;  // "path: reason"
  int torn = 0;
  int tooLong = 0;
  int foreign = 0;
  int Skipped() const { return torn + tooLong + foreign; }
  // Every line of both files was seen: what is not in entries was skipped, not unknown.
  bool Whole() const { return unreadable.empty(); }
};

// The same two files as UTF-8 text (a log a person re-saved as ANSI, that is code page 936, or UTF-16 is
// read as it was saved), each line parsed only when asked for: a run's own questions (the guard's, the
// restart rule's) need a few lines of a full log, and cost little more than reading it.
struct LogText {
  std::vector<std::string> files;        // .old's lines, then the log's, without a byte-order mark
  std::vector<std::wstring> unreadable;  // "path: reason"
  bool Whole() const { return unreadable.empty(); }
  // The lines whose bytes (without their line end) wanted accepts, parsed; every line when it is empty.
  RunLog Select(const std::function<bool(std::string_view)>& wanted) const;
  // The lines from the last to the first, unparsed (without their line end; ended: it had CR LF, hasEnd:
  // any end), until visit answers false: the latest line of a kind is found without reading the rest.
  void Backward(const std::function<bool(std::string_view line, bool ended, bool hasEnd)>& visit) const;
};
// One line of those bytes read back: parsed, or skipped with its fault (bytes that are not UTF-8, a bare LF).
LogEntry ReadLogLine(std::string_view line, bool ended, bool hasEnd);
LogText ReadLogText(Platform& platform, const LogPlace& place);
RunLog ReadRunLog(Platform& platform, const LogPlace& place);

// A line's [Machines] tail ("address=number" after its last TAB) as its bytes hold it, read without
// parsing the line: a question about one number or one address looks at it first.
struct LineTail {
  std::string_view address;
  std::string_view number;
};
std::optional<LineTail> TailOfLine(std::string_view line);

// The log held under the exclusive lock that every run of every machine takes (appends of two machines
// over a share may otherwise overwrite each other), from the reading of what the cafe did to the run's own
// line: a number's check and the write that claims it are one step for the whole cafe. Taking it waits up
// to kLogWaitMilliseconds; under the lock the file is still the one the log's name leads to and a plain
// file (a link is never written by this elevated tool), and a log past kLogLimit, or one a person
// re-saved (it lacks the UTF-8 mark the tool begins every log with) or that ends in NUL bytes, is moved to
// .old first (or, when .old cannot be replaced, emptied rather than grown without bound or mixed).
class HeldLog {
 public:
  HeldLog(Platform& platform, const LogPlace& place);
  HeldLog(const HeldLog&) = delete;
  HeldLog& operator=(const HeldLog&) = delete;
  ~HeldLog() { Release(); }

  // Appended while held; otherwise why the log cannot be written (NotWritable, Busy, Link).
  LogResult State() const { return state_; }
  // .old and the log as they stand: while held, nobody appends or rotates between the two reads. Read
  // once, when first asked for (a run that needs no line of it does not pay for it under the lock).
  const LogText& Read();
  // The line at the log's end on a line of its own (after a torn one too), flushed to the disk before it
  // returns; the lock stays held.
  LogResult Append(const RunRecord& record);
  // Lets go of the lock and the file.
  void Release();

 private:
  // Under the lock: the log's size and last byte taken, and a log that must make way for a new one (full,
  // re-saved by a person, ending in NUL) moved to .old (Rotated) or, when .old cannot be replaced, emptied.
  enum class Settled { Ready, Rotated, Link, Unusable };
  Settled Settle(int& rotations);

  Platform& platform_;
  LogPlace place_;
  std::string path_;
  std::uint64_t deadline_ = 0;
  UniqueFile file_;
  bool locked_ = false;
  std::optional<LogText> text_;
  std::uint64_t size_ = 0;  // the log's size while held
  char last_ = '\n';        // its last byte ('\n' when empty)
  LogResult state_ = LogResult::NotWritable;
};

// One line appended under the lock (HeldLog for a run that reads nothing first).
LogResult AppendRunLog(Platform& platform, const LogPlace& place, const RunRecord& record);

// The log's path, as the operator reads it.
std::wstring RunLogPath(Platform& platform, const LogPlace& place);

// The restarts the log says were requested for a machine to take hostName.
struct RestartRequests {
  std::optional<LocalTime> last;  // the latest request
  int retries = 0;                // requests made with the values already in place, since the last write
};
RestartRequests FindRestartRequests(const LogText& log, const std::wstring& hostName);

// A time as a line shows it: "2026-12-01 10:00:00".
std::wstring LogStamp(const LocalTime& time);

// Seconds since 1970-01-01 00:00:00 of a local time, for comparing two of them.
std::int64_t SecondsOf(const LocalTime& time);

}  // namespace vexa
