// Decimal numbers as config.ini holds them and as the tool prints them: IPOffset is read strictly, and a
// machine's address is printed from a sum as BASIC prints a number.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace vexa {

// The value of text when all of it is one decimal number: sign, digits, optional fraction and exponent.
inline std::optional<double> StrictDecimal(std::wstring_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == L'.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == L'E' || text[i] == L'e')) {
    ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    std::size_t expDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  std::string ascii(text.begin(), text.end());
  double value = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// A number printed as BASIC prints it: whole numbers without a point, others with up to 15 digits.
inline std::wstring DecimalText(double value) {
  char buffer[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
  }
  const std::string ascii(buffer);
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace vexa
