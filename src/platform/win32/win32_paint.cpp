// How the real window looks: the composed background, the labels' colours, the buttons and the frame.
#include <algorithm>

#include "platform/win32/win32_control.h"

namespace vexa::win32 {

namespace {

COLORREF FromRgb(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

COLORREF Mix(COLORREF from, COLORREF to, int t) {  // t from 0 (from) to 255 (to)
  return RGB((GetRValue(from) * (255 - t) + GetRValue(to) * t) / 255,
             (GetGValue(from) * (255 - t) + GetGValue(to) * t) / 255,
             (GetBValue(from) * (255 - t) + GetBValue(to) * t) / 255);
}

std::string WindowTextOf(HWND hwnd) {
  const int length = ::GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  ::GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

COLORREF Win32Window::ColourRef(const Colour& colour, COLORREF fallback) const {
  switch (colour.source) {
    case Colour::Source::Rgb: return FromRgb(colour.rgb);
    case Colour::Source::SysWindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case Colour::Source::SysAppWorkspace: return ::GetSysColor(COLOR_APPWORKSPACE);
    case Colour::Source::Default: break;
  }
  return fallback;
}

// The background picture (scaled with the DPI), the frame's colour, and the visible lines and shapes, in
// one bitmap. The window paints from it, and the transparent labels use it as their background brush, so
// a label repaints itself whole: no old text is left behind and nothing flickers.
void Win32Window::ComposeBackground() {
  WindowDc screen(main_.get());
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  if (!composed_) composed_.reset(::CreateCompatibleBitmap(screen.get(), client_.cx, client_.cy));
  {
    Selection target(dc.get(), composed_.get());
    RECT all{0, 0, client_.cx, client_.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (background_) {
      BITMAP info{};
      ::GetObjectA(background_.get(), sizeof info, &info);
      MemoryDc from(::CreateCompatibleDC(screen.get()));
      Selection picture(from.get(), background_.get());
      ::SetStretchBltMode(dc.get(), HALFTONE);
      ::SetBrushOrgEx(dc.get(), 0, 0, nullptr);
      ::StretchBlt(dc.get(), 0, 0, MulDiv(info.bmWidth, dpi_, 96), MulDiv(info.bmHeight, dpi_, 96), from.get(), 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DrawComposedShapes(dc.get());
  }
  composedBrush_.reset(::CreatePatternBrush(composed_.get()));
}

// The frame's fill, then the visible lines and shape outlines.
void Win32Window::DrawComposedShapes(HDC dc) {
  const int penWidth = std::max(1, dpi_ / 96);
  for (auto& c : controls_) {
    const ControlDesc& d = c->desc;
    if (d.kind == ControlKind::Frame) {
      GdiObject<HBRUSH> fill(::CreateSolidBrush(ColourRef(d.back, ::GetSysColor(COLOR_BTNFACE))));
      ::FillRect(dc, &c->rect, fill.get());
    }
    if (!c->visible || (d.kind != ControlKind::Line && d.kind != ControlKind::Shape)) continue;
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, ColourRef(d.fore, RGB(0, 0, 0))));
    Selection usePen(dc, pen.get());
    if (d.kind == ControlKind::Line) {
      ::MoveToEx(dc, Px(d.left), Px(d.top), nullptr);
      ::LineTo(dc, Px(d.width), Px(d.height));
    } else {
      const RECT& s = c->rect;  // an outline only: the background shows through
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

// Transparent labels, the frame and the pictures: text in the control's colour over the composed
// background, aligned to where the control sits. The closed card list shows its text in grey.
LRESULT Win32Window::LabelColours(HDC dc, HWND hwnd) {
  Control* c = ByHwnd(hwnd);
  if (c == nullptr) return reinterpret_cast<LRESULT>(composedBrush_.get());
  if (c->desc.kind == ControlKind::ComboBox) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::SetBkColor(dc, ColourRef(c->desc.back, RGB(255, 255, 255)));
    return reinterpret_cast<LRESULT>(c->brush.get());
  }
  ::SetTextColor(dc, ColourRef(c->desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -c->rect.left, -c->rect.top, nullptr);
  return reinterpret_cast<LRESULT>(composedBrush_.get());
}

// The number box, the card list and its open list: their own colours on their own background.
LRESULT Win32Window::BoxColours(UINT message, HDC dc, HWND hwnd) {
  Control* c = ByHwnd(hwnd);
  if (c == nullptr || !c->brush) {
    for (auto& combo : controls_) {
      if (combo->desc.kind == ControlKind::ComboBox) c = combo.get();  // the open list of the combo box
    }
  }
  if (c == nullptr) {
    return ::DefWindowProcA(main_.get(), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
  }
  ::SetTextColor(dc, ColourRef(c->desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkColor(dc, ColourRef(c->desc.back, RGB(255, 255, 255)));
  return reinterpret_cast<LRESULT>(c->brush.get());
}

// The two buttons: a small gradient picture, the caption with its access key underlined, the default
// button marked by a second border, the focus by a dotted rectangle.
void Win32Window::DrawButton(const DRAWITEMSTRUCT& item) {
  Control* c = ByHwnd(item.hwndItem);
  if (c == nullptr) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  Control* focused = ByHwnd(::GetFocus());
  const bool otherButtonFocused = focused != nullptr && focused != c && focused->desc.kind == ControlKind::Button;
  DrawButtonFace(dc, r, pressed, disabled, c->desc.isDefault && !otherButtonFocused);

  const std::string caption = WindowTextOf(item.hwndItem);
  RECT textRect = r;
  if (pressed) ::OffsetRect(&textRect, 1, 1);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 96));
  {
    Selection font(dc, c->font);
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focusRect = r;
    ::InflateRect(&focusRect, -3, -3);
    ::DrawFocusRect(dc, &focusRect);
  }
  // The default button's second border follows the focus between the buttons.
  if (item.itemAction == ODA_FOCUS && !c->desc.isDefault) {
    for (auto& other : controls_) {
      if (other->desc.isDefault && other->hwnd != nullptr) ::InvalidateRect(other->hwnd, nullptr, FALSE);
    }
  }
}

// A vertical gradient and a border, doubled for the default button.
void Win32Window::DrawButtonFace(HDC dc, const RECT& r, bool pressed, bool disabled, bool isDefault) {
  const int height = r.bottom - r.top;
  const COLORREF top = disabled ? RGB(236, 236, 236) : pressed ? RGB(170, 205, 240) : RGB(246, 250, 255);
  const COLORREF bottom = disabled ? RGB(214, 214, 214) : pressed ? RGB(206, 228, 250) : RGB(184, 214, 244);
  for (int y = 0; y < height; ++y) {
    GdiObject<HBRUSH> brush(::CreateSolidBrush(Mix(top, bottom, height > 1 ? y * 255 / (height - 1) : 0)));
    RECT line{r.left, r.top + y, r.right, r.top + y + 1};
    ::FillRect(dc, &line, brush.get());
  }
  GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, disabled ? RGB(160, 160, 160) : RGB(40, 90, 150)));
  Selection usePen(dc, pen.get());
  Selection hollow(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
  if (isDefault && !disabled) ::Rectangle(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
}

// The frame paints itself: the frame colour from the composed background, an etched border, and its caption
// in its own colour, whatever visual style is active.
LRESULT Win32Window::HandleFrame(Control& frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT result = ::DefWindowProcA(frame.hwnd, message, wParam, lParam);
      ::InvalidateRect(frame.hwnd, nullptr, FALSE);
      return result;
    }
    case WM_PAINT: PaintFrame(frame); return 0;
    default: return ::CallWindowProcA(frame.original, frame.hwnd, message, wParam, lParam);
  }
}

void Win32Window::PaintFrame(Control& frame) {
  PaintDc paint(frame.hwnd);
  HDC dc = paint.get();
  RECT r;
  ::GetClientRect(frame.hwnd, &r);
  ::SetBrushOrgEx(dc, -frame.rect.left, -frame.rect.top, nullptr);
  ::FillRect(dc, &r, composedBrush_.get());
  Selection font(dc, frame.font);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  RECT border = r;
  border.top += tm.tmHeight / 2;
  // The designed frame reaches a pixel past the window's client area: keep its bottom edge in sight.
  border.bottom = std::min<LONG>(border.bottom, client_.cy - frame.rect.top);
  ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  const std::string caption = WindowTextOf(frame.hwnd);
  const int length = static_cast<int>(caption.size());
  RECT textRect{r.left + Px(120), r.top, r.right - Px(120), r.top + tm.tmHeight};
  ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT);
  textRect.right = std::min(textRect.right, r.right - Px(120));
  ::FillRect(dc, &textRect, composedBrush_.get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColourRef(frame.desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace vexa::win32
