#include "platform/sim/sim_text.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace vexa::sim {

namespace {

constexpr int kLeadBytes = 0xFE - 0x81 + 1;
constexpr wchar_t kDefaultChar = L'?';

// The table, read once from cp936.tbl (see make_cp936_table.py); it never changes afterwards.
struct Cp936 {
  std::array<std::uint16_t, 256> single{};
  std::vector<std::uint16_t> pairs;   // kLeadBytes x 256
  std::vector<std::uint16_t> toCode;  // 65536: the code of each UTF-16 unit, 0x3F where none

  Cp936() : pairs(std::size_t{kLeadBytes} * 256), toCode(65536, 0x3F) {
    std::ifstream in(VEXA_CP936_TABLE, std::ios::binary);
    std::vector<unsigned char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    auto word = [&raw, &at] {
      if (at + 2 > raw.size()) {
        std::fprintf(stderr, "cp936.tbl is missing or short: %s\n", VEXA_CP936_TABLE);
        std::abort();
      }
      const auto value = static_cast<std::uint16_t>(raw[at] | raw[at + 1] << 8);
      at += 2;
      return value;
    };
    for (auto& c : single) c = word();
    for (auto& c : pairs) c = word();
    for (int b = 0; b < 256; ++b) {
      if (single[b] != 0 || b == 0) toCode[single[b]] = static_cast<std::uint16_t>(b);
    }
    for (int i = 0; i < kLeadBytes * 256; ++i) {
      if (pairs[i] != 0x3F) toCode[pairs[i]] = static_cast<std::uint16_t>((0x81 + i / 256) << 8 | i % 256);
    }
    for (int n = word(); n > 0; --n) {
      const std::uint16_t c = word();
      toCode[c] = word();
    }
  }
};

const Cp936& Table() {
  static const Cp936 table;
  return table;
}

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

void PutCode(std::string& out, std::uint16_t code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

std::string SimText::ToAnsi(std::wstring_view text) {
  const Cp936& table = Table();
  std::string out;
  out.reserve(text.size() * 2);
  for (wchar_t c : text) {
    const auto unit = static_cast<std::uint32_t>(std::char_traits<wchar_t>::to_int_type(c));
    if (unit > 0xFFFF) {
      out += "??";  // two UTF-16 units on Windows, neither with a GBK form
      continue;
    }
    PutCode(out, table.toCode[unit]);
  }
  return out;
}

std::wstring SimText::FromAnsi(std::string_view bytes) {
  const Cp936& table = Table();
  std::wstring out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!IsLead(byte)) {
      out.push_back(static_cast<wchar_t>(table.single[byte]));
    } else if (i + 1 < bytes.size() && bytes[i + 1] != '\0') {
      const auto trail = static_cast<unsigned char>(bytes[++i]);
      out.push_back(static_cast<wchar_t>(table.pairs[(byte - 0x81) * 256 + trail]));
    } else {
      out.push_back(kDefaultChar);
    }
  }
  return out;
}

bool SimText::IsLeadByte(char byte) { return IsLead(static_cast<unsigned char>(byte)); }

std::optional<std::size_t> SimText::FirstUnmappable(std::wstring_view text) {
  // Exact when the character comes back from its code: a best-fit look-alike or the default '?' does not.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (FromAnsi(ToAnsi(text.substr(i, 1))) != text.substr(i, 1)) return i;
  }
  return std::nullopt;
}

std::wstring DecodeUtf16Le(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(
        static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return out;
}

}  // namespace vexa::sim
