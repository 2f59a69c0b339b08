// The shared log's two files, VexaIpSet.log.old and VexaIpSet.log, where they live and as text: read with
// every sharing (other machines write them meanwhile), a log re-saved in Notepad read as it was saved, a
// file that cannot be read whole named with its reason. The log is also the tool's memory of the restarts
// it asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "log/log_line.h"
#include "platform/platform.h"
#include "shared_folder/shared_folder.h"

namespace vexa {

// Past this size the log becomes VexaIpSet.log.old and a new one is begun; when .old cannot be replaced,
// the log is emptied past twice this size, so that it never grows without bound.
inline constexpr std::uint64_t kLogLimit = std::uint64_t{1024} * 1024;
// The most a log or .old can hold when only this tool writes it: twice the limit and one more line.
inline constexpr std::uint64_t kLogReadLimit = 2 * kLogLimit + std::uint64_t{64} * 1024;
// How long the window waits for another run or program to let go of the log before it asks whether to
// wait longer; a reader of the log (/table, /report, /export) waits as long.
inline constexpr std::uint32_t kLogWaitMilliseconds = kSharedWaitMilliseconds;
// How long a run without a window waits for its turn: a whole cafe switched on at once, every machine's
// run taking the lock once, over a server's share.
inline constexpr std::uint32_t kLogQueueMilliseconds = 120000;
inline constexpr std::string_view kLogName = "VexaIpSet.log";

// Where the log lives: the folder config.ini's [Log] Folder= names, as the shared folder finds it.
LogPlace PlaceOfLog(Platform& platform, const IniFile::ConfigFile& config);

// The log's path as the file calls take it, and as the operator reads it.
std::string LogFilePath(const LogPlace& place);
std::wstring RunLogPath(Platform& platform, const LogPlace& place);

// VexaIpSet.log.old, then VexaIpSet.log, read for the cafe's view: every line that parses, in order; the
// files that could not be read whole, each with its reason; the lines skipped, counted by their fault.
struct RunLog {
  std::vector<LogEntry> entries;
  std::vector<std::wstring> unreadable;  // "path: reason"
  int torn = 0;
  int tooLong = 0;
  int foreign = 0;
  int untrusted = 0;
  int crashed = 0;  // stretches of NUL bytes a crash left where a line was being written
  int Skipped() const { return torn + tooLong + foreign + untrusted + crashed; }
  // Every line of both files was seen: what is not in entries was skipped, not unknown.
  bool Whole() const { return unreadable.empty(); }
};

// The same two files as UTF-8 text (a log a person re-saved as ANSI, that is code page 936, or UTF-16 is
// read as it was saved), each line parsed only when asked for: a run's own questions (the guard's, the
// restart rule's) need a few lines of a full log, and cost little more than reading it.
struct LogText {
  std::vector<std::string> files;        // .old's lines, then the log's, without a byte-order mark
  std::vector<std::wstring> unreadable;  // "path: reason"
  int crashed = 0;                       // stretches of NUL bytes left out of files
  bool Whole() const { return unreadable.empty(); }
  // The lines whose bytes (without their line end) wanted accepts, parsed; every line when it is empty.
  RunLog Select(const std::function<bool(std::string_view)>& wanted) const;
  // The lines from the last to the first, unparsed (without their line end; ended: it had CR LF, hasEnd:
  // any end), until visit answers false: the latest line of a kind is found without reading the rest.
  void Backward(const std::function<bool(std::string_view line, bool ended, bool hasEnd)>& visit) const;
};
LogText ReadLogText(Platform& platform, const LogPlace& place);
RunLog ReadRunLog(Platform& platform, const LogPlace& place);

// The pieces of that reading HeldLog uses under the lock: one file's bytes added to text (a run of NUL bytes
// a crash left, with the start of the line it cut, left out and counted),
// one file read whole within deadline, and the reason given for a file larger than a log can grow.
void AddLogBytes(TextCodec& codec, std::string bytes, LogText& text);
void ReadLogFile(Platform& platform, const std::string& path, std::uint64_t deadline, LogText& text);
std::wstring TooLargeText(const std::wstring& name);

// The restarts the log says were requested for a machine to take hostName.
struct RestartRequests {
  std::optional<LocalTime> last;  // the latest request
  int retries = 0;                // requests made with the values already in place, since the last write
  int untrusted = 0;              // lines that speak of a request but cannot be trusted: nobody can tell
};
RestartRequests FindRestartRequests(const LogText& log, const std::wstring& hostName);

}  // namespace vexa
