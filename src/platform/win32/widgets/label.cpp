#include "platform/win32/widgets/label.h"

#include <algorithm>

namespace vexa::win32 {

WindowClass Label::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (Desc().clickable ? SS_NOTIFY : 0);
  return cls;
}

bool Label::OnCommand(int code) {
  if (code != BN_CLICKED || !Desc().clickable) return false;
  context_.events->OnClick(Desc().id);
  return true;
}

// Its text in its colour over the composed background, aligned to where it sits.
std::optional<LRESULT> Label::Colours(UINT, HDC dc) {
  ::SetTextColor(dc, ColourRef(Desc().fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -Rect().left, -Rect().top, nullptr);
  return reinterpret_cast<LRESULT>(context_.background->get());
}

bool Label::SetCursor() {
  if (!Desc().clickable) return false;
  ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
  return true;
}

void Label::Fit(const std::string& text) {
  if (!Desc().autoSize) return;
  SIZE extent{};
  {
    Selection selected(context_.measure, Font());
    ::GetTextExtentPoint32A(context_.measure, text.c_str(), static_cast<int>(text.size()), &extent);
  }
  const RECT& designed = Designed();
  Resize(std::max<LONG>(designed.right - designed.left, extent.cx),
         std::max<LONG>(designed.bottom - designed.top, extent.cy));
}

}  // namespace vexa::win32
