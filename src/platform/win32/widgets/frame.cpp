#include "platform/win32/widgets/frame.h"

#include <algorithm>

namespace vexa::win32 {

WindowClass Frame::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.name = "BUTTON";
  cls.style |= BS_GROUPBOX;
  return cls;
}

void Frame::SetUp() {
  DropVisualStyle();
  Subclass();
}

std::optional<LRESULT> Frame::Colours(UINT, HDC dc) {
  ::SetTextColor(dc, ColourRef(Desc().fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -Rect().left, -Rect().top, nullptr);
  return reinterpret_cast<LRESULT>(context_.background->get());
}

LRESULT Frame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      // The text is kept as the default procedure keeps it, without the group box's own painting. A window
      // subclassed through Common Controls is a Unicode one: the text comes in its wide form.
      const LRESULT result = ::IsWindowUnicode(Window()) ? ::DefWindowProcW(Window(), message, wParam, lParam)
                                                         : ::DefWindowProcA(Window(), message, wParam, lParam);
      ::InvalidateRect(Window(), nullptr, FALSE);
      return result;
    }
    case WM_PAINT: Paint(); return 0;
    default: return Original(message, wParam, lParam);
  }
}

void Frame::Paint() {
  PaintDc paint(Window());
  HDC dc = paint.get();
  RECT r;
  ::GetClientRect(Window(), &r);
  HBRUSH background = context_.background->get();
  ::SetBrushOrgEx(dc, -Rect().left, -Rect().top, nullptr);
  ::FillRect(dc, &r, background);
  Selection selected(dc, Font());
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  RECT border = r;
  border.top += tm.tmHeight / 2;
  // The designed frame reaches a pixel past the window's client area: keep its bottom edge in sight.
  border.bottom = std::min<LONG>(border.bottom, context_.client.cy - Rect().top);
  ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  const std::string caption = WindowTextOf(Window());
  const int length = static_cast<int>(caption.size());
  const int inset = context_.Px(120);
  RECT textRect{r.left + inset, r.top, r.right - inset, r.top + tm.tmHeight};
  ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT);
  textRect.right = std::min(textRect.right, r.right - inset);
  ::FillRect(dc, &textRect, background);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColourRef(Desc().fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::DrawTextA(dc, caption.c_str(), length, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace vexa::win32
