#include "platform/sim/sim_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace vexa::sim {

// Owns one iconv descriptor.
class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (ok()) iconv_close(cd_);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;
  // iconv_open reports failure as (iconv_t)-1.
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  // Converts as much as possible; false at an invalid or incomplete sequence, with in advanced past what
  // was converted.
  bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    char buffer[1024];
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

namespace {

// Bytes to wide text; a unit that forms no character gives '?' and the conversion goes on after it.
std::wstring Decode(IconvConverter& conv, std::string_view bytes, std::size_t unit) {
  if (!conv.ok()) return std::wstring();
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  std::string raw;
  while (left > 0) {
    if (conv.Run(in, left, raw)) break;
    raw.append(reinterpret_cast<const char*>(L"?"), sizeof(wchar_t));
    const std::size_t skip = std::min(unit, left);
    in += skip;
    left -= skip;
  }
  return std::wstring(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
}

}  // namespace

SimText::SimText()
    : toAnsi_(std::make_unique<IconvConverter>("CP936", "WCHAR_T")),
      fromAnsi_(std::make_unique<IconvConverter>("WCHAR_T", "CP936")) {}

SimText::~SimText() = default;

std::string SimText::ToAnsi(std::wstring_view text) {
  std::string out;
  if (!toAnsi_->ok()) return out;
  const char* in = reinterpret_cast<const char*>(text.data());
  std::size_t left = text.size() * sizeof(wchar_t);
  // A character without a GBK form becomes '?', and the rest is converted as usual.
  while (left > 0 && !toAnsi_->Run(in, left, out)) {
    out.push_back('?');
    in += sizeof(wchar_t);
    left -= sizeof(wchar_t);
  }
  return out;
}

std::wstring SimText::FromAnsi(std::string_view bytes) { return Decode(*fromAnsi_, bytes, 1); }

std::wstring DecodeUtf8(std::string_view bytes) {
  IconvConverter conv("WCHAR_T", "UTF-8");
  return Decode(conv, bytes, 1);
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  IconvConverter conv("WCHAR_T", bigEndian ? "UTF-16BE" : "UTF-16LE");
  return Decode(conv, bytes, 2);
}

}  // namespace vexa::sim
