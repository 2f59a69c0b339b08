#include "platform/win32/widgets/widget.h"

#include <commctrl.h>

namespace vexa::win32 {

namespace {
// The one subclass a widget installs on its window.
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

COLORREF ColourRef(const Colour& colour, COLORREF fallback) {
  switch (colour.source) {
    case Colour::Source::Rgb: return RGB((colour.rgb >> 16) & 0xFF, (colour.rgb >> 8) & 0xFF, colour.rgb & 0xFF);
    case Colour::Source::SysWindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case Colour::Source::SysAppWorkspace: return ::GetSysColor(COLOR_APPWORKSPACE);
    case Colour::Source::Default: break;
  }
  return fallback;
}

std::string WindowTextOf(HWND hwnd) {
  const int length = ::GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  ::GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(text.find('\0'));
  return text;
}

Widget::Widget(const WidgetContext& context, const ControlDesc& desc)
    : context_(context), desc_(desc), visible_(desc.visible), empty_(desc.caption.empty()) {}

Widget::~Widget() = default;

WindowClass Widget::Class(bool shown) const {
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0) | (desc_.tabIndex >= 0 ? WS_TABSTOP : 0);
  return {"STATIC", common, 0};
}

bool Widget::Shown() const { return visible_ && !(desc_.kind == ControlKind::Label && !desc_.clickable && empty_); }

void Widget::Create(const RECT& designed, HFONT font) {
  designed_ = rect_ = designed;
  font_ = font;
  if (desc_.kind == ControlKind::Line || desc_.kind == ControlKind::Shape) return;
  const std::string caption = context_.text->ToAnsi(desc_.caption);
  Fit(caption);
  const WindowClass cls = Class(Shown());
  const RECT r = WindowRect();
  hwnd_ = ::CreateWindowExA(
      cls.exStyle, cls.name, caption.c_str(), cls.style, r.left, r.top, r.right - r.left, r.bottom - r.top,
      context_.main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(desc_.id))), context_.instance, nullptr);
  ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetUp();
}

void Widget::SetText(const std::string& text) {
  if (hwnd_ == nullptr) return;
  Fit(text);
  ::SetWindowTextA(hwnd_, text.c_str());
  if (empty_ == text.empty()) return;
  empty_ = text.empty();
  ::ShowWindow(hwnd_, Shown() ? SW_SHOWNA : SW_HIDE);
}

bool Widget::SetVisible(bool visible) {
  if (visible_ == visible) return false;
  visible_ = visible;
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, Shown() ? SW_SHOWNA : SW_HIDE);
  return true;
}

void Widget::SetEnabled(bool enabled) {
  if (hwnd_ != nullptr) ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

void Widget::Resize(LONG width, LONG height) {
  rect_.right = rect_.left + width;
  rect_.bottom = rect_.top + height;
  if (hwnd_ != nullptr) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool Widget::OnCommand(int) { return false; }

std::optional<LRESULT> Widget::Colours(UINT, HDC) { return std::nullopt; }

bool Widget::SetCursor() { return false; }

std::wstring Widget::Text() { return hwnd_ != nullptr ? context_.text->FromAnsi(WindowTextOf(hwnd_)) : L""; }

void Widget::Subclass() {
  ::SetWindowSubclass(hwnd_, &Widget::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Widget::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  // The window goes before its widget: the subclass goes with it.
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &Widget::SubclassProc, kSubclassId);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
  }
  return reinterpret_cast<Widget*>(self)->Handle(message, wParam, lParam);
}

LRESULT Widget::Handle(UINT message, WPARAM wParam, LPARAM lParam) { return Original(message, wParam, lParam); }

LRESULT Widget::Original(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefSubclassProc(hwnd_, message, wParam, lParam);
}

void Widget::DropVisualStyle() {
  if (auto setTheme = context_.functions->Get<fn::SetWindowTheme>()) setTheme(hwnd_, L"", L"");
}

}  // namespace vexa::win32
