// Small text helpers shared by the layers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vexa {

inline bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A whole number in decimal, as std::to_wstring writes it. std::to_wstring goes through the C library's wide
// printf, which alone costs the shipping executable some 8 KB.
template <typename Integer>
std::wstring IntText(Integer value) {
  static_assert(std::is_integral_v<Integer>);
  wchar_t digits[24];
  wchar_t* at = digits + 24;
  bool negative = false;
  if constexpr (std::is_signed_v<Integer>) negative = value < 0;
  auto rest = static_cast<std::make_unsigned_t<Integer>>(value);
  if (negative) rest = 0 - rest;
  do {
    *--at = static_cast<wchar_t>(L'0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (negative) *--at = L'-';
  return std::wstring(at, digits + 24);
}
inline bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// c in upper case when it is an ASCII letter: how the tool compares names that Windows compares without case
// (section and key names, service names, host names).
template <typename Char>
constexpr Char AsciiUpper(Char c) {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// Two names equal as Windows compares section, key, service and host names: ASCII letters without case.
inline bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Where the line that starts at start ends: at its CR or LF, or at the text's end. In config.ini, as
// Windows' reader reads it, every CR or LF ends a line.
template <typename Char>
std::size_t LineEnd(std::basic_string_view<Char> text, std::size_t start) {
  for (std::size_t i = start; i < text.size(); ++i) {
    if (text[i] == Char('\r') || text[i] == Char('\n')) return i;
  }
  return text.size();
}

// The decimal digits of value, with leading zeros up to width.
inline std::wstring ZeroPadded(unsigned value, std::size_t width) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
    value /= 10;
  } while (value != 0);
  if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
  return digits;
}

// Blanks (U+0020 only) removed from both ends.
inline std::wstring TrimBlanks(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return std::wstring();
  return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}

// name in folder: a backslash between them only when the folder lacks one (a drive's root "C:\" has it).
template <typename Char>
std::basic_string<Char> PathIn(std::basic_string<Char> folder, std::basic_string_view<Char> name) {
  if (folder.empty() || folder.back() != Char('\\')) folder.push_back(Char('\\'));
  folder += name;
  return folder;
}

// path as a full path, a relative one taken from folder (a full path itself) as Windows would from its
// current folder: "\\server\share" and "D:\x" stand as they are, "\x" lies on folder's drive, and "."
// and ".." steps are resolved (never above the root). / counts as \.
inline std::wstring FullPathIn(const std::wstring& folder, std::wstring path) {
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  const bool unc = path.starts_with(L"\\\\");
  const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  std::wstring full = unc || drive              ? path
                      : path.starts_with(L"\\") ? folder.substr(0, 2) + path
                                                : folder + L"\\" + path;
  // The root stays: "C:\" or "\\server\share\".
  const std::size_t root = full.starts_with(L"\\\\") ? full.find(L'\\', full.find(L'\\', 2) + 1) : 2;
  if (root == std::wstring::npos) return full;
  std::vector<std::wstring> steps;
  for (std::size_t start = root + 1; start <= full.size();) {
    const std::size_t end = std::min(full.find(L'\\', start), full.size());
    const std::wstring step = full.substr(start, end - start);
    if (step == L"..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != L".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  std::wstring out = full.substr(0, root);
  for (const std::wstring& step : steps) out += L"\\" + step;
  return steps.empty() ? out + L"\\" : out;
}

// A character the ANSI code page cannot hold, named so that any console shows which: “É”(U+00C9) (the
// console itself may show the character as '?' or a look-alike).
inline std::wstring UnmappableName(std::wstring_view text, std::size_t at) {
  const wchar_t* const kHex = L"0123456789ABCDEF";
  const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF;
  using Units = std::char_traits<wchar_t>;
  std::uint32_t code = Units::to_int_type(text[at]);
  if (pair) code = 0x10000 + ((code - 0xD800) << 10) + (Units::to_int_type(text[at + 1]) - 0xDC00);
  std::wstring hex;
  for (int shift = code > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4) hex.push_back(kHex[code >> shift & 0xF]);
  return L"“" + std::wstring(text.substr(at, pair ? 2 : 1)) + L"”(U+" + hex + L")";
}

// The text up to its first line end, or all of it.
inline std::wstring FirstLine(std::wstring_view text) {
  return std::wstring(text.substr(0, text.find_first_of(L"\r\n")));
}

// The text up to its first NUL, or all of it.
// How many columns a console shows the text in: in code page 936 every character past ASCII is a
// double-byte one and takes two columns.
inline std::size_t DisplayColumns(std::wstring_view text) {
  std::size_t columns = 0;
  for (const wchar_t c : text) columns += c < 0x80 ? 1 : 2;
  return columns;
}

inline std::wstring CutAtNul(std::wstring_view text) { return std::wstring(text.substr(0, text.find(L'\0'))); }

// The parts with separator between them.
inline std::wstring JoinWith(const std::vector<std::wstring>& parts, std::wstring_view separator) {
  std::wstring out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

// Message-box texts are lines joined by CR LF, with none after the last line.
inline std::wstring JoinLines(std::initializer_list<std::wstring> lines) {
  std::wstring out;
  bool first = true;
  for (const auto& line : lines) {
    if (!first) out += L"\r\n";
    out += line;
    first = false;
  }
  return out;
}

}  // namespace vexa
