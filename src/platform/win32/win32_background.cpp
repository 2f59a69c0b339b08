// The window's composed background: the background picture (scaled with the DPI), the frame's colour, and
// the visible lines and shapes, in one bitmap. The window paints from it, and the transparent labels use it
// as their background brush, so a label repaints itself whole: no old text is left behind, nothing flickers.
#include <algorithm>

#include "platform/win32/win32_window.h"

namespace vexa::win32 {

void Win32Window::ComposeBackground() {
  const SIZE client = context_.client;
  WindowDc screen(main_.get());
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  if (!composed_) composed_.reset(::CreateCompatibleBitmap(screen.get(), client.cx, client.cy));
  {
    Selection target(dc.get(), composed_.get());
    RECT all{0, 0, client.cx, client.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (background_) {
      BITMAP info{};
      ::GetObjectA(background_.get(), sizeof info, &info);
      MemoryDc from(::CreateCompatibleDC(screen.get()));
      Selection picture(from.get(), background_.get());
      ::SetStretchBltMode(dc.get(), HALFTONE);
      ::SetBrushOrgEx(dc.get(), 0, 0, nullptr);
      ::StretchBlt(dc.get(), 0, 0, MulDiv(info.bmWidth, context_.dpi, 96), MulDiv(info.bmHeight, context_.dpi, 96),
                   from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DrawComposedShapes(dc.get());
  }
  composedBrush_.reset(::CreatePatternBrush(composed_.get()));
}

// The frame's fill, then the visible lines and shape outlines.
void Win32Window::DrawComposedShapes(HDC dc) {
  const int penWidth = std::max(1, context_.dpi / 96);
  for (auto& w : widgets_) {
    const ControlDesc& d = w->desc;
    if (d.kind == ControlKind::Frame) {
      GdiObject<HBRUSH> fill(::CreateSolidBrush(ColourRef(d.back, ::GetSysColor(COLOR_BTNFACE))));
      ::FillRect(dc, &w->rect, fill.get());
    }
    if (!w->visible || (d.kind != ControlKind::Line && d.kind != ControlKind::Shape)) continue;
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, ColourRef(d.fore, RGB(0, 0, 0))));
    Selection usePen(dc, pen.get());
    if (d.kind == ControlKind::Line) {
      ::MoveToEx(dc, context_.Px(d.left), context_.Px(d.top), nullptr);
      ::LineTo(dc, context_.Px(d.width), context_.Px(d.height));
    } else {
      const RECT& s = w->rect;  // an outline only: the background shows through
      const POINT outline[] = {
          {s.left, s.top}, {s.right - 1, s.top}, {s.right - 1, s.bottom - 1}, {s.left, s.bottom - 1}, {s.left, s.top}};
      ::Polyline(dc, outline, 5);
    }
  }
}

void Win32Window::OnPaint() {
  PaintDc paint(main_.get());
  MemoryDc from(::CreateCompatibleDC(paint.get()));
  Selection picture(from.get(), composed_.get());
  const RECT& r = paint.Dirty();
  ::BitBlt(paint.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, from.get(), r.left, r.top, SRCCOPY);
}

}  // namespace vexa::win32
