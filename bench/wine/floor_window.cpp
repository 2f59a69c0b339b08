// The start-up floor: a minimal static Win32 program that opens an empty window of the tool's size and
// exits once it has been shown. With the argument "controls" the window also gets as many child windows
// of the same standard classes as the tool has (25 labels, 2 pictures, an edit, a combo box, 2 buttons
// and a group box), each with a short text: the cost of the controls alone. With "stay" it stays open,
// for the working set of a program that does nothing but show its window.
#include <windows.h>

namespace {

bool closeOnceShown = true;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(hwnd, &ps);
      ::EndPaint(hwnd, &ps);
      if (closeOnceShown) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    }
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  ::SetProcessDPIAware();
  closeOnceShown = commandLine == nullptr || lstrcmpA(commandLine, "stay") != 0;
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "VexaFloorWindow";
  ::RegisterClassA(&wc);
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, MulDiv(4035, dpi, 1440), MulDiv(5115, dpi, 1440)};
  ::AdjustWindowRect(&r, style, FALSE);
  HWND hwnd = ::CreateWindowA("VexaFloorWindow", "floor", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (commandLine != nullptr && lstrcmpA(commandLine, "controls") == 0) {
    struct Child {
      const char* cls;
      DWORD style;
      int count;
    } children[] = {
        {"STATIC", SS_LEFT, 25},           {"STATIC", SS_BITMAP, 2},     {"EDIT", ES_AUTOHSCROLL | WS_BORDER, 1},
        {"COMBOBOX", CBS_DROPDOWNLIST, 1}, {"BUTTON", BS_PUSHBUTTON, 2}, {"BUTTON", BS_GROUPBOX, 1}};
    int y = 0;
    for (const auto& child : children) {
      for (int i = 0; i < child.count; ++i, y += 10) {
        ::CreateWindowA(child.cls, "text", WS_CHILD | WS_VISIBLE | child.style, 4, y % 300, 120, 20, hwnd, nullptr,
                        instance, nullptr);
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
