#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>
#include <vector>

#include "common/utf8.h"
#include "platform/sim/sim_text.h"

namespace vexa::sim {

namespace {

// What Windows' reader trims around names and values: blank, TAB and VT. (Form feed and ^Z are not known
// to be trimmed there; the tool trims them itself.)
bool IsProfileBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v'; }

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names compare case-insensitively and only up to a NUL, as the reader's C strings do.
std::wstring Fold(std::wstring_view s) {
  std::wstring out(s.substr(0, s.find(L'\0')));
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

// A requested name loses the blanks around it (blanks only: a TAB stays and then matches nothing).
std::wstring FoldRequested(std::wstring_view s) {
  while (!s.empty() && s.front() == L' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
  return Fold(s);
}

// UTF-16LE with its mark is read as such; everything else as ANSI, a UTF-8 or UTF-16BE mark included.
std::wstring DecodeFile(std::string_view bytes, TextCodec& text) {
  if (StartsWith(bytes, kUtf16LeMark)) return DecodeUtf16Le(bytes.substr(kUtf16LeMark.size()));
  return text.FromAnsi(bytes);
}

// The next line: lines end at any CR or LF.
std::wstring_view NextLine(std::wstring_view& rest) {
  const std::size_t end = rest.find_first_of(L"\r\n");
  std::wstring_view line = rest.substr(0, end);
  rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
  return Trim(line);
}

// A header's name runs to its first ']', or to the end of the line when there is none.
std::wstring_view SectionName(std::wstring_view line) {
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(L']')));
}

// The lines of the first section named section (folded), as written (trimmed), in file order.
std::vector<std::wstring_view> SectionLines(std::wstring_view file, const std::wstring& section) {
  std::vector<std::wstring_view> lines;
  bool inSection = false;
  for (std::wstring_view rest = file; !rest.empty();) {
    const std::wstring_view line = NextLine(rest);
    if (line.empty()) continue;
    if (line.front() == L'[') {
      if (inSection) break;  // only the first section of that name counts
      inSection = Fold(SectionName(line)) == section;
      continue;
    }
    if (inSection) lines.push_back(line);
  }
  return lines;
}

struct Entry {
  std::wstring_view name;
  std::optional<std::wstring_view> value;  // none for a line without '='
};

Entry ParseEntry(std::wstring_view line) {
  const std::size_t eq = line.find(L'=');
  if (eq == std::wstring_view::npos) return {line, std::nullopt};
  return {Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// The entries of the first section named section (folded), in file order.
std::vector<Entry> SectionEntries(std::wstring_view file, const std::wstring& section) {
  std::vector<Entry> entries;
  for (std::wstring_view line : SectionLines(file, section)) entries.push_back(ParseEntry(line));
  return entries;
}

// The value of key in the first section named section; a key line without '=' has no value, and the
// caller then gets the default.
std::optional<std::wstring> Lookup(std::wstring_view file, const std::wstring& section, const std::wstring& key) {
  for (const Entry& entry : SectionEntries(file, section)) {
    if (Fold(entry.name) != key) continue;
    if (!entry.value) return std::nullopt;
    // A value of 65,536 characters or more wraps: only its length modulo 65,536 is kept.
    return std::wstring(entry.value->substr(0, entry.value->size() % 65536));
  }
  return std::nullopt;
}

// The names of the section's keys that have a value, each followed by a NUL.
std::wstring KeyList(std::wstring_view file, const std::wstring& section) {
  std::wstring list;
  for (const Entry& entry : SectionEntries(file, section)) {
    if (!entry.value) continue;
    list += entry.name.substr(0, entry.name.find(L'\0'));
    list.push_back(L'\0');
  }
  return list;
}

// The list into the buffer; one that does not fit is cut, ends in two NULs and counts size - 2.
std::uint32_t CopyList(const std::string& list, char* buffer, std::uint32_t size) {
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<std::uint32_t>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
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

std::uint32_t SimProfile::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                                   char* buffer, std::uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::wstring def = text_.FromAnsi(defaultValue == nullptr ? "" : defaultValue);
  while (!def.empty() && def.back() == L' ') def.pop_back();  // trailing blanks of the default are dropped

  std::optional<std::wstring> found;
  const auto file = files_.Get(fileName == nullptr ? "" : fileName);
  if (key == nullptr && section != nullptr) {  // the section's key names
    const std::wstring list = file ? KeyList(DecodeFile(*file, text_), FoldRequested(text_.FromAnsi(section))) : L"";
    return CopyList(text_.ToAnsi(list), buffer, size);
  }
  if (file && section != nullptr && key != nullptr) {
    found =
        Lookup(DecodeFile(*file, text_), FoldRequested(text_.FromAnsi(section)), FoldRequested(text_.FromAnsi(key)));
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
