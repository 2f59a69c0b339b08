#include "config/config_copy.h"

#include <optional>

#include "common/text.h"
#include "config/config_file.h"
#include "config/ini_file.h"

namespace vexa::IniFile {

namespace {

bool IsFullPath(const std::wstring& path) {
  return path.starts_with(L"\\\\") || (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'));
}

// The line's key as Windows' reader reads it: the text before its first '=', blanks trimmed; nothing for a
// line without one.
std::optional<std::wstring_view> KeyOf(std::wstring_view line) {
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return std::nullopt;
  return TrimReaderBlanks(line.substr(0, equals));
}

std::optional<std::wstring_view> HeaderOf(std::wstring_view line) {
  line = TrimReaderBlanks(line);
  if (line.empty() || line.front() != L'[') return std::nullopt;
  return TrimReaderBlanks(line.substr(1, line.find(L']') - 1));
}

// text with the first [Log] section's Folder= line (the one the reader reads) saying folder: replaced,
// put under the section's header, or a [Log] section added at the end.
std::wstring WithLogFolder(const std::wstring& text, const std::wstring& folder) {
  const std::wstring line = std::wstring(kLogFolderKey) + L"=" + folder;
  bool inLog = false;
  std::optional<std::size_t> afterHeader;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = LineEnd<wchar_t>(text, start);
    const std::wstring_view body = std::wstring_view(text).substr(start, end - start);
    std::size_t next = std::min(end + 1, text.size());
    if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n') ++next;
    if (const std::optional<std::wstring_view> header = HeaderOf(body)) {
      if (afterHeader) break;  // the first [Log] ended without a Folder= line
      inLog = SameName(*header, kLogSection);
      if (inLog) afterHeader = next;
    } else if (inLog) {
      const std::optional<std::wstring_view> key = KeyOf(body);
      if (key && SameName(*key, kLogFolderKey)) return text.substr(0, start) + line + text.substr(end);
    }
    start = next;
  }
  if (afterHeader) {
    const bool ended = *afterHeader > 0 && (text[*afterHeader - 1] == L'\n' || text[*afterHeader - 1] == L'\r');
    return text.substr(0, *afterHeader) + (ended ? L"" : L"\r\n") + line + L"\r\n" + text.substr(*afterHeader);
  }
  const bool ended = text.empty() || text.back() == L'\n' || text.back() == L'\r';
  return text + (ended ? L"" : L"\r\n") + L"[" + std::wstring(kLogSection) + L"]\r\n" + line + L"\r\n";
}

}  // namespace

ConfigCopy CopyForStartup(TextCodec& text, std::string_view bytes, const std::wstring& named,
                          const std::wstring& from) {
  if (!named.empty() && IsFullPath(named)) return {std::string(bytes), L""};
  ConfigCopy copy;
  copy.logFolder = FullPathIn(from, named.empty() ? L"." : named);
  // A drive's root keeps its backslash; any other folder is named without one, as a person writes it.
  if (copy.logFolder.size() > 3 && copy.logFolder.back() == L'\\') copy.logFolder.pop_back();
  copy.bytes = Utf16LeBytes(WithLogFolder(DecodeText(text, bytes, DetectEncoding(bytes)), copy.logFolder));
  return copy;
}

}  // namespace vexa::IniFile
