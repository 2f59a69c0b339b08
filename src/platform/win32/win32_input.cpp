// What the real window does with the keyboard: the number box's filters, Enter and Esc, the card list.
#include "platform/win32/win32_control.h"

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

// The number box: typed characters go through the key filter, pastes through the paste filter, whatever
// way they come (Ctrl+V, Shift+Insert, the context menu, WM_PASTE).
LRESULT Win32Window::HandleEdit(Control& edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: {
      int key = static_cast<int>(wParam);
      if (key == 0x16) {  // Ctrl+V
        ::SendMessageA(edit.hwnd, WM_PASTE, 0, 0);
        return 0;
      }
      if (key == 0x01 || key == 0x03 || key == 0x18 || key == 0x1A) break;  // select all, copy, cut, undo
      events_->OnKeyPress(edit.desc.id, key);
      if (key == 0) return 0;
      wParam = static_cast<WPARAM>(key);
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0) {
        ::SendMessageA(edit.hwnd, WM_PASTE, 0, 0);
        return 0;
      }
      break;
    case WM_PASTE:
      if (!PasteAllowed(edit)) return 0;
      break;
    default: break;
  }
  return ::CallWindowProcA(edit.original, edit.hwnd, message, wParam, lParam);
}

// A refused paste beeps and leaves the box as it was.
bool Win32Window::PasteAllowed(Control& edit) {
  if (events_->OnPaste(edit.desc.id, text_.FromAnsi(ClipboardText(edit.hwnd)))) return true;
  ::MessageBeep(MB_OK);
  return false;
}

// A choice in the card list is reported once, also when the same entry is chosen again: on CBN_SELENDOK
// when the list was open, on CBN_SELCHANGE when the keyboard changed it in the closed box.
void Win32Window::OnComboNotify(Control& combo, int code) {
  switch (code) {
    case CBN_DROPDOWN:
      comboDropped_ = true;
      comboChoiceReported_ = false;
      break;
    case CBN_CLOSEUP: comboDropped_ = false; break;
    case CBN_SELENDOK:
      if (::SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0) < 0) break;
      comboChoiceReported_ = true;
      ::PostMessageA(main_.get(), kClearComboChoice, 0, 0);
      events_->OnClick(combo.desc.id);
      break;
    case CBN_SELCHANGE:
      if (!comboDropped_ && !comboChoiceReported_) events_->OnClick(combo.desc.id);
      break;
    default: break;
  }
}

void Win32Window::ClickIfEnabled(Control* button) {
  if (button != nullptr && button->hwnd != nullptr && ::IsWindowEnabled(button->hwnd) &&
      ::IsWindowVisible(button->hwnd)) {
    events_->OnClick(button->desc.id);
  }
}

// The one route of Enter and Esc, ahead of IsDialogMessage: Enter presses the focused button or else the
// default button, Esc the cancel button, wherever the focus is; an open card list keeps both keys.
bool Win32Window::TranslateKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !main_) return false;
  if (msg.hwnd != main_.get() && !::IsChild(main_.get(), msg.hwnd)) return false;
  if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
  for (auto& c : controls_) {
    if (c->desc.kind == ControlKind::ComboBox && ::SendMessageA(c->hwnd, CB_GETDROPPEDSTATE, 0, 0)) return false;
  }
  Control* target = nullptr;
  for (auto& c : controls_) {
    if (msg.wParam == VK_ESCAPE && c->desc.isCancel) target = c.get();
    if (msg.wParam == VK_RETURN && c->desc.isDefault) target = c.get();
  }
  Control* focused = ByHwnd(::GetFocus());
  if (msg.wParam == VK_RETURN && focused != nullptr && focused->desc.kind == ControlKind::Button) target = focused;
  ClickIfEnabled(target);
  return true;
}

}  // namespace vexa::win32
