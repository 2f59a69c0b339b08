#include "platform/win32/win32_window.h"

#include <algorithm>

namespace vexa::win32 {

namespace {

constexpr const char* kClassName = "VexaIpSetMain";

}  // namespace

Win32Window::Win32Window(HINSTANCE instance, int show, TextCodec& text, Win32MessageBoxes& messages,
                         SystemFunctions& functions)
    : instance_(instance),
      show_(show == SW_HIDE ? SW_SHOWNORMAL : show),
      text_(text),
      messages_(messages),
      functions_(functions) {}

Win32Window::~Win32Window() = default;

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

bool Win32Window::Create(const WindowDesc& window, std::span<const ControlDesc> controls) {
  {
    WindowDc screen(nullptr);
    context_.dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  context_.instance = instance_;
  context_.client = SIZE{context_.Px(window.clientWidth), context_.Px(window.clientHeight)};
  context_.text = &text_;
  context_.functions = &functions_;
  context_.background = &background_.Brush();
  if (!CreateMain(window)) return false;
  measureDc_.reset(::CreateCompatibleDC(nullptr));
  context_.measure = measureDc_.get();
  background_.LoadPicture(instance_, window.background);
  widgets_.Make(context_, controls, fonts_, window.font);
  background_.Compose(main_.get(), context_, widgets_);
  return true;
}

bool Win32Window::Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) {
  context_.events = &events;
  if (!Create(window, controls)) return false;
  messages_.SetOwner(reinterpret_cast<std::uintptr_t>(main_.get()));
  for (const auto& w : widgets_.All()) {
    if (w->Desc().tabIndex == 0) lastFocus_ = w->Window();
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
  if (Widget* w = widgets_.ById(id)) w->SetText(text_.ToAnsi(text));
}

std::wstring Win32Window::Caption(ControlId id) {
  Widget* w = widgets_.ById(id);
  return w != nullptr ? w->Text() : L"";
}

void Win32Window::SetVisible(ControlId id, bool visible) {
  Widget* w = widgets_.ById(id);
  if (w == nullptr || !w->SetVisible(visible) || w->Window() != nullptr) return;
  background_.Compose(main_.get(), context_, widgets_);  // a line or a shape
  ::RedrawWindow(main_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::SetEnabled(ControlId id, bool enabled) {
  if (Widget* w = widgets_.ById(id)) w->SetEnabled(enabled);
}

// The control is where the focus goes when the window is active, now or once it is activated.
void Win32Window::SetFocus(ControlId id) {
  Widget* w = widgets_.ById(id);
  if (w == nullptr || w->Window() == nullptr) return;
  lastFocus_ = w->Window();
  if (::GetActiveWindow() == main_.get()) ::SetFocus(w->Window());
}

void Win32Window::ClearItems(ControlId id) {
  if (CardCombo* combo = widgets_.ComboById(id)) combo->Clear();
}

void Win32Window::AddItem(ControlId id, const std::wstring& text) {
  if (CardCombo* combo = widgets_.ComboById(id)) combo->Add(text);
}

void Win32Window::SelectItem(ControlId id, int index) {
  if (CardCombo* combo = widgets_.ComboById(id)) combo->Select(index);
}

void Win32Window::Unload() { main_.reset(); }

}  // namespace vexa::win32
