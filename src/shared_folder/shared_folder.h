// The folder the cafe's machines share: where the log lives (a share on the cafe's server, a mapped drive,
// or beside config.ini), reading a file there that other machines may be writing at the same moment, and
// writing there never through a link. The log (log/), the page and the exports (cafe/) and a config.ini
// on a share (config/) all go through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vexa {

// How long a reader waits for another run or program to let go of a shared file.
inline constexpr std::uint32_t kSharedWaitMilliseconds = 3000;

// The whole file, opened with every sharing; Held (another program's open without sharing, another run's
// lock) is retried until deadline (milliseconds since boot); a failure is said with its reason, never
// taken for an empty file.
FileRead ReadSharedFile(Platform& platform, const std::string& path, std::uint64_t maxBytes, std::uint64_t deadline);

// Why a read failed, as the operator reads it after the file's name ("被其他程序占用", ...).
std::wstring ReadFailureText(ReadStatus status);

// Where the log lives: the folder config.ini names ([Log] Folder=, a share such as \\server\vexa or a
// mapped drive; a relative one is taken from config.ini's folder, never from the current one), else
// beside config.ini; a named folder that cannot be reached, or whose name Windows' ANSI calls cannot carry,
// gives way to config.ini's, and the run says so.
struct LogPlace {
  std::string folder;        // as the file calls take it
  bool named = false;        // config.ini names the folder: the cafe's log, the guard of every typed number
  std::wstring unreachable;  // the named folder, when it could not be used (folder is then config.ini's)
  std::wstring why;          // why not, when it is not that it could not be reached
};
// named: the folder config.ini names as its reader gave it ("" for none); written: as the file holds it,
// before the ANSI reader replaced what code page 936 lacks.
LogPlace PlaceOfFolder(Platform& platform, const std::wstring& named, const std::wstring& written);
// The log beside config.ini, whatever config.ini names: where a run keeps its line when the cafe's log
// cannot be held.
LogPlace BesideConfig(Platform& platform);
// What the operator is told when the named folder was not used, up to the comma after which the text says
// where the log went instead; empty when it was used.
std::wstring LogFolderProblem(const LogPlace& place);

// Why a file in the folder (the log, the page, an export's file) was not written, said after its path.
inline constexpr std::wstring_view kIsLink = L" 是链接(硬链接、符号链接或重解析点),为安全起见没有写入";
inline constexpr std::wstring_view kNotWritable = L" 无法写入(文件夹只读或没有权限)";

// Never through a link: this elevated tool writes no file that a hard link, a reparse point or a link to
// another name could lead elsewhere. An open file: it has one name, is no reparse point and its final path
// ends in name (the log, opened as itself). A name about to be replaced: it is no link of any kind.
bool IsPlainFileOf(Files& files, FileHandle file, std::string_view name);
bool IsLinkName(Files& files, const std::string& path);

// A file written into folder (beside the log: the page, the exports; the start-up run's copy under
// Program Files), to a new file there renamed over the old one, so that a reader sees the old file or the
// new one, never half of one; its path as the operator reads it, and why it was not written (empty when it
// was).
struct Written {
  std::wstring shown;
  std::wstring problem;
};
Written WriteInFolder(Platform& platform, const std::string& folder, std::string_view name, const std::string& bytes);

}  // namespace vexa
