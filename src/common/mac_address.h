// A network card's hardware (MAC) address: six bytes, written as six hex pairs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

using MacAddress = std::array<std::uint8_t, 6>;

// "00-1A-2B-3C-4D-5E".
inline std::wstring FormatMac(const MacAddress& address) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring text;
  for (std::uint8_t b : address) {
    if (!text.empty()) text.push_back(L'-');
    text.push_back(kHex[b >> 4]);
    text.push_back(kHex[b & 0xF]);
  }
  return text;
}

// Six hex pairs joined by '-' or by ':' (one of them throughout), any case; nothing for anything else.
inline std::optional<MacAddress> ParseMac(std::wstring_view text) {
  if (text.size() != 17 || (text[2] != L'-' && text[2] != L':')) return std::nullopt;
  auto hex = [](wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  };
  MacAddress address{};
  for (std::size_t i = 0; i < 6; ++i) {
    const int high = hex(text[i * 3]);
    const int low = hex(text[i * 3 + 1]);
    if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != text[2])) return std::nullopt;
    address[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return address;
}

// An address a network card can have: not a group (multicast) address, which the broadcast address is too,
// and not all zeros.
inline bool IsCardAddress(const MacAddress& address) {
  if ((address[0] & 1) != 0) return false;
  for (std::uint8_t b : address) {
    if (b != 0) return true;
  }
  return false;
}

// A key a [Machines] line or a server's binding can take: a card's address, as ParseMac reads it.
inline std::optional<MacAddress> ParseCardAddress(std::wstring_view text) {
  const std::optional<MacAddress> address = ParseMac(text);
  if (!address || !IsCardAddress(*address)) return std::nullopt;
  return address;
}

}  // namespace vexa
