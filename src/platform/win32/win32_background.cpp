#include "platform/win32/win32_background.h"

#include <algorithm>

namespace vexa::win32 {

namespace {

// The frame's fill, then the visible lines and shape outlines.
void DrawShapes(HDC dc, const WidgetContext& context, const Widgets& widgets) {
  const int penWidth = std::max(1, context.dpi / 96);
  for (const auto& w : widgets.All()) {
    const ControlDesc& d = w->Desc();
    if (d.kind == ControlKind::Frame) {
      GdiObject<HBRUSH> fill(::CreateSolidBrush(ColourRef(d.back, ::GetSysColor(COLOR_BTNFACE))));
      ::FillRect(dc, &w->Rect(), fill.get());
    }
    if (!w->Visible() || (d.kind != ControlKind::Line && d.kind != ControlKind::Shape)) continue;
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, ColourRef(d.fore, RGB(0, 0, 0))));
    Selection usePen(dc, pen.get());
    if (d.kind == ControlKind::Line) {
      ::MoveToEx(dc, context.Px(d.left), context.Px(d.top), nullptr);
      ::LineTo(dc, context.Px(d.width), context.Px(d.height));
    } else {
      const RECT& s = w->Rect();  // an outline only: the background shows through
      const POINT outline[] = {
          {s.left, s.top}, {s.right - 1, s.top}, {s.right - 1, s.bottom - 1}, {s.left, s.bottom - 1}, {s.left, s.top}};
      ::Polyline(dc, outline, 5);
    }
  }
}

}  // namespace

void ComposedBackground::LoadPicture(HINSTANCE instance, int resource) {
  picture_.reset(
      static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

void ComposedBackground::Compose(HWND main, const WidgetContext& context, const Widgets& widgets) {
  const SIZE client = context.client;
  WindowDc screen(main);
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  if (!composed_) composed_.reset(::CreateCompatibleBitmap(screen.get(), client.cx, client.cy));
  {
    Selection target(dc.get(), composed_.get());
    RECT all{0, 0, client.cx, client.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (picture_) {
      BITMAP info{};
      ::GetObjectA(picture_.get(), sizeof info, &info);
      MemoryDc from(::CreateCompatibleDC(screen.get()));
      Selection picture(from.get(), picture_.get());
      ::SetStretchBltMode(dc.get(), HALFTONE);
      ::SetBrushOrgEx(dc.get(), 0, 0, nullptr);
      ::StretchBlt(dc.get(), 0, 0, MulDiv(info.bmWidth, context.dpi, 96), MulDiv(info.bmHeight, context.dpi, 96),
                   from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DrawShapes(dc.get(), context, widgets);
  }
  brush_.reset(::CreatePatternBrush(composed_.get()));
}

void ComposedBackground::Paint(HWND main) const {
  PaintDc paint(main);
  MemoryDc from(::CreateCompatibleDC(paint.get()));
  Selection picture(from.get(), composed_.get());
  const RECT& r = paint.Dirty();
  ::BitBlt(paint.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, from.get(), r.left, r.top, SRCCOPY);
}

}  // namespace vexa::win32
