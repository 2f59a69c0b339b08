// Number reading for the machine-number box: as forgiving as the classic Val() of BASIC. A number taken
// from config.ini is read strictly (common/decimal.h).
#pragma once

#include <optional>
#include <string_view>

namespace vexa {

// Blanks, tabs and line feeds are ignored wherever they stand; then an optional sign, digits, a decimal
// point with digits and an exponent (E or D), or &H hex / &O octal. Reading stops at the first character
// that cannot continue the number; no number at the start gives 0.
double LenientNumber(std::wstring_view text);

// Rounds to the nearest integer, ties to even.
double RoundHalfEven(double value);

}  // namespace vexa
