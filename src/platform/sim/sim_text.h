// Code page 936 (GBK) conversion through iconv, behaving as the Windows conversion does: embedded NULs
// kept, characters that have no GBK form become '?', bytes that form no character become U+003F.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace vexa::sim {

class IconvConverter;

class SimText : public TextCodec {
 public:
  SimText();
  ~SimText() override;
  std::string ToAnsi(std::wstring_view text) override;
  std::wstring FromAnsi(std::string_view bytes) override;

 private:
  // Opened once: opening a converter costs more than most conversions.
  std::unique_ptr<IconvConverter> toAnsi_;
  std::unique_ptr<IconvConverter> fromAnsi_;
};

// UTF-8 and UTF-16 decoding for files that start with a byte-order mark.
std::wstring DecodeUtf8(std::string_view bytes);
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);

}  // namespace vexa::sim
