#include "platform/sim/sim_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace vexa::sim {

namespace {

// Owns one iconv descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; returns false at an invalid or incomplete sequence, leaving in/out advanced
  // past what was converted.
  bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[256];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      auto* src = const_cast<char*>(in);
      std::size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
      in = src;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

std::wstring WideFrom(const char* encoding, std::string_view bytes, std::size_t unit) {
  Converter conv("WCHAR_T", encoding);
  std::wstring out;
  if (!conv.ok()) return out;
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  std::string raw;
  while (left > 0) {
    if (conv.Run(in, left, raw)) break;
    // No character here: Windows gives '?' and goes on with the next unit.
    raw.append(reinterpret_cast<const char*>(L"?"), sizeof(wchar_t));
    std::size_t skip = std::min(unit, left);
    in += skip;
    left -= skip;
  }
  out.assign(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
  return out;
}

}  // namespace

std::string SimText::ToAnsi(std::wstring_view text) {
  Converter conv("CP936", "WCHAR_T");
  std::string out;
  if (!conv.ok()) return out;
  for (wchar_t c : text) {
    const char* in = reinterpret_cast<const char*>(&c);
    std::size_t left = sizeof c;
    std::string one;
    if (!conv.Run(in, left, one)) one = "?";
    out += one;
  }
  return out;
}

std::wstring SimText::FromAnsi(std::string_view bytes) { return WideFrom("CP936", bytes, 1); }

std::wstring DecodeUtf8(std::string_view bytes) { return WideFrom("UTF-8", bytes, 1); }

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  return WideFrom(bigEndian ? "UTF-16BE" : "UTF-16LE", bytes, 2);
}

}  // namespace vexa::sim
