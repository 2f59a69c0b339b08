// Turns fuzzer bytes into the tool's inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexa::fuzz {

// Wide text, two bytes a character (the characters Windows text can hold).
inline std::wstring WideFrom(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

}  // namespace vexa::fuzz
