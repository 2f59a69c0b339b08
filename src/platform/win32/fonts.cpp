#include "platform/win32/fonts.h"

#include <cmath>

#include "common/text.h"

namespace vexa::win32 {

HFONT Fonts::Get(const FontSpec& requested, const FontSpec& fallback, int dpi, TextCodec& text) {
  const FontSpec& style = requested.face.empty() ? fallback : requested;
  const int tenths = static_cast<int>(std::lround(style.points * 10));
  const std::wstring key =
      std::wstring(style.face) + L"|" + IntText(tenths) + (style.bold ? L"b" : L"") + (style.underline ? L"u" : L"");
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  // Points to pixels at the screen's DPI: -(points * dpi / 72), from tenths of a point.
  const int height = -MulDiv(tenths, dpi, 720);
  HFONT font = ::CreateFontA(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, style.underline ? TRUE : FALSE,
                             FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, text.ToAnsi(style.face).c_str());
  fonts_.emplace(key, GdiObject<HFONT>(font));
  return font;
}

}  // namespace vexa::win32
