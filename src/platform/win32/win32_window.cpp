#include "platform/win32/win32_window.h"

#include <algorithm>

#include "platform/win32/win32_control.h"

namespace vexa::win32 {

namespace {

constexpr const char* kClassName = "VexaIpSetMain";

COLORREF FromRgb(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Common Controls 6 draws combo boxes and group boxes from the visual style, which ignores the colours the
// window asks for; those two are drawn classic. uxtheme is loaded from the system folder only.
void DropVisualStyle(HMODULE uxtheme, HWND hwnd) {
  if (uxtheme == nullptr) return;
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  auto setTheme =
      reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void (*)()>(::GetProcAddress(uxtheme, "SetWindowTheme")));
  if (setTheme != nullptr) setTheme(hwnd, L"", L"");
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance, TextCodec& text, Win32MessageBoxes& messages)
    : instance_(instance), text_(text), messages_(messages) {}

Win32Window::~Win32Window() {
  for (auto& c : controls_) {
    if (c->brush != nullptr) ::DeleteObject(c->brush);
    if (c->picture != nullptr) ::DeleteObject(c->picture);
  }
  for (auto& [key, font] : fonts_) ::DeleteObject(font);
  for (HGDIOBJ o :
       {static_cast<HGDIOBJ>(background_), static_cast<HGDIOBJ>(composed_), static_cast<HGDIOBJ>(composedBrush_)}) {
    if (o != nullptr) ::DeleteObject(o);
  }
  if (measureDc_ != nullptr) ::DeleteDC(measureDc_);
  if (uxtheme_ != nullptr) ::FreeLibrary(uxtheme_);
  if (icon_ != nullptr) ::DestroyIcon(icon_);
  if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
}

Win32Window::Control* Win32Window::ByHwnd(HWND hwnd) {
  for (auto& c : controls_) {
    if (c->hwnd == hwnd && hwnd != nullptr) return c.get();
  }
  return nullptr;
}

Win32Window::Control* Win32Window::ById(ControlId id) {
  for (auto& c : controls_) {
    if (c->desc.id == id) return c.get();
  }
  return nullptr;
}

COLORREF Win32Window::ColourRef(const Colour& colour, COLORREF fallback) const {
  switch (colour.source) {
    case Colour::Source::Rgb: return FromRgb(colour.rgb);
    case Colour::Source::SysWindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case Colour::Source::SysAppWorkspace: return ::GetSysColor(COLOR_APPWORKSPACE);
    case Colour::Source::Default: break;
  }
  return fallback;
}

HFONT Win32Window::Font(const FontSpec& requested) {
  const FontSpec style = requested.face.empty() ? window_.font : requested;
  std::wstring key = std::wstring(style.face) + L"|" + std::to_wstring(style.points) + (style.bold ? L"b" : L"") +
                     (style.underline ? L"u" : L"");
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  const int height = -MulDiv(static_cast<int>(style.points * 10 + 0.5), dpi_, 720);
  HFONT font = ::CreateFontA(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, style.underline ? TRUE : FALSE,
                             FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, text_.ToAnsi(style.face).c_str());
  fonts_[key] = font;
  return font;
}

RECT Win32Window::PixelRect(const ControlDesc& d) const {
  int left = d.left;
  int top = d.top;
  if (d.parent != kNoControl) {
    for (const auto& c : controls_) {
      if (c->desc.id == d.parent) {
        left += c->desc.left;
        top += c->desc.top;
      }
    }
  }
  RECT r{Px(left), Px(top), 0, 0};
  r.right = r.left + Px(d.width);
  r.bottom = r.top + Px(d.height);
  return r;
}

HBITMAP Win32Window::ScaledPicture(int resource, int width, int height) {
  auto source =
      static_cast<HBITMAP>(::LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (source == nullptr) return nullptr;
  BITMAP info{};
  ::GetObjectA(source, sizeof info, &info);
  HDC screen = ::GetDC(nullptr);
  HDC from = ::CreateCompatibleDC(screen);
  HDC to = ::CreateCompatibleDC(screen);
  HBITMAP scaled = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldFrom = ::SelectObject(from, source);
  HGDIOBJ oldTo = ::SelectObject(to, scaled);
  ::SetStretchBltMode(to, HALFTONE);
  ::SetBrushOrgEx(to, 0, 0, nullptr);
  ::StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(source);
  return scaled;
}

bool Win32Window::Create(const WindowDesc& window, std::span<const ControlDesc> controls) {
  window_ = window;
  HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  client_ = SIZE{Px(window.clientWidth), Px(window.clientHeight)};

  icon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(window.icon), IMAGE_ICON,
                                          ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(window.icon), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Window::MainProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = icon_;
  wc.hIconSm = smallIcon_;
  wc.lpszClassName = kClassName;
  ::RegisterClassExA(&wc);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, client_.cx, client_.cy};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = work.left + std::max<int>(0, (work.right - work.left - width) / 2);
  const int y = work.top + std::max<int>(0, (work.bottom - work.top - height) / 2);
  main_ = ::CreateWindowExA(0, kClassName, text_.ToAnsi(window.caption).c_str(), style, x, y, width, height, nullptr,
                            nullptr, instance_, this);
  if (main_ == nullptr) return false;

  measureDc_ = ::CreateCompatibleDC(nullptr);
  uxtheme_ = ::LoadLibraryExA("uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  for (const auto& d : controls) {
    auto c = std::make_unique<Control>();
    c->desc = d;
    c->visible = d.visible;
    controls_.push_back(std::move(c));
  }
  for (auto& c : controls_) c->rect = PixelRect(c->desc);
  background_ = static_cast<HBITMAP>(
      ::LoadImageA(instance_, MAKEINTRESOURCEA(window.background), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  for (auto& c : controls_) {
    if (c->desc.kind != ControlKind::Line && c->desc.kind != ControlKind::Shape) CreateControl(*c);
  }
  ComposeBackground();
  return true;
}

void Win32Window::CreateControl(Control& c) {
  const ControlDesc& d = c.desc;
  const char* cls = "STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (d.visible ? WS_VISIBLE : 0) | (d.tabIndex >= 0 ? WS_TABSTOP : 0);
  DWORD exStyle = 0;
  RECT r = c.rect;
  switch (d.kind) {
    case ControlKind::Label: style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (d.clickable ? SS_NOTIFY : 0); break;
    case ControlKind::TextBox:
      cls = "EDIT";
      style |= ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      c.brush = ::CreateSolidBrush(ColourRef(d.back, RGB(255, 255, 255)));
      break;
    case ControlKind::ComboBox:
      cls = "COMBOBOX";
      style |= CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL;
      r.bottom = r.top + Px(3000);  // room for the opened list
      c.brush = ::CreateSolidBrush(ColourRef(d.back, RGB(255, 255, 255)));
      break;
    case ControlKind::Button:
      cls = "BUTTON";
      style |= BS_OWNERDRAW;
      break;
    case ControlKind::Frame:
      cls = "BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ControlKind::PictureBox: style |= SS_BITMAP | SS_NOTIFY; break;
    case ControlKind::Line:
    case ControlKind::Shape: return;
  }
  c.font = Font(d.font);
  if (d.kind == ControlKind::Label && d.autoSize) {
    AutoSize(c, text_.ToAnsi(d.caption));
    r = c.rect;
  }
  c.hwnd = ::CreateWindowExA(exStyle, cls, text_.ToAnsi(d.caption).c_str(), style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(d.id))),
                             instance_, nullptr);
  ::SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
  ::SetWindowLongPtrA(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  switch (d.kind) {
    case ControlKind::TextBox:
      c.original = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::SubclassProc)));
      break;
    case ControlKind::ComboBox:
      DropVisualStyle(uxtheme_, c.hwnd);
      // The closed box keeps its designed height.
      ::SendMessageA(c.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(8, Px(d.height) - 6));
      break;
    case ControlKind::Frame:
      DropVisualStyle(uxtheme_, c.hwnd);
      c.original = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::SubclassProc)));
      break;
    case ControlKind::PictureBox:
      c.picture = ScaledPicture(d.picture, r.right - r.left, r.bottom - r.top);
      ::SendMessageA(c.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(c.picture));
      ::SetWindowPos(c.hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    default: break;
  }
}

// An AutoSize label grows with its text from its designed size.
void Win32Window::AutoSize(Control& c, const std::string& text) {
  SIZE extent{};
  HGDIOBJ old = ::SelectObject(measureDc_, c.font);
  ::GetTextExtentPoint32A(measureDc_, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(measureDc_, old);
  const RECT designed = PixelRect(c.desc);
  c.rect.right = c.rect.left + std::max<LONG>(designed.right - designed.left, extent.cx);
  c.rect.bottom = c.rect.top + std::max<LONG>(designed.bottom - designed.top, extent.cy);
  if (c.hwnd != nullptr) {
    ::SetWindowPos(c.hwnd, nullptr, 0, 0, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The number box and the frame are subclassed: their messages come here first.
LRESULT CALLBACK Win32Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  Control* c = self != nullptr ? self->ByHwnd(hwnd) : nullptr;
  if (c == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (c->desc.kind == ControlKind::TextBox) return self->HandleEdit(*c, message, wParam, lParam);
  return self->HandleFrame(*c, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->main_ != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      Control* c = ByHwnd(reinterpret_cast<HWND>(lParam));
      const int code = HIWORD(wParam);
      if (c == nullptr) {
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
          for (auto& b : controls_) {
            if ((LOWORD(wParam) == IDCANCEL && b->desc.isCancel) || (LOWORD(wParam) == IDOK && b->desc.isDefault)) {
              ClickIfEnabled(b.get());
            }
          }
        }
        return 0;
      }
      if (c->desc.kind == ControlKind::ComboBox) {
        OnComboNotify(*c, code);
      } else if (code == BN_CLICKED && (c->desc.kind == ControlKind::Button || c->desc.clickable)) {
        events_->OnClick(c->desc.id);
      }
      return 0;
    }
    case kClearComboChoice: comboChoiceReported_ = false; return 0;
    case WM_CTLCOLORSTATIC: return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      Control* c = ByHwnd(reinterpret_cast<HWND>(lParam));
      if (c == nullptr || c->brush == nullptr) {
        for (auto& combo : controls_) {
          if (combo->desc.kind == ControlKind::ComboBox) c = combo.get();  // the open list of the combo box
        }
      }
      if (c == nullptr) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, ColourRef(c->desc.fore, ::GetSysColor(COLOR_WINDOWTEXT)));
      ::SetBkColor(dc, ColourRef(c->desc.back, RGB(255, 255, 255)));
      return reinterpret_cast<LRESULT>(c->brush);
    }
    case WM_DRAWITEM: DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETCURSOR: {
      Control* c = ByHwnd(reinterpret_cast<HWND>(wParam));
      if (c != nullptr && LOWORD(lParam) == HTCLIENT &&
          ((c->desc.kind == ControlKind::Label && c->desc.clickable) || c->desc.kind == ControlKind::ComboBox)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(main_, &ps);
      HDC from = ::CreateCompatibleDC(dc);
      HGDIOBJ old = ::SelectObject(from, composed_);
      ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, from, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      ::SelectObject(from, old);
      ::DeleteDC(from);
      ::EndPaint(main_, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // The focus comes back to where it was when the window is activated again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(main_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // What IsDialogMessage asks of Tab and Shift+Tab: a dialog's own procedure would do this.
      HWND next = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                              : ::GetNextDlgTabItem(main_, ::GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) ::SetFocus(next);
      return 0;
    }
    case DM_GETDEFID:
      for (auto& c : controls_) {
        if (c->desc.isDefault) return MAKELONG(ControlIdOf(c->desc.id), DC_HASDEFID);
      }
      break;
    case WM_CLOSE: Unload(); return 0;
    case WM_DESTROY:
      messages_.SetOwner(0);
      main_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
    default: break;
  }
  return ::DefWindowProcA(main_, message, wParam, lParam);
}

int Win32Window::Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) {
  events_ = &events;
  if (!Create(window, controls)) return 1;
  messages_.SetOwner(reinterpret_cast<std::uintptr_t>(main_));
  HWND created = main_;
  events.OnLoad();
  if (main_ == nullptr) return 0;  // unloaded during start-up
  ::ShowWindow(created, SW_SHOWNORMAL);
  ::UpdateWindow(created);
  for (auto& c : controls_) {
    if (c->desc.tabIndex == 0 && ::GetFocus() == created) ::SetFocus(c->hwnd);
  }
  MSG msg{};
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateKeys(msg)) continue;
    if (main_ != nullptr && ::IsDialogMessageA(main_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Win32Window::SetCaption(ControlId id, const std::wstring& text) {
  Control* c = ById(id);
  if (c == nullptr || c->hwnd == nullptr) return;
  const std::string ansi = text_.ToAnsi(text);
  if (c->desc.kind == ControlKind::Label && c->desc.autoSize) AutoSize(*c, ansi);
  ::SetWindowTextA(c->hwnd, ansi.c_str());
}

std::wstring Win32Window::Caption(ControlId id) {
  Control* c = ById(id);
  if (c == nullptr || c->hwnd == nullptr) return L"";
  std::string text;
  if (c->desc.kind == ControlKind::ComboBox) {
    const LRESULT index = ::SendMessageA(c->hwnd, CB_GETCURSEL, 0, 0);
    if (index < 0) return L"";
    const LRESULT length = ::SendMessageA(c->hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return L"";
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(c->hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  } else {
    const int length = ::GetWindowTextLengthA(c->hwnd);
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(c->hwnd, text.data(), length + 1);
  }
  text.resize(text.find('\0'));
  return text_.FromAnsi(text);
}

void Win32Window::SetVisible(ControlId id, bool visible) {
  Control* c = ById(id);
  if (c == nullptr || c->visible == visible) return;
  c->visible = visible;
  if (c->hwnd != nullptr) {
    ::ShowWindow(c->hwnd, visible ? SW_SHOWNA : SW_HIDE);
    return;
  }
  ComposeBackground();  // a line or a shape
  ::RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::SetEnabled(ControlId id, bool enabled) {
  Control* c = ById(id);
  if (c != nullptr && c->hwnd != nullptr) ::EnableWindow(c->hwnd, enabled ? TRUE : FALSE);
}

void Win32Window::SetFocus(ControlId id) {
  Control* c = ById(id);
  if (c != nullptr && c->hwnd != nullptr) ::SetFocus(c->hwnd);
}

void Win32Window::ClearItems(ControlId id) {
  Control* c = ById(id);
  if (c != nullptr && c->hwnd != nullptr) ::SendMessageA(c->hwnd, CB_RESETCONTENT, 0, 0);
}

void Win32Window::AddItem(ControlId id, const std::wstring& text) {
  Control* c = ById(id);
  if (c == nullptr || c->hwnd == nullptr) return;
  const std::string ansi = text_.ToAnsi(text);  // the box keeps the entry up to its first NUL
  ::SendMessageA(c->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

void Win32Window::Unload() {
  if (main_ != nullptr) ::DestroyWindow(main_);
}

}  // namespace vexa::win32
