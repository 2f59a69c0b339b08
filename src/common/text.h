// Small text helpers shared by the layers.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// c in upper case when it is an ASCII letter: how the tool compares names that Windows compares without case
// (section and key names, service names, host names).
template <typename Char>
constexpr Char AsciiUpper(Char c) {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
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

// The text up to its first line end, or all of it.
inline std::wstring FirstLine(std::wstring_view text) {
  return std::wstring(text.substr(0, text.find_first_of(L"\r\n")));
}

// The text up to its first NUL, or all of it.
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
