#include "shared_folder/shared_folder.h"

#include "common/text.h"

namespace vexa {

namespace {
constexpr std::uint32_t kRetryMilliseconds = 25;
}  // namespace

FileRead ReadSharedFile(Platform& platform, const std::string& path, std::uint64_t maxBytes, std::uint64_t deadline) {
  for (;;) {
    FileRead read = platform.files.ReadWholeFile(path.c_str(), maxBytes);
    if (read.status != ReadStatus::Held || platform.system.MillisecondsSinceBoot() >= deadline) return read;
    platform.system.Sleep(kRetryMilliseconds);
  }
}

std::wstring ReadFailureText(ReadStatus status) {
  switch (status) {
    case ReadStatus::Read: return L"";
    case ReadStatus::Missing: return L"不存在";
    case ReadStatus::Held: return L"被其他程序占用,等了 " + IntText(kSharedWaitMilliseconds / 1000) + L" 秒仍无法读取";
    case ReadStatus::TooLarge: return L"太大";
    case ReadStatus::NotPlain: return L"不是普通文件(同名的文件夹或设备)";
    case ReadStatus::Failed: break;
  }
  return L"无法读取(没有权限或无法访问)";
}

LogPlace BesideConfig(Platform& platform) { return LogPlace{platform.system.ModuleDirectory(), false, L"", L""}; }

LogPlace PlaceOfFolder(Platform& platform, const std::wstring& named, const std::wstring& written) {
  LogPlace place = BesideConfig(platform);
  if (named.empty()) return place;
  place.named = true;
  // Windows' ANSI reader has already turned what code page 936 lacks into '?' or a look-alike: the
  // file's own text names the character.
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

bool IsPlainFileOf(Files& files, FileHandle file, std::string_view name) { return files.IsPlainFile(file, name); }

bool IsLinkName(Files& files, const std::string& path) { return files.IsLinkName(path.c_str()); }

namespace {

// bytes as the whole of the plain file path names (opened as itself, never through a link). Such a client
// may still report the name in the state the failed rename left it for a moment: the open is tried again
// after a short wait.
bool WrittenInPlace(Platform& platform, const std::string& path, std::string_view bytes) {
  Files& files = platform.files;
  Files::Opened opened = files.OpenShared(path.c_str());
  for (int again = 0; again < 3 && opened.status != Files::Open::Opened; ++again) {
    platform.system.Sleep(kRetryMilliseconds * 4);
    opened = files.OpenShared(path.c_str());
  }
  if (opened.status != Files::Open::Opened) return false;
  const bool done = files.Truncate(opened.file) && files.Append(opened.file, bytes) && files.Flush(opened.file);
  files.Close(opened.file);
  return done;
}

}  // namespace

Written WriteInFolder(Platform& platform, const std::string& folder, std::string_view name, const std::string& bytes) {
  const std::string path = PathIn<char>(folder, name);
  Written written{platform.text.FromAnsi(path), L""};
  Files& files = platform.files;
  if (IsLinkName(files, path)) {
    written.problem = std::wstring(kIsLink) + L"。";
    return written;
  }
  const std::string made = files.CreateTempFile(bytes, folder);
  if (made.empty()) {
    written.problem = std::wstring(kNotWritable) + L"。";  // not even a new file in the folder
    return written;
  }
  const MoveStatus moved = files.MoveOver(made.c_str(), path.c_str());
  if (moved == MoveStatus::Moved) return written;
  switch (moved) {
    case MoveStatus::Held: written.problem = L" 被其他程序打开着,无法替换:请关闭它后再试。"; break;
    case MoveStatus::Denied:
      written.problem = L" 无法替换:Windows 拒绝改名(在这个文件夹里没有删除或改名的权限,或旧文件是只读的)。";
      break;
    default:
      // A share whose client refuses to rename a file it has open (Wine through FUSE does): the bytes are
      // written into the name itself instead, not at once for a reader but in place.
      if (!WrittenInPlace(platform, path, bytes)) written.problem = L" 无法替换:共享不允许改名,直接写入也失败了。";
      break;
  }
  if (!files.RemoveFile(made.c_str()))
    written.problem += L"临时文件 " + platform.text.FromAnsi(made) + L" 没能删除,请手动删除。";
  return written;
}

}  // namespace vexa
