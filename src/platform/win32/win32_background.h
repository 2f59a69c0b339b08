// The window's composed background: the background picture (scaled with the DPI), the frame's colour, and
// the visible lines and shapes, in one bitmap. The window paints from it, and the transparent labels use it
// as their background brush, so a label repaints itself whole: no old text is left behind, nothing flickers.
#pragma once

#include <windows.h>

#include "platform/win32/scoped.h"
#include "platform/win32/widgets/widgets.h"

namespace vexa::win32 {

class ComposedBackground {
 public:
  void LoadPicture(HINSTANCE instance, int resource);
  // Composed again for the widgets as they are now (a line or a shape shown or hidden).
  void Compose(HWND main, const WidgetContext& context, const Widgets& widgets);
  // WM_PAINT of the main window.
  void Paint(HWND main) const;
  const GdiObject<HBRUSH>& Brush() const { return brush_; }

 private:
  GdiObject<HBITMAP> picture_;   // as loaded
  GdiObject<HBITMAP> composed_;  // picture + frame + lines + shapes, client-sized
  GdiObject<HBRUSH> brush_;
};

}  // namespace vexa::win32
