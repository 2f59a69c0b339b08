#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>
#include <vector>

#include "platform/sim/sim_text.h"

namespace vexa::sim {

namespace {

std::string LowerPath(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return out;
}

// Blanks, 0x09-0x0D and 0x1A; an ideographic (full-width) space is kept.
bool IsProfileSpace(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == L' ' || c == 0x1A; }

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Names compare case-insensitively and only up to a NUL, as the reader's C strings do.
std::wstring Fold(std::wstring_view s) {
  std::wstring out(s.substr(0, s.find(L'\0')));
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

std::wstring DecodeFile(const std::string& bytes, TextCodec& text) {
  std::string_view b(bytes);
  if (b.size() >= 3 && b.substr(0, 3) == "\xEF\xBB\xBF") return DecodeUtf8(b.substr(3));
  if (b.size() >= 2 && b.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(b.substr(2), false);
  if (b.size() >= 2 && b.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(b.substr(2), true);
  return text.FromAnsi(b);
}

// The value of key in the first section named section: the first line "key=value" there. A line without
// '=' is no key.
std::optional<std::wstring> Lookup(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  const std::wstring wantSection = Fold(section);
  const std::wstring wantKey = Fold(key);
  // Lines end at LF; a file without any LF left ends its lines at CR.
  std::wstring_view rest(file);
  bool inSection = false;
  bool sectionSeen = false;
  while (!rest.empty()) {
    std::size_t end = rest.find(L'\n');
    if (end == std::wstring_view::npos) end = rest.find(L'\r');
    std::wstring_view line = end == std::wstring_view::npos ? rest : rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == L'[') {
      std::size_t close = line.rfind(L']');
      if (close != std::wstring_view::npos) {
        if (inSection) return std::nullopt;  // the first matching section has no such key
        inSection = !sectionSeen && Fold(line.substr(1, close - 1)) == wantSection;
        sectionSeen = sectionSeen || inSection;
        continue;
      }
    }
    if (!inSection) continue;
    std::size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos) continue;
    if (Fold(Trim(line.substr(0, eq))) == wantKey) return std::wstring(Trim(line.substr(eq + 1)));
  }
  return std::nullopt;
}

// Copies value into a wide buffer of size characters, removing one pair of matching quotes.
std::wstring CopyEntry(std::wstring value, std::uint32_t size) {
  value.resize(std::min(value.find(L'\0'), value.size()));
  bool quoted = value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
  if (quoted) value.erase(0, 1);
  std::wstring out = value.substr(0, size == 0 ? 0 : size - 1);
  if (quoted && size >= value.size()) out.pop_back();
  return out;
}

}  // namespace

void SimProfile::PutFile(const std::string& path, const std::string& bytes) { files_[LowerPath(path)] = bytes; }

void SimProfile::RemoveFile(const std::string& path) { files_.erase(LowerPath(path)); }

std::uint32_t SimProfile::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                                   char* buffer, std::uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::wstring def = text_.FromAnsi(defaultValue == nullptr ? "" : defaultValue);
  while (!def.empty() && def.back() == L' ') def.pop_back();  // trailing blanks of the default are dropped

  std::optional<std::wstring> found;
  auto file = files_.find(LowerPath(fileName == nullptr ? "" : fileName));
  if (file != files_.end() && section != nullptr && key != nullptr) {
    found = Lookup(DecodeFile(file->second, text_), text_.FromAnsi(section), text_.FromAnsi(key));
  }
  std::wstring value = CopyEntry(found ? *found : def, size);

  // The reader works in wide characters and converts the result into size - 1 bytes; a result that does
  // not fit is cut after the last whole character that does, and the bytes after it stay as they were.
  std::string ansi = text_.ToAnsi(value);
  if (ansi.size() <= size - 1) {
    std::memcpy(buffer, ansi.data(), ansi.size());
    buffer[ansi.size()] = '\0';
    return static_cast<std::uint32_t>(ansi.size());
  }
  std::size_t written = 0;
  for (wchar_t c : value) {
    std::string one = text_.ToAnsi(std::wstring_view(&c, 1));
    if (written + one.size() > size - 1) break;
    std::memcpy(buffer + written, one.data(), one.size());
    written += one.size();
  }
  buffer[size - 1] = '\0';
  return size - 1;
}

}  // namespace vexa::sim
