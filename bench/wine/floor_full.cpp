// The full start-up floor: everything the window's definition asks for and nothing of the tool's logic.
// The same manifest, icon and pictures (the tool's own resources), the same fonts, and every control of
// the control table as a child window of the same class and styles with the texts the window shows at
// start, the pictures scaled to the DPI, the combo box given three entries; no registry, no config.ini, no
// handlers. It exits once it has painted;
// with "stay" it stays open, for the working set.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "app/controls.h"

namespace {

bool closeOnceShown = true;
HBITMAP background = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      HDC from = ::CreateCompatibleDC(dc);
      HGDIOBJ old = ::SelectObject(from, background);
      BITMAP info{};
      ::GetObjectA(background, sizeof info, &info);
      const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
      ::StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, dpi, 96), MulDiv(info.bmHeight, dpi, 96), from, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
      ::SelectObject(from, old);
      ::DeleteDC(from);
      ::EndPaint(hwnd, &ps);
      if (closeOnceShown) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

DWORD StyleOf(const vexa::ControlDesc& d) {
  using vexa::ControlKind;
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (d.visible ? WS_VISIBLE : 0) | (d.tabIndex >= 0 ? WS_TABSTOP : 0);
  switch (d.kind) {
    case ControlKind::TextBox: return common | ES_AUTOHSCROLL;
    case ControlKind::ComboBox: return common | CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL;
    case ControlKind::Button: return common | BS_OWNERDRAW;
    case ControlKind::Frame: return common | BS_GROUPBOX;
    case ControlKind::PictureBox: return common | SS_BITMAP | SS_NOTIFY;
    default: return common | SS_LEFTNOWORDWRAP | SS_NOPREFIX | (d.clickable ? SS_NOTIFY : 0);
  }
}

const char* ClassOf(vexa::ControlKind kind) {
  switch (kind) {
    case vexa::ControlKind::TextBox: return "EDIT";
    case vexa::ControlKind::ComboBox: return "COMBOBOX";
    case vexa::ControlKind::Button:
    case vexa::ControlKind::Frame: return "BUTTON";
    default: return "STATIC";
  }
}

// What the window shows at start: the designed captions, and the texts start-up sets (as fixed text).
std::string StartText(const vexa::ControlDesc& d) {
  using namespace vexa::frm;
  switch (d.id) {
    case Label13: return "\xC7\xEB\xD1\xA1\xD4\xF1\xCD\xF8\xBF\xA8";  // 请选择网卡
    case Label15: return "\xB5\xB1\xC7\xB0\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB:MASTER-PC";
    case Label19: return "\xD5\xD2\xB5\xBD 3 \xBF\xE9\xBF\xC9\xD3\xC3\xCD\xF8\xBF\xA8";
    case Label7: return "\xB1\xBE\xBB\xFA\xBB\xFA\xBA\xC5:";
    case Command1: return "\xC8\xB7\xB6\xA8(&C)";
    case Command2: return "\xCD\xCB\xB3\xF6(&Q)";
    default: break;
  }
  const int size =
      ::WideCharToMultiByte(936, 0, d.caption.data(), static_cast<int>(d.caption.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(936, 0, d.caption.data(), static_cast<int>(d.caption.size()), text.data(), size, nullptr,
                        nullptr);
  return text;
}

HBITMAP Scaled(HINSTANCE instance, int resource, int width, int height) {
  auto source = static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, 0));
  BITMAP info{};
  ::GetObjectA(source, sizeof info, &info);
  HDC screen = ::GetDC(nullptr);
  HDC from = ::CreateCompatibleDC(screen);
  HDC to = ::CreateCompatibleDC(screen);
  HBITMAP scaled = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldFrom = ::SelectObject(from, source);
  HGDIOBJ oldTo = ::SelectObject(to, scaled);
  ::SetStretchBltMode(to, HALFTONE);
  ::StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(source);
  return scaled;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  closeOnceShown = commandLine == nullptr || lstrcmpA(commandLine, "stay") != 0;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const vexa::WindowDesc& window = vexa::frm::MainWindow();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(window.icon), IMAGE_ICON, 0, 0, 0));
  wc.lpszClassName = "VexaFloorWindow";
  ::RegisterClassExA(&wc);
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  background = static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(window.background), IMAGE_BITMAP, 0, 0, 0));
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, px(window.clientWidth), px(window.clientHeight)};
  ::AdjustWindowRect(&r, style, FALSE);
  HWND hwnd = ::CreateWindowA("VexaFloorWindow", "floor", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  HMODULE uxtheme = ::LoadLibraryExA("uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  auto setTheme = reinterpret_cast<HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR)>(
      reinterpret_cast<void (*)()>(::GetProcAddress(uxtheme, "SetWindowTheme")));
  std::map<std::wstring, HFONT> fonts;
  for (const auto& d : vexa::frm::ControlTable()) {
    if (d.kind == vexa::ControlKind::Line || d.kind == vexa::ControlKind::Shape) continue;
    const vexa::FontSpec font = d.font.face.empty() ? window.font : d.font;
    const std::wstring key = std::to_wstring(font.points) + (font.bold ? L"b" : L"") + (font.underline ? L"u" : L"");
    if (fonts.count(key) == 0) {
      fonts[key] = ::CreateFontA(-MulDiv(static_cast<int>(font.points * 10 + 0.5), dpi, 720), 0, 0, 0,
                                 font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE, GB2312_CHARSET, 0, 0, 0,
                                 0, "\xCB\xCE\xCC\xE5");  // 宋体
    }
    int left = d.left;
    int top = d.top;
    for (const auto& parent : vexa::frm::ControlTable()) {
      if (parent.id == d.parent) left += parent.left, top += parent.top;
    }
    const int height = d.kind == vexa::ControlKind::ComboBox ? 3000 : d.height;
    HWND child = ::CreateWindowExA(d.kind == vexa::ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0, ClassOf(d.kind),
                                   StartText(d).c_str(), StyleOf(d), px(left), px(top), px(d.width), px(height), hwnd,
                                   nullptr, instance, nullptr);
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[key]), FALSE);
    if (d.kind == vexa::ControlKind::PictureBox) {
      ::SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(Scaled(instance, d.picture, px(d.width), px(d.height))));
    }
    if ((d.kind == vexa::ControlKind::ComboBox || d.kind == vexa::ControlKind::Frame) && setTheme != nullptr) {
      setTheme(child, L"", L"");
    }
    if (d.kind == vexa::ControlKind::ComboBox) {
      for (const char* item : {"card one", "card two", "card three"}) {
        ::SendMessageA(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      }
    }
  }
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
