#include "platform/win32/widgets/number_box.h"

namespace vexa::win32 {

namespace {

// The clipboard's text (CF_TEXT, which Windows provides from the Unicode text too).
std::string ClipboardText(HWND owner) {
  std::string clip;
  if (!::OpenClipboard(owner)) return clip;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(::GlobalLock(data))) {
      clip = p;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return clip;
}

}  // namespace

WindowClass NumberBox::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.name = "EDIT";
  cls.style |= ES_AUTOHSCROLL;
  cls.exStyle = WS_EX_CLIENTEDGE;
  return cls;
}

void NumberBox::SetUp() {
  brush_.reset(::CreateSolidBrush(ColourRef(Desc().back, RGB(255, 255, 255))));
  Subclass();
}

std::optional<LRESULT> NumberBox::Colours(UINT, HDC dc) {
  ::SetTextColor(dc, ColourRef(Desc().fore, ::GetSysColor(COLOR_WINDOWTEXT)));
  ::SetBkColor(dc, ColourRef(Desc().back, RGB(255, 255, 255)));
  return reinterpret_cast<LRESULT>(brush_.get());
}

LRESULT NumberBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: {
      int key = static_cast<int>(wParam);
      if (key == 0x16) {  // Ctrl+V
        ::SendMessageA(Window(), WM_PASTE, 0, 0);
        return 0;
      }
      if (key == 0x01 || key == 0x03 || key == 0x18 || key == 0x1A) break;  // select all, copy, cut, undo
      context_.events->OnKeyPress(Desc().id, key);
      if (key == 0) return 0;
      wParam = static_cast<WPARAM>(key);
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0) {
        ::SendMessageA(Window(), WM_PASTE, 0, 0);
        return 0;
      }
      break;
    case WM_PASTE:
      if (!PasteAllowed()) return 0;
      break;
    default: break;
  }
  return Original(message, wParam, lParam);
}

bool NumberBox::PasteAllowed() {
  if (context_.events->OnPaste(Desc().id, context_.text->FromAnsi(ClipboardText(Window())))) return true;
  ::MessageBeep(MB_OK);
  return false;
}

}  // namespace vexa::win32
