// The real window's procedure: each message it answers goes to a handler of its own, or to the widget it is
// for; Enter and Esc, ahead of IsDialogMessage.
#include "platform/win32/win32_window.h"

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

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Clicks of the buttons and clickable labels, and the card list's notifications. Enter and Esc do not
      // come this way (TranslateKeys presses the buttons for them); access keys arrive as BN_CLICKED.
      if (Widget* w = widgets_.ByWindow(reinterpret_cast<HWND>(lParam))) w->OnCommand(HIWORD(wParam));
      return 0;
    case kClearComboChoice: widgets_.ChoicesDone(); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return OnColours(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: widgets_.DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), ::GetFocus()); return TRUE;
    case WM_SETCURSOR: {
      // The hand over what can be clicked.
      Widget* w = widgets_.ByWindow(reinterpret_cast<HWND>(wParam));
      if (w != nullptr && LOWORD(lParam) == HTCLIENT && w->SetCursor()) return TRUE;
      break;
    }
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything from the composed background
    case WM_PAINT: background_.Paint(main_.get()); return 0;
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

// Each widget's own colours; the card list's open list (a window of its own) takes the card list's, and
// anything else the composed background.
LRESULT Win32Window::OnColours(UINT message, HDC dc, HWND hwnd) {
  Widget* w = widgets_.ByWindow(hwnd);
  if (w == nullptr && message == WM_CTLCOLORLISTBOX) w = widgets_.FirstCombo();
  if (w != nullptr) {
    if (const std::optional<LRESULT> brush = w->Colours(message, dc)) return *brush;
  }
  if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(background_.Brush().get());
  return ::DefWindowProcA(main_.get(), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
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

// The one route of Enter and Esc, ahead of IsDialogMessage (the widgets say which button a key presses).
bool Win32Window::TranslateKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !main_) return false;
  if (msg.hwnd != main_.get() && !::IsChild(main_.get(), msg.hwnd)) return false;
  bool handled = false;
  if (FlatButton* target = widgets_.KeyTarget(msg.wParam, ::GetFocus(), handled)) target->OnCommand(BN_CLICKED);
  return handled;
}

}  // namespace vexa::win32
