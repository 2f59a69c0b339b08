#include "config/ini_file.h"

#include <algorithm>

#include <vector>
#include "common/text.h"

namespace vexa::IniFile {

namespace {
constexpr std::uint32_t kValueBufferSize = 254;
}

std::wstring ConfigPathIn(std::wstring directory) { return PathIn<wchar_t>(std::move(directory), L"config.ini"); }

std::wstring ConfigPath(Platform& platform) {
  return ConfigPathIn(platform.text.FromAnsi(platform.system.ModuleDirectory()));
}

namespace {

// Blanks go; so do form feed and ^Z, which Wine's reader trims and Windows' is not known to: the value is
// the same on every system. (TAB and VT both readers trim; inside quotes they stay.) A full-width blank
// stays.
bool IsValueBlank(wchar_t c) { return c == L' ' || c == L'\f' || c == 0x1A; }

// A value cut at the buffer's end may end in the first byte of a double-byte character: that byte goes.
void DropLoneLeadByte(TextCodec& text, std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) i += text.IsLeadByte(bytes[i]) ? 2 : 1;
  if (i > bytes.size()) bytes.pop_back();
}

}  // namespace

std::wstring ReadIniString(Platform& platform, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, std::wstring_view defaultValue) {
  std::string buffer(kValueBufferSize, ' ');
  TextCodec& text = platform.text;
  platform.profile.GetPrivateProfileStringA(text.ToAnsi(section).c_str(), text.ToAnsi(key).c_str(),
                                            text.ToAnsi(defaultValue).c_str(), buffer.data(), kValueBufferSize,
                                            text.ToAnsi(path).c_str());
  buffer.resize(std::min(buffer.find('\0'), buffer.size()));
  DropLoneLeadByte(text, buffer);
  const std::wstring value = text.FromAnsi(buffer);
  std::size_t first = 0;
  std::size_t end = value.size();
  while (first < end && IsValueBlank(value[first])) ++first;
  while (end > first && IsValueBlank(value[end - 1])) --end;
  return value.substr(first, end - first);
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

// Blank, TAB and VT around a name or value, as both readers trim them.
std::wstring_view TrimEntry(std::wstring_view s) {
  auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || IsValueBlank(c); };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::wstring Unquoted(std::wstring_view value) {
  const bool quoted =
      value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
  return std::wstring(quoted ? value.substr(1, value.size() - 2) : value);
}

std::wstring FoldedKey(std::wstring_view key) {
  std::wstring out(key);
  for (wchar_t& c : out) c = AsciiUpper(c);
  return out;
}

// 64-bit FNV-1a of a name: names are sorted as numbers rather than compared character by character.
std::uint64_t HashOf(std::wstring_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : name) hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
  return hash;
}

// Drops every entry whose name an earlier entry has: the reader's own lookup finds the first. Sorted by
// the names' hashes (then by place), so that a table of any size is read fast; within one hash the names
// themselves decide.
void KeepFirstOfEachKey(std::vector<std::pair<std::wstring, std::wstring>>& entries,
                        const std::vector<std::wstring_view>& keys) {
  std::vector<std::pair<std::uint64_t, std::size_t>> order(keys.size());  // hash, index
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = {HashOf(keys[i]), i};
  std::sort(order.begin(), order.end());
  std::vector<bool> drop(keys.size(), false);
  for (std::size_t i = 1; i < order.size(); ++i) {
    for (std::size_t k = i; k > 0 && order[k - 1].first == order[i].first; --k) {
      if (keys[order[k - 1].second] == keys[order[i].second]) {
        drop[order[i].second] = true;
        break;
      }
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (drop[i]) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.resize(kept);
}

}  // namespace

IniSection ReadIniSection(Platform& platform, const std::wstring& path, std::wstring_view section,
                          std::uint32_t sizeHint) {
  TextCodec& text = platform.text;
  IniSection result;
  // One read of the file however long the section; a list the reader had to cut comes back as size - 2.
  for (std::uint32_t size = std::max<std::uint32_t>(sizeHint, 64 * 1024); size <= 256 * 1024 * 1024; size *= 8) {
    std::string buffer(size, '\0');
    const std::uint32_t length = platform.profile.GetPrivateProfileSectionA(text.ToAnsi(section).c_str(), buffer.data(),
                                                                            size, text.ToAnsi(path).c_str());
    if (length == size - 2) continue;
    const std::wstring list = text.FromAnsi(std::string_view(buffer).substr(0, length));
    const std::wstring folded = FoldedKey(list);  // names compared without case, all in one copy
    std::vector<std::wstring_view> keys;          // each entry's name, in the folded copy
    const auto lines = static_cast<std::size_t>(std::count(list.begin(), list.end(), L'\0'));
    keys.reserve(lines);
    result.entries.reserve(lines);
    for (std::size_t at = 0; at < list.size();) {
      const std::size_t end = std::min(list.find(L'\0', at), list.size());
      const std::wstring_view line = TrimEntry(std::wstring_view(list).substr(at, end - at));
      const std::size_t offset = static_cast<std::size_t>(line.data() - list.data());
      at = end + 1;
      if (line.empty() || line.front() == L';') continue;
      const std::size_t eq = line.find(L'=');
      if (eq == std::wstring_view::npos) {
        result.unparsed.emplace_back(line);
        continue;
      }
      const std::wstring_view key = TrimEntry(line.substr(0, eq));
      keys.push_back(
          std::wstring_view(folded).substr(offset + static_cast<std::size_t>(key.data() - line.data()), key.size()));
      result.entries.emplace_back(std::wstring(key), Unquoted(TrimEntry(line.substr(eq + 1))));
    }
    KeepFirstOfEachKey(result.entries, keys);
    return result;
  }
  return result;
}

}  // namespace vexa::IniFile
