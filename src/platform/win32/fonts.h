// The window's fonts, one a face, size and style, made once at the screen's DPI and kept while the window
// lives.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/win32/scoped.h"
#include "platform/window.h"

namespace vexa::win32 {

class Fonts {
 public:
  // The font requested (the window's own, fallback, when the row names none) at dpi.
  HFONT Get(const FontSpec& requested, const FontSpec& fallback, int dpi, TextCodec& text);

 private:
  std::map<std::wstring, GdiObject<HFONT>> fonts_;
};

}  // namespace vexa::win32
