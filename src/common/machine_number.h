// A machine's number: 1 to 254, the last part of its address in a /24 network; with zones in config.ini
// (config/zones.h), up to 9999.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace vexa {

inline constexpr int kFirstMachine = 1;
inline constexpr int kLastMachine = 254;
inline constexpr int kLastZonedMachine = 9999;

// "1-254", as the texts that ask for a number say it.
inline std::wstring MachineRangeText() { return IntText(kFirstMachine) + L"-" + IntText(kLastMachine); }

// The number of a text of ASCII digits with blanks around it, as the number box holds it ("007" is 7);
// nothing for any other text or a number outside 1 to last.
inline std::optional<int> MachineNumberOf(std::wstring_view text, int last = kLastMachine) {
  const std::wstring digits = TrimBlanks(text);
  if (digits.empty()) return std::nullopt;
  int number = 0;
  for (wchar_t c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    number = number * 10 + (c - L'0');
    if (number > last) return std::nullopt;  // past the last the size no longer matters
  }
  if (number < kFirstMachine) return std::nullopt;
  return number;
}

}  // namespace vexa
