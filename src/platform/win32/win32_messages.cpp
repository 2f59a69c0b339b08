// The real window's procedure: each message it answers goes to a handler of its own.
#include "platform/win32/win32_control.h"

namespace vexa::win32 {

LRESULT CALLBACK Win32Window::MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->main_.get() != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

// The number box and the frame are subclassed: their messages come here first.
LRESULT CALLBACK Win32Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  Control* c = self != nullptr ? self->ByHwnd(hwnd) : nullptr;
  if (c == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (c->desc.kind == ControlKind::TextBox) return self->HandleEdit(*c, message, wParam, lParam);
  return self->HandleFrame(*c, message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case kClearComboChoice: comboChoiceReported_ = false; return 0;
    case WM_CTLCOLORSTATIC: return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return BoxColours(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), lParam)) return TRUE;
      break;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything from the composed background
    case WM_PAINT: OnPaint(); return 0;
    case WM_ACTIVATE:
      if (OnActivate(wParam)) return 0;
      break;
    case WM_NEXTDLGCTL: OnNextDlgCtl(wParam, lParam); return 0;
    case WM_CLOSE: Unload(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    default: break;
  }
  return ::DefWindowProcA(main_.get(), message, wParam, lParam);
}

// Clicks of the buttons and clickable labels, and the card list's notifications. Enter and Esc do not come
// this way: TranslateKeys presses the buttons for them (the owner-drawn buttons are no push buttons to
// IsDialogMessage), and access keys arrive here as the button's own BN_CLICKED.
void Win32Window::OnCommand(WPARAM wParam, LPARAM lParam) {
  Control* c = ByHwnd(reinterpret_cast<HWND>(lParam));
  if (c == nullptr) return;
  const int code = HIWORD(wParam);
  if (c->desc.kind == ControlKind::ComboBox) {
    OnComboNotify(*c, code);
  } else if (code == BN_CLICKED && (c->desc.kind == ControlKind::Button || c->desc.clickable)) {
    events_->OnClick(c->desc.id);
  }
}

// The hand over what can be clicked.
bool Win32Window::OnSetCursor(HWND hwnd, LPARAM lParam) {
  Control* c = ByHwnd(hwnd);
  if (c == nullptr || LOWORD(lParam) != HTCLIENT) return false;
  const bool link = c->desc.kind == ControlKind::Label && c->desc.clickable;
  if (!link && c->desc.kind != ControlKind::ComboBox) return false;
  ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
  return true;
}

// The focus comes back to where it was when the window is activated again; true when it was placed.
bool Win32Window::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(main_.get(), focus)) lastFocus_ = focus;
    return false;
  }
  if (lastFocus_ == nullptr || !::IsWindow(lastFocus_)) return false;
  ::SetFocus(lastFocus_);
  return true;
}

// What IsDialogMessage asks of Tab and Shift+Tab: a dialog's own procedure would do this.
void Win32Window::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
  HWND next = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                          : ::GetNextDlgTabItem(main_.get(), ::GetFocus(), wParam != 0 ? TRUE : FALSE);
  if (next != nullptr) ::SetFocus(next);
}

void Win32Window::OnDestroy() {
  messages_.SetOwner(0);
  main_.release();  // being destroyed: nothing left to destroy
  ::PostQuitMessage(0);
}

}  // namespace vexa::win32
