#include "platform/win32/widgets/flat_button.h"

namespace vexa::win32 {

namespace {

COLORREF Mix(COLORREF from, COLORREF to, int t) {  // t from 0 (from) to 255 (to)
  return RGB((GetRValue(from) * (255 - t) + GetRValue(to) * t) / 255,
             (GetGValue(from) * (255 - t) + GetGValue(to) * t) / 255,
             (GetBValue(from) * (255 - t) + GetBValue(to) * t) / 255);
}

// A vertical gradient and a border, doubled for the default button.
void DrawFace(HDC dc, const RECT& r, bool pressed, bool disabled, bool isDefault) {
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

}  // namespace

WindowClass FlatButton::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.name = "BUTTON";
  cls.style |= BS_OWNERDRAW;
  return cls;
}

bool FlatButton::OnCommand(int code) {
  if (code != BN_CLICKED) return false;
  context_.events->OnClick(Desc().id);
  return true;
}

void FlatButton::Draw(const DRAWITEMSTRUCT& item, bool markDefault) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFace(dc, r, pressed, disabled, markDefault);
  const std::string caption = WindowTextOf(Window());
  RECT textRect = r;
  if (pressed) ::OffsetRect(&textRect, 1, 1);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 96));
  {
    Selection selected(dc, Font());
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focusRect = r;
    ::InflateRect(&focusRect, -3, -3);
    ::DrawFocusRect(dc, &focusRect);
  }
}

}  // namespace vexa::win32
