// Code page 936 as Windows converts it, from Microsoft's table (the one Wine ships, cp936.tbl): embedded
// NULs kept; a character without a GBK form is given its best fit, or '?'; a lead byte takes the next
// byte with it whatever it is (a pair the table lacks is '?'), but not a NUL or the end, where it is '?'.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vexa::sim {

class SimText : public TextCodec {
 public:
  std::string ToAnsi(std::wstring_view text) override;
  std::wstring FromAnsi(std::string_view bytes) override;
  bool IsLeadByte(char byte) override;
  std::optional<std::size_t> FirstUnmappable(std::wstring_view text) override;
};

// UTF-16 units as the sim's wide text: one wide character per unit, surrogates kept apart as on Windows.
std::wstring DecodeUtf16Le(std::string_view bytes);

}  // namespace vexa::sim
