#include "platform/win32/win32_window.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/win32_control.h"

namespace vexa::win32 {

namespace {

constexpr const char* kClassName = "VexaIpSetMain";

// Common Controls 6 draws combo boxes and group boxes from the visual style, which ignores the colours the
// window asks for; those two are drawn classic.
void DropVisualStyle(SystemFunctions& system, HWND hwnd) {
  if (auto setTheme = system.Get<fn::SetWindowTheme>()) setTheme(hwnd, L"", L"");
}

struct WindowClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

// The standard class and styles a control of the table is made of.
WindowClass ClassOf(const ControlDesc& d, bool shown) {
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0) | (d.tabIndex >= 0 ? WS_TABSTOP : 0);
  switch (d.kind) {
    case ControlKind::TextBox: return {"EDIT", common | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox: return {"COMBOBOX", common | CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 0};
    case ControlKind::Button: return {"BUTTON", common | BS_OWNERDRAW, 0};
    case ControlKind::Frame: return {"BUTTON", common | BS_GROUPBOX, 0};
    case ControlKind::PictureBox: return {"STATIC", common | SS_BITMAP | SS_NOTIFY, 0};
    case ControlKind::Label:
    case ControlKind::Line:
    case ControlKind::Shape: break;
  }
  return {"STATIC", common | SS_LEFTNOWORDWRAP | SS_NOPREFIX | (d.clickable ? SS_NOTIFY : 0), 0};
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance, int show, TextCodec& text, Win32MessageBoxes& messages,
                         SystemFunctions& functions)
    : instance_(instance),
      show_(show == SW_HIDE ? SW_SHOWNORMAL : show),
      text_(text),
      messages_(messages),
      functions_(functions) {}

Win32Window::~Win32Window() = default;

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

HFONT Win32Window::Font(const FontSpec& requested) {
  const FontSpec style = requested.face.empty() ? window_.font : requested;
  const int tenths = static_cast<int>(std::lround(style.points * 10));
  std::wstring key = std::wstring(style.face) + L"|" + std::to_wstring(tenths) + (style.bold ? L"b" : L"") +
                     (style.underline ? L"u" : L"");
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  // Points to pixels at the screen's DPI: -(points * dpi / 72), from tenths of a point.
  const int height = -MulDiv(tenths, dpi_, 720);
  HFONT font = ::CreateFontA(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, style.underline ? TRUE : FALSE,
                             FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, text_.ToAnsi(style.face).c_str());
  fonts_.emplace(key, GdiObject<HFONT>(font));
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
  GdiObject<HBITMAP> source(
      static_cast<HBITMAP>(::LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (!source) return nullptr;
  BITMAP info{};
  ::GetObjectA(source.get(), sizeof info, &info);
  WindowDc screen(nullptr);
  MemoryDc from(::CreateCompatibleDC(screen.get()));
  MemoryDc to(::CreateCompatibleDC(screen.get()));
  HBITMAP scaled = ::CreateCompatibleBitmap(screen.get(), width, height);
  {
    Selection fromPicture(from.get(), source.get());
    Selection toPicture(to.get(), scaled);
    ::SetStretchBltMode(to.get(), HALFTONE);
    ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
    ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
  return scaled;
}

bool Win32Window::CreateMain(const WindowDesc& window) {
  icon_.reset(static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(window.icon), IMAGE_ICON,
                                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
  smallIcon_.reset(
      static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(window.icon), IMAGE_ICON,
                                      ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Window::MainProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = icon_.get();
  wc.hIconSm = smallIcon_.get();
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
  main_.reset(::CreateWindowExA(0, kClassName, text_.ToAnsi(window.caption).c_str(), style, x, y, width, height,
                                nullptr, nullptr, instance_, this));
  return static_cast<bool>(main_);
}

bool Win32Window::Create(const WindowDesc& window, std::span<const ControlDesc> controls) {
  window_ = window;
  {
    WindowDc screen(nullptr);
    dpi_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  client_ = SIZE{Px(window.clientWidth), Px(window.clientHeight)};
  if (!CreateMain(window)) return false;

  measureDc_.reset(::CreateCompatibleDC(nullptr));
  for (const auto& d : controls) {
    auto c = std::make_unique<Control>();
    c->desc = d;
    c->visible = d.visible;
    c->empty = d.caption.empty();
    controls_.push_back(std::move(c));
  }
  for (auto& c : controls_) c->rect = PixelRect(c->desc);
  background_.reset(static_cast<HBITMAP>(
      ::LoadImageA(instance_, MAKEINTRESOURCEA(window.background), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  for (auto& c : controls_) {
    if (c->desc.kind != ControlKind::Line && c->desc.kind != ControlKind::Shape) CreateControl(*c);
  }
  ComposeBackground();
  return true;
}

void Win32Window::CreateControl(Control& c) {
  const ControlDesc& d = c.desc;
  const WindowClass cls = ClassOf(d, c.Shown());
  c.font = Font(d.font);
  if (d.kind == ControlKind::Label && d.autoSize) AutoSize(c, text_.ToAnsi(d.caption));
  RECT r = c.rect;
  if (d.kind == ControlKind::ComboBox) r.bottom = r.top + Px(3000);  // room for the opened list
  c.hwnd = ::CreateWindowExA(cls.exStyle, cls.name, text_.ToAnsi(d.caption).c_str(), cls.style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, main_.get(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(d.id))), instance_, nullptr);
  ::SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
  ::SetWindowLongPtrA(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetUpControl(c);
}

// What each kind needs once its window exists: colours, subclassing, its picture.
void Win32Window::SetUpControl(Control& c) {
  const ControlDesc& d = c.desc;
  const auto subclass = [&c] {
    c.original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::SubclassProc)));
  };
  switch (d.kind) {
    case ControlKind::TextBox:
      c.brush.reset(::CreateSolidBrush(ColourRef(d.back, RGB(255, 255, 255))));
      subclass();
      break;
    case ControlKind::ComboBox:
      c.brush.reset(::CreateSolidBrush(ColourRef(d.back, RGB(255, 255, 255))));
      DropVisualStyle(functions_, c.hwnd);
      // The closed box keeps its designed height.
      ::SendMessageA(c.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(8, Px(d.height) - 6));
      break;
    case ControlKind::Frame:
      DropVisualStyle(functions_, c.hwnd);
      subclass();
      break;
    case ControlKind::PictureBox: {
      const int width = c.rect.right - c.rect.left;
      const int height = c.rect.bottom - c.rect.top;
      c.picture.reset(ScaledPicture(d.picture, width, height));
      ::SendMessageA(c.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(c.picture.get()));
      ::SetWindowPos(c.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    default: break;
  }
}

// An AutoSize label grows with its text from its designed size.
void Win32Window::AutoSize(Control& c, const std::string& text) {
  SIZE extent{};
  {
    Selection font(measureDc_.get(), c.font);
    ::GetTextExtentPoint32A(measureDc_.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  const RECT designed = PixelRect(c.desc);
  c.rect.right = c.rect.left + std::max<LONG>(designed.right - designed.left, extent.cx);
  c.rect.bottom = c.rect.top + std::max<LONG>(designed.bottom - designed.top, extent.cy);
  if (c.hwnd != nullptr) {
    ::SetWindowPos(c.hwnd, nullptr, 0, 0, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool Win32Window::Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) {
  events_ = &events;
  if (!Create(window, controls)) return false;
  messages_.SetOwner(reinterpret_cast<std::uintptr_t>(main_.get()));
  for (auto& c : controls_) {
    if (c->desc.tabIndex == 0) lastFocus_ = c->hwnd;
  }
  HWND created = main_.get();
  events.OnLoad();
  if (!main_) return true;  // unloaded during start-up
  // Shown as the program was started; started behind another window (a logon task, a batch file), it gets
  // the focus on its first control once the operator activates it.
  ::ShowWindow(created, show_);
  ::UpdateWindow(created);
  MSG msg{};
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateKeys(msg)) continue;
    if (main_ && ::IsDialogMessageA(main_.get(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

void Win32Window::SetCaption(ControlId id, const std::wstring& text) {
  Control* c = ById(id);
  if (c == nullptr || c->hwnd == nullptr) return;
  const std::string ansi = text_.ToAnsi(text);
  if (c->desc.kind == ControlKind::Label && c->desc.autoSize) AutoSize(*c, ansi);
  ::SetWindowTextA(c->hwnd, ansi.c_str());
  if (c->empty != text.empty()) {
    c->empty = text.empty();
    ::ShowWindow(c->hwnd, c->Shown() ? SW_SHOWNA : SW_HIDE);
  }
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
    ::ShowWindow(c->hwnd, c->Shown() ? SW_SHOWNA : SW_HIDE);
    return;
  }
  ComposeBackground();  // a line or a shape
  ::RedrawWindow(main_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::SetEnabled(ControlId id, bool enabled) {
  Control* c = ById(id);
  if (c != nullptr && c->hwnd != nullptr) ::EnableWindow(c->hwnd, enabled ? TRUE : FALSE);
}

// The control is where the focus goes when the window is active, now or once it is activated.
void Win32Window::SetFocus(ControlId id) {
  Control* c = ById(id);
  if (c == nullptr || c->hwnd == nullptr) return;
  lastFocus_ = c->hwnd;
  if (::GetActiveWindow() == main_.get()) ::SetFocus(c->hwnd);
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

void Win32Window::SelectItem(ControlId id, int index) {
  Control* c = ById(id);
  if (c != nullptr && c->hwnd != nullptr) ::SendMessageA(c->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32Window::Unload() { main_.reset(); }

}  // namespace vexa::win32
