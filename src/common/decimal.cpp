#include "common/decimal.h"

#include <cmath>
#include <cstdint>

#include "common/text.h"

namespace vexa {

namespace {

// value scaled by 10^exponent: one exact power of ten (up to 10^22) when it is within that, so that the
// result is rounded once; in steps of 10^22 past it. A negative exponent divides, so that 2.5E-1 is the
// nearest double to 0.25.
double Scaled(double value, int exponent) {
  constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  for (; exponent > 22; exponent -= 22) value *= kExact[22];
  for (; exponent < -22; exponent += 22) value /= kExact[22];
  return exponent >= 0 ? value * kExact[exponent] : value / kExact[-exponent];
}

}  // namespace

std::optional<double> StrictDecimal(std::wstring_view text) {
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
  const double value = DecimalValue(std::string(text.begin(), text.end()));
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double DecimalValue(std::string_view number) {
  std::size_t i = 0;
  const bool negative = !number.empty() && number[0] == '-';
  if (!number.empty() && (number[0] == '-' || number[0] == '+')) ++i;
  // Up to 19 significant digits exactly; the rest only move the point.
  std::uint64_t mantissa = 0;
  int kept = 0;
  int exponent = 0;
  bool point = false;
  for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
    if (number[i] == '.') {
      point = true;
      continue;
    }
    if (mantissa == 0 && number[i] == '0') {
      exponent -= point ? 1 : 0;
    } else if (kept < 19) {
      mantissa = mantissa * 10 + static_cast<unsigned>(number[i] - '0');
      ++kept;
      exponent -= point ? 1 : 0;
    } else {
      exponent += point ? 0 : 1;
    }
  }
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    const bool down = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    int power = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) power = power < 10000 ? power * 10 + (number[i] - '0') : power;
    exponent += down ? -power : power;
  }
  const double value = mantissa == 0 ? 0 : Scaled(static_cast<double>(mantissa), exponent);
  return negative ? -value : value;
}

std::wstring DecimalText(double value) {
  std::wstring sign = std::signbit(value) ? L"-" : L"";
  value = std::fabs(value);
  if (value == std::floor(value) && value < 1e15) return sign + IntText(static_cast<std::uint64_t>(value));
  if (!std::isfinite(value)) return sign + (std::isnan(value) ? L"nan" : L"inf");
  // Fifteen significant digits, rounded half to even as the C library rounds a value that is exactly
  // half way (the double it holds seldom is).
  int exponent = static_cast<int>(std::floor(std::log10(value)));
  double digits = std::nearbyint(Scaled(value, 14 - exponent));
  if (digits >= 1e15) digits = std::nearbyint(Scaled(value, 13 - ++exponent));
  std::wstring text = IntText(static_cast<std::uint64_t>(digits));  // 15 digits
  const auto trimmed = [](std::wstring s) {
    while (!s.empty() && s.back() == L'0') s.pop_back();
    if (!s.empty() && s.back() == L'.') s.pop_back();
    return s;
  };
  if (exponent < -4 || exponent >= 15) {
    const std::wstring mantissa = trimmed(text.substr(0, 1) + L"." + text.substr(1));
    const int shown = exponent < 0 ? -exponent : exponent;
    return sign + mantissa + (exponent < 0 ? L"e-" : L"e+") + (shown < 10 ? L"0" : L"") + IntText(shown);
  }
  if (exponent < 0) return sign + trimmed(L"0." + std::wstring(static_cast<std::size_t>(-exponent - 1), L'0') + text);
  return sign + trimmed(text.substr(0, static_cast<std::size_t>(exponent) + 1) + L"." +
                        text.substr(static_cast<std::size_t>(exponent) + 1));
}

}  // namespace vexa
