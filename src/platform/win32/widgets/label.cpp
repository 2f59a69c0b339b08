#include "platform/win32/widgets/label.h"

#include <algorithm>

namespace vexa::win32 {

WindowClass Label::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (desc.clickable ? SS_NOTIFY : 0);
  return cls;
}

bool Label::OnCommand(int code) {
  if (code != BN_CLICKED || !desc.clickable) return false;
  context_.events->OnClick(desc.id);
  return true;
}

// Its text in its colour over the composed background, aligned to where it sits.
std::optional<LRESULT> Label::Colours(UINT, HDC dc) {
  ::SetTextColor(dc, ColourRef(desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -rect.left, -rect.top, nullptr);
  return reinterpret_cast<LRESULT>(context_.background->get());
}

bool Label::SetCursor() {
  if (!desc.clickable) return false;
  ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
  return true;
}

void Label::FitText(HDC dc, const std::string& text, const RECT& designed) {
  SIZE extent{};
  {
    Selection selected(dc, font);
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  }
  rect.right = rect.left + std::max<LONG>(designed.right - designed.left, extent.cx);
  rect.bottom = rect.top + std::max<LONG>(designed.bottom - designed.top, extent.cy);
  if (hwnd != nullptr) {
    ::SetWindowPos(hwnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace vexa::win32
