#include "config/ini_file.h"

#include <algorithm>
#include <vector>

#include "common/text.h"

namespace vexa::IniFile {

std::wstring ConfigPathIn(std::wstring directory) { return PathIn<wchar_t>(std::move(directory), L"config.ini"); }

std::wstring ConfigPath(Platform& platform) {
  return ConfigPathIn(platform.text.FromAnsi(platform.system.ModuleDirectory()));
}

namespace {

// Blanks go; so do form feed and ^Z, which Wine's reader trims and Windows' is not known to: the value is
// the same on every system. (TAB and VT both readers trim; inside quotes they stay.) A full-width blank
// stays.
bool IsValueBlank(wchar_t c) { return c == L' ' || c == L'\f' || c == 0x1A; }

// Blank, TAB and VT: what Windows' reader trims around a line, a name and a value.
bool IsReaderBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v'; }

std::wstring_view Trimmed(std::wstring_view s, bool (*blank)(wchar_t)) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::wstring_view TrimReaderBlanks(std::wstring_view text) { return Trimmed(text, IsReaderBlank); }

namespace {

// A value cut at the buffer's end may end in the first byte of a double-byte character: that byte goes.
void DropLoneLeadByte(TextCodec& text, std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) i += text.IsLeadByte(bytes[i]) ? 2 : 1;
  if (i > bytes.size()) bytes.pop_back();
}

}  // namespace

IniValue ReadIniValue(Platform& platform, const std::wstring& path, std::wstring_view section, std::wstring_view key,
                      std::wstring_view defaultValue) {
  std::string buffer(kValueBufferSize, ' ');
  TextCodec& text = platform.text;
  const std::uint32_t length = platform.profile.GetPrivateProfileStringA(
      text.ToAnsi(section).c_str(), text.ToAnsi(key).c_str(), text.ToAnsi(defaultValue).c_str(), buffer.data(),
      kValueBufferSize, text.ToAnsi(path).c_str());
  buffer.resize(std::min(buffer.find('\0'), buffer.size()));
  DropLoneLeadByte(text, buffer);
  return {std::wstring(Trimmed(text.FromAnsi(buffer), IsValueBlank)), length >= kValueBufferSize - 1};
}

std::wstring ReadIniString(Platform& platform, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, std::wstring_view defaultValue) {
  return ReadIniValue(platform, path, section, key, defaultValue).text;
}

std::vector<std::wstring> ReadIniKeys(Platform& platform, const std::wstring& path, std::wstring_view section) {
  TextCodec& text = platform.text;
  // The reader lists the names NUL-separated with a second NUL after the last; a list it had to cut
  // comes back as size - 2 bytes, and the buffer grows.
  for (std::uint32_t size = 16 * 1024; size <= 4 * 1024 * 1024; size *= 4) {
    std::string buffer(size, '\0');
    const std::uint32_t length = platform.profile.GetPrivateProfileStringA(
        text.ToAnsi(section).c_str(), nullptr, "", buffer.data(), size, text.ToAnsi(path).c_str());
    if (length == size - 2) continue;
    std::vector<std::wstring> keys;
    for (std::size_t at = 0; at < length;) {
      const std::size_t end = std::min<std::size_t>(buffer.find('\0', at), length);
      keys.push_back(text.FromAnsi(std::string_view(buffer).substr(at, end - at)));
      at = end + 1;
    }
    return keys;
  }
  return {};
}

namespace {

// The reader's names and values are C strings: they end at a NUL.
std::wstring_view UpToNul(std::wstring_view s) { return s.substr(0, s.find(L'\0')); }

std::wstring_view Unquoted(std::wstring_view value) {
  const bool quoted =
      value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

IniLines ParseIniLines(std::wstring_view text) {
  IniLines result;
  result.entries.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) + 1);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = LineEnd(text, at);
    const std::wstring_view line = TrimReaderBlanks(text.substr(at, end - at));
    at = end + 1;
    if (line.empty() || line.front() == L';') continue;
    const std::size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos) {
      result.unparsed.push_back(line);
      continue;
    }
    // The value as ReadIniString reads it: the reader trims, ends it at a NUL and unquotes it; then the
    // blanks and controls left around it go.
    const std::wstring_view value = Unquoted(UpToNul(TrimReaderBlanks(line.substr(eq + 1))));
    result.entries.emplace_back(UpToNul(TrimReaderBlanks(line.substr(0, eq))), Trimmed(value, IsValueBlank));
  }
  return result;
}

}  // namespace vexa::IniFile
