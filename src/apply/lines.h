// Message-box texts are lines joined by CR LF, with none after the last line.
#pragma once

#include <initializer_list>
#include <string>

namespace vexa {

inline std::wstring JoinLines(std::initializer_list<std::wstring> lines) {
  std::wstring out;
  for (const auto& line : lines) {
    if (!out.empty()) out += L"\r\n";
    out += line;
  }
  return out;
}

}  // namespace vexa
