// UTF-8: the tool's own log, and config.ini saved by Notepad as UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace vexa {

// The byte-order marks Notepad puts before UTF-8 text and before "Unicode" and "Unicode big endian".
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

inline bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// UTF-16 (wchar_t on Windows) or UTF-32 (elsewhere) to UTF-8; a lone surrogate becomes U+FFFD.
inline std::string ToUtf8(std::wstring_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const auto next = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
      if (next >= 0xDC00 && next <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// Walks UTF-8 bytes, handing each code point to sink. An invalid sequence ends the walk with false
// (strict), or is handed over as U+FFFD and the walk goes on at the next byte (lenient).
template <typename Sink>
bool WalkUtf8(std::string_view bytes, bool lenient, Sink&& sink) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {  // most of every text the tool reads
      sink(char32_t{lead});
      ++i;
      continue;
    }
    const int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    char32_t c = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + static_cast<std::size_t>(length) <= bytes.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    valid = valid && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF)) &&
            !(c >= 0xD800 && c <= 0xDFFF);
    if (!valid) {
      if (!lenient) return false;
      sink(char32_t{0xFFFD});
      ++i;
      continue;
    }
    sink(c);
    i += static_cast<std::size_t>(length);
  }
  return true;
}

// The bytes are valid UTF-8.
inline bool IsUtf8(std::string_view bytes) {
  return WalkUtf8(bytes, false, [](char32_t) {});
}

// UTF-8 bytes (a mark at the start skipped) as wide text; U+FFFD for each invalid sequence.
inline std::wstring FromUtf8(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  std::wstring out;
  out.reserve(bytes.size());
  WalkUtf8(bytes, true, [&out](char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0x10000) {
        out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        return;
      }
    }
    out.push_back(static_cast<wchar_t>(c));
  });
  return out;
}

}  // namespace vexa
