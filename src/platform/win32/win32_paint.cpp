// How the real window looks: the composed background, the labels' colours, the buttons and the frame.
#include <algorithm>

#include "platform/win32/win32_control.h"

namespace vexa::win32 {

// The background picture (scaled with the DPI), the frame's colour, and the visible lines and shapes, in
// one bitmap. The window paints from it, and the transparent labels use it as their background brush, so
// a label repaints itself whole: no old text is left behind and nothing flickers.
void Win32Window::ComposeBackground() {
  HDC screen = ::GetDC(main_);
  HDC dc = ::CreateCompatibleDC(screen);
  if (composed_ == nullptr) composed_ = ::CreateCompatibleBitmap(screen, client_.cx, client_.cy);
  HGDIOBJ oldBitmap = ::SelectObject(dc, composed_);
  RECT all{0, 0, client_.cx, client_.cy};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  if (background_ != nullptr) {
    BITMAP info{};
    ::GetObjectA(background_, sizeof info, &info);
    HDC from = ::CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = ::SelectObject(from, background_);
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, dpi_, 96), MulDiv(info.bmHeight, dpi_, 96), from, 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
    ::SelectObject(from, oldFrom);
    ::DeleteDC(from);
  }
  const int penWidth = std::max(1, dpi_ / 96);
  for (auto& c : controls_) {
    const ControlDesc& d = c->desc;
    if (d.kind == ControlKind::Frame) {
      HBRUSH fill = ::CreateSolidBrush(ColourRef(d.back, ::GetSysColor(COLOR_BTNFACE)));
      ::FillRect(dc, &c->rect, fill);
      ::DeleteObject(fill);
    }
    if (!c->visible || (d.kind != ControlKind::Line && d.kind != ControlKind::Shape)) continue;
    HPEN pen = ::CreatePen(PS_SOLID, penWidth, ColourRef(d.fore, RGB(0, 0, 0)));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    if (d.kind == ControlKind::Line) {
      ::MoveToEx(dc, Px(d.left), Px(d.top), nullptr);
      ::LineTo(dc, Px(d.width), Px(d.height));
    } else {
      const RECT& s = c->rect;  // an outline only: the background shows through
      const POINT outline[] = {
          {s.left, s.top}, {s.right - 1, s.top}, {s.right - 1, s.bottom - 1}, {s.left, s.bottom - 1}, {s.left, s.top}};
      ::Polyline(dc, outline, 5);
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
  }
  ::SelectObject(dc, oldBitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(main_, screen);
  if (composedBrush_ != nullptr) ::DeleteObject(composedBrush_);
  composedBrush_ = ::CreatePatternBrush(composed_);
}

// Transparent labels, the frame and the pictures: text in the control's colour over the composed
// background, aligned to where the control sits.
LRESULT Win32Window::LabelColours(HDC dc, HWND hwnd) {
  Control* c = ByHwnd(hwnd);
  if (c == nullptr) return reinterpret_cast<LRESULT>(composedBrush_);
  if (c->desc.kind == ControlKind::ComboBox) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::SetBkColor(dc, ColourRef(c->desc.back, RGB(255, 255, 255)));
    return reinterpret_cast<LRESULT>(c->brush);
  }
  ::SetTextColor(dc, ColourRef(c->desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -c->rect.left, -c->rect.top, nullptr);
  return reinterpret_cast<LRESULT>(composedBrush_);
}

// The two buttons: a small gradient picture, the caption with its access key underlined, the default
// button marked by a second border, the focus by a dotted rectangle.
void Win32Window::DrawButton(const DRAWITEMSTRUCT& item) {
  Control* c = ByHwnd(item.hwndItem);
  if (c == nullptr) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  HWND focus = ::GetFocus();
  Control* focusedControl = ByHwnd(focus);
  const bool otherButtonFocused =
      focusedControl != nullptr && focusedControl != c && focusedControl->desc.kind == ControlKind::Button;
  const bool isDefault = c->desc.isDefault && !otherButtonFocused;

  const int height = r.bottom - r.top;
  const COLORREF top = disabled ? RGB(236, 236, 236) : pressed ? RGB(170, 205, 240) : RGB(246, 250, 255);
  const COLORREF bottom = disabled ? RGB(214, 214, 214) : pressed ? RGB(206, 228, 250) : RGB(184, 214, 244);
  for (int y = 0; y < height; ++y) {
    const int t = height > 1 ? y * 255 / (height - 1) : 0;
    COLORREF row = RGB((GetRValue(top) * (255 - t) + GetRValue(bottom) * t) / 255,
                       (GetGValue(top) * (255 - t) + GetGValue(bottom) * t) / 255,
                       (GetBValue(top) * (255 - t) + GetBValue(bottom) * t) / 255);
    HBRUSH brush = ::CreateSolidBrush(row);
    RECT line{r.left, r.top + y, r.right, r.top + y + 1};
    ::FillRect(dc, &line, brush);
    ::DeleteObject(brush);
  }
  const COLORREF edge = disabled ? RGB(160, 160, 160) : RGB(40, 90, 150);
  HPEN pen = ::CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
  if (isDefault && !disabled) ::Rectangle(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);

  const int length = ::GetWindowTextLengthA(item.hwndItem);
  std::string caption(static_cast<std::size_t>(length) + 1, '\0');
  ::GetWindowTextA(item.hwndItem, caption.data(), length + 1);
  RECT textRect = r;
  if (pressed) ::OffsetRect(&textRect, 1, 1);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 96));
  HGDIOBJ oldFont = ::SelectObject(dc, c->font);
  ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SelectObject(dc, oldFont);
  if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
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
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(frame.hwnd, &ps);
      RECT r;
      ::GetClientRect(frame.hwnd, &r);
      ::SetBrushOrgEx(dc, -frame.rect.left, -frame.rect.top, nullptr);
      ::FillRect(dc, &r, composedBrush_);
      HGDIOBJ oldFont = ::SelectObject(dc, frame.font);
      TEXTMETRICA tm{};
      ::GetTextMetricsA(dc, &tm);
      RECT border = r;
      border.top += tm.tmHeight / 2;
      // The designed frame reaches a pixel past the window's client area: keep its bottom edge in sight.
      border.bottom = std::min<LONG>(border.bottom, client_.cy - frame.rect.top);
      ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
      const int length = ::GetWindowTextLengthA(frame.hwnd);
      std::string caption(static_cast<std::size_t>(length) + 1, '\0');
      ::GetWindowTextA(frame.hwnd, caption.data(), length + 1);
      RECT textRect{r.left + Px(120), r.top, r.right - Px(120), r.top + tm.tmHeight};
      ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT);
      textRect.right = std::min(textRect.right, r.right - Px(120));
      ::FillRect(dc, &textRect, composedBrush_);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ColourRef(frame.desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
      ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      ::SelectObject(dc, oldFont);
      ::EndPaint(frame.hwnd, &ps);
      return 0;
    }
    default: return ::CallWindowProcA(frame.original, frame.hwnd, message, wParam, lParam);
  }
}

}  // namespace vexa::win32
