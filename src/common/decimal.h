// Decimal numbers as config.ini holds them and as the tool prints them: IPOffset is read strictly, and a
// machine's address is printed from a sum as BASIC prints a number. Converted here rather than by the C
// library, whose conversions would double the shipping executable's number code, and so that the tests
// run the very conversion the tool ships.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// The value of text when all of it is one decimal number: sign, digits, optional fraction and exponent.
std::optional<double> StrictDecimal(std::wstring_view text);

// The value of a number already found well formed: an optional sign, digits with at most one '.', an
// optional 'e' and exponent digits with an optional sign. Exact (one rounding) for up to 15 significant
// digits and exponents within ±22, as every IPOffset and number box value is; within an ulp beyond.
double DecimalValue(std::string_view number);

// A number printed as BASIC prints it: whole numbers below 10^15 without a point, others with up to 15
// significant digits ("7.5", "1E+20" is "1e+20").
std::wstring DecimalText(double value);

}  // namespace vexa
