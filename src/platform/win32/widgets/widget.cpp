#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

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

Widget::Widget(const WidgetContext& context, const ControlDesc& d)
    : desc(d), visible(d.visible), empty(d.caption.empty()), context_(context) {}

Widget::~Widget() = default;

WindowClass Widget::Class(bool shown) const {
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0) | (desc.tabIndex >= 0 ? WS_TABSTOP : 0);
  return {"STATIC", common, 0};
}

void Widget::Create(HFONT withFont) {
  font = withFont;
  if (desc.kind == ControlKind::Line || desc.kind == ControlKind::Shape) return;
  const WindowClass cls = Class(Shown());
  const RECT r = WindowRect();
  hwnd = ::CreateWindowExA(cls.exStyle, cls.name, context_.text->ToAnsi(desc.caption).c_str(), cls.style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, context_.main,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(desc.id))), context_.instance,
                           nullptr);
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetUp();
}

bool Widget::OnCommand(int) { return false; }

std::optional<LRESULT> Widget::Colours(UINT, HDC) { return std::nullopt; }

bool Widget::SetCursor() { return false; }

std::wstring Widget::Text() { return hwnd != nullptr ? context_.text->FromAnsi(WindowTextOf(hwnd)) : L""; }

void Widget::Subclass() {
  original_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Widget::SubclassProc)));
}

LRESULT CALLBACK Widget::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Widget*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->hwnd != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Widget::Handle(UINT message, WPARAM wParam, LPARAM lParam) { return Original(message, wParam, lParam); }

LRESULT Widget::Original(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(original_, hwnd, message, wParam, lParam);
}

void Widget::DropVisualStyle() {
  if (auto setTheme = context_.functions->Get<fn::SetWindowTheme>()) setTheme(hwnd, L"", L"");
}

}  // namespace vexa::win32
