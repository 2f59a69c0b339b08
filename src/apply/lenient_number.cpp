#include "apply/lenient_number.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/decimal.h"
#include "common/text.h"

namespace vexa {

namespace {

// &H and &O numbers take the width BASIC gives them: up to 16 bits as a signed Integer, up to 32 bits
// as a signed Long; anything wider has no 32-bit value at all.
double RadixNumber(std::wstring_view digits, int radix) {
  unsigned long long value = 0;
  for (wchar_t c : digits) {
    int d = -1;
    if (IsDigit(c)) d = c - L'0';
    if (c >= L'a' && c <= L'f') d = c - L'a' + 10;
    if (c >= L'A' && c <= L'F') d = c - L'A' + 10;
    if (d < 0 || d >= radix) break;
    value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
    if (value > 0xFFFFFFFFull) return HUGE_VAL;
  }
  if (value <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(value));
  return static_cast<double>(static_cast<std::int32_t>(value));
}

}  // namespace

double LenientNumber(std::wstring_view text) {
  std::wstring s;
  for (wchar_t c : text) {
    if (c != L' ' && c != L'\t' && c != L'\n') s.push_back(c);
  }
  if (s.size() >= 2 && s[0] == L'&') {
    if (s[1] == L'H' || s[1] == L'h') return RadixNumber(std::wstring_view(s).substr(2), 16);
    if (s[1] == L'O' || s[1] == L'o') return RadixNumber(std::wstring_view(s).substr(2), 8);
  }
  // Collect the longest prefix that forms a number, in the form DecimalValue reads.
  std::string number;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) number.push_back(static_cast<char>(s[i++]));
  bool digits = false;
  while (i < s.size() && IsDigit(s[i])) {
    number.push_back(static_cast<char>(s[i++]));
    digits = true;
  }
  if (i < s.size() && s[i] == L'.') {
    number.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      number.push_back(static_cast<char>(s[i++]));
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == L'E' || s[i] == L'e' || s[i] == L'D' || s[i] == L'd')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == L'+' || s[j] == L'-')) exponent.push_back(static_cast<char>(s[j++]));
    bool expDigits = false;
    while (j < s.size() && IsDigit(s[j])) {
      exponent.push_back(static_cast<char>(s[j++]));
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }
  return DecimalValue(number);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace vexa
