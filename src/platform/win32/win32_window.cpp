#include "platform/win32/win32_window.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/widgets/frame.h"
#include "platform/win32/widgets/number_box.h"
#include "platform/win32/widgets/picture.h"

namespace vexa::win32 {

namespace {

constexpr const char* kClassName = "VexaIpSetMain";

// An AutoSize label: MakeWidget made a Label of every control of that kind.
bool IsAutoSized(const Widget& w) { return w.desc.kind == ControlKind::Label && w.desc.autoSize; }

}  // namespace

Win32Window::Win32Window(HINSTANCE instance, int show, TextCodec& text, Win32MessageBoxes& messages,
                         SystemFunctions& functions)
    : instance_(instance),
      show_(show == SW_HIDE ? SW_SHOWNORMAL : show),
      text_(text),
      messages_(messages),
      functions_(functions) {}

Win32Window::~Win32Window() = default;

Widget* Win32Window::ByHwnd(HWND hwnd) {
  for (auto& w : widgets_) {
    if (w->hwnd == hwnd && hwnd != nullptr) return w.get();
  }
  return nullptr;
}

Widget* Win32Window::ById(ControlId id) {
  for (auto& w : widgets_) {
    if (w->desc.id == id) return w.get();
  }
  return nullptr;
}

CardCombo* Win32Window::ComboById(ControlId id) {
  for (CardCombo* combo : combos_) {
    if (combo->desc.id == id && combo->hwnd != nullptr) return combo;
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
  const int height = -MulDiv(tenths, context_.dpi, 720);
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
    for (const auto& w : widgets_) {
      if (w->desc.id == d.parent) {
        left += w->desc.left;
        top += w->desc.top;
      }
    }
  }
  RECT r{context_.Px(left), context_.Px(top), 0, 0};
  r.right = r.left + context_.Px(d.width);
  r.bottom = r.top + context_.Px(d.height);
  return r;
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
  RECT frame{0, 0, context_.client.cx, context_.client.cy};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = work.left + std::max<int>(0, (work.right - work.left - width) / 2);
  const int y = work.top + std::max<int>(0, (work.bottom - work.top - height) / 2);
  main_.reset(::CreateWindowExA(0, kClassName, text_.ToAnsi(window.caption).c_str(), style, x, y, width, height,
                                nullptr, nullptr, instance_, this));
  context_.main = main_.get();
  return static_cast<bool>(main_);
}

// The widget of a control's kind; lines and shapes are plain widgets without a window of their own.
std::unique_ptr<Widget> Win32Window::MakeWidget(const ControlDesc& d) {
  switch (d.kind) {
    case ControlKind::Label: return std::make_unique<Label>(context_, d);
    case ControlKind::TextBox: return std::make_unique<NumberBox>(context_, d);
    case ControlKind::ComboBox: {
      auto combo = std::make_unique<CardCombo>(context_, d);
      combos_.push_back(combo.get());
      return combo;
    }
    case ControlKind::Button: {
      auto button = std::make_unique<FlatButton>(context_, d);
      buttons_.push_back(button.get());
      return button;
    }
    case ControlKind::Frame: return std::make_unique<Frame>(context_, d);
    case ControlKind::PictureBox: return std::make_unique<Picture>(context_, d);
    case ControlKind::Line:
    case ControlKind::Shape: break;
  }
  return std::make_unique<Widget>(context_, d);
}

bool Win32Window::Create(const WindowDesc& window, std::span<const ControlDesc> controls) {
  window_ = window;
  {
    WindowDc screen(nullptr);
    context_.dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  context_.instance = instance_;
  context_.client = SIZE{context_.Px(window.clientWidth), context_.Px(window.clientHeight)};
  context_.text = &text_;
  context_.functions = &functions_;
  context_.background = &composedBrush_;
  if (!CreateMain(window)) return false;

  measureDc_.reset(::CreateCompatibleDC(nullptr));
  for (const auto& d : controls) widgets_.push_back(MakeWidget(d));
  for (auto& w : widgets_) w->rect = PixelRect(w->desc);
  background_.reset(static_cast<HBITMAP>(
      ::LoadImageA(instance_, MAKEINTRESOURCEA(window.background), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  for (auto& w : widgets_) {
    w->font = Font(w->desc.font);
    if (IsAutoSized(*w)) AutoSize(static_cast<Label&>(*w), text_.ToAnsi(w->desc.caption));
    w->Create(w->font);
  }
  ComposeBackground();
  return true;
}

// An AutoSize label grows with its text from its designed size.
void Win32Window::AutoSize(Label& label, const std::string& text) {
  label.FitText(measureDc_.get(), text, PixelRect(label.desc));
}

bool Win32Window::Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) {
  context_.events = &events;
  if (!Create(window, controls)) return false;
  messages_.SetOwner(reinterpret_cast<std::uintptr_t>(main_.get()));
  for (auto& w : widgets_) {
    if (w->desc.tabIndex == 0) lastFocus_ = w->hwnd;
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
  Widget* w = ById(id);
  if (w == nullptr || w->hwnd == nullptr) return;
  const std::string ansi = text_.ToAnsi(text);
  if (IsAutoSized(*w)) AutoSize(static_cast<Label&>(*w), ansi);
  ::SetWindowTextA(w->hwnd, ansi.c_str());
  if (w->empty != text.empty()) {
    w->empty = text.empty();
    ::ShowWindow(w->hwnd, w->Shown() ? SW_SHOWNA : SW_HIDE);
  }
}

std::wstring Win32Window::Caption(ControlId id) {
  Widget* w = ById(id);
  return w != nullptr ? w->Text() : L"";
}

void Win32Window::SetVisible(ControlId id, bool visible) {
  Widget* w = ById(id);
  if (w == nullptr || w->visible == visible) return;
  w->visible = visible;
  if (w->hwnd != nullptr) {
    ::ShowWindow(w->hwnd, w->Shown() ? SW_SHOWNA : SW_HIDE);
    return;
  }
  ComposeBackground();  // a line or a shape
  ::RedrawWindow(main_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::SetEnabled(ControlId id, bool enabled) {
  Widget* w = ById(id);
  if (w != nullptr && w->hwnd != nullptr) ::EnableWindow(w->hwnd, enabled ? TRUE : FALSE);
}

// The control is where the focus goes when the window is active, now or once it is activated.
void Win32Window::SetFocus(ControlId id) {
  Widget* w = ById(id);
  if (w == nullptr || w->hwnd == nullptr) return;
  lastFocus_ = w->hwnd;
  if (::GetActiveWindow() == main_.get()) ::SetFocus(w->hwnd);
}

void Win32Window::ClearItems(ControlId id) {
  if (CardCombo* combo = ComboById(id)) combo->Clear();
}

void Win32Window::AddItem(ControlId id, const std::wstring& text) {
  if (CardCombo* combo = ComboById(id)) combo->Add(text);
}

void Win32Window::SelectItem(ControlId id, int index) {
  if (CardCombo* combo = ComboById(id)) combo->Select(index);
}

void Win32Window::Unload() { main_.reset(); }

}  // namespace vexa::win32
