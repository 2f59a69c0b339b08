#include "platform/win32/widgets/card_combo.h"

#include <algorithm>

namespace vexa::win32 {

WindowClass CardCombo::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.name = "COMBOBOX";
  cls.style |= CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL;
  return cls;
}

RECT CardCombo::WindowRect() const {
  RECT r = Rect();
  r.bottom = r.top + context_.Px(3000);  // room for the opened list
  return r;
}

void CardCombo::SetUp() {
  brush_.reset(::CreateSolidBrush(ColourRef(Desc().back, RGB(255, 255, 255))));
  DropVisualStyle();
  // The closed box keeps its designed height.
  ::SendMessageA(Window(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(8, context_.Px(Desc().height) - 6));
}

bool CardCombo::OnCommand(int code) {
  switch (code) {
    case CBN_DROPDOWN:
      dropped_ = true;
      choiceReported_ = false;
      break;
    case CBN_CLOSEUP: dropped_ = false; break;
    case CBN_SELENDOK:
      if (::SendMessageA(Window(), CB_GETCURSEL, 0, 0) < 0) break;
      choiceReported_ = true;
      ::PostMessageA(context_.main, kClearComboChoice, 0, 0);
      context_.events->OnClick(Desc().id);
      break;
    case CBN_SELCHANGE:
      if (!dropped_ && !choiceReported_) context_.events->OnClick(Desc().id);
      break;
    default: break;
  }
  return true;
}

// The closed box (WM_CTLCOLORSTATIC) shows its text in grey; the open list in the box's own colours.
std::optional<LRESULT> CardCombo::Colours(UINT message, HDC dc) {
  const COLORREF text = message == WM_CTLCOLORSTATIC ? ::GetSysColor(COLOR_GRAYTEXT)
                                                     : ColourRef(Desc().fore, ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, ColourRef(Desc().back, RGB(255, 255, 255)));
  return reinterpret_cast<LRESULT>(brush_.get());
}

bool CardCombo::SetCursor() {
  ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
  return true;
}

std::wstring CardCombo::Text() {
  const LRESULT index = ::SendMessageA(Window(), CB_GETCURSEL, 0, 0);
  if (index < 0) return L"";
  const LRESULT length = ::SendMessageA(Window(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return L"";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  ::SendMessageA(Window(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.find('\0'));
  return context_.text->FromAnsi(text);
}

void CardCombo::Clear() { ::SendMessageA(Window(), CB_RESETCONTENT, 0, 0); }

void CardCombo::Add(const std::wstring& text) {
  const std::string ansi = context_.text->ToAnsi(text);  // the box keeps the entry up to its first NUL
  ::SendMessageA(Window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

void CardCombo::Select(int index) { ::SendMessageA(Window(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

bool CardCombo::Dropped() const { return ::SendMessageA(Window(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

}  // namespace vexa::win32
