// The real window: a host of widgets (widgets/), one per control of frmmain's table, each a child window of
// a standard class placed from twips by the screen's DPI. Lines, shapes, the frame's colour and the
// background picture are composed into one bitmap that the window and its transparent labels paint from.
// The window's own procedure routes each message to the widget it is for.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "platform/platform.h"
#include "platform/win32/fonts.h"
#include "platform/win32/scoped.h"
#include "platform/win32/widgets/widgets.h"
#include "platform/win32/win32_background.h"
#include "platform/win32/win32_platform.h"
#include "platform/window.h"

namespace vexa::win32 {

class Win32Window : public WindowHost {
 public:
  // show: how the window first appears, the nCmdShow the program was started with (SW_HIDE shows it as
  // usual: a window nobody sees would wait for ever).
  Win32Window(HINSTANCE instance, int show, TextCodec& text, Win32MessageBoxes& messages, SystemFunctions& functions);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  bool Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) override;

  void SetCaption(ControlId id, const std::wstring& text) override;
  std::wstring Caption(ControlId id) override;
  void SetVisible(ControlId id, bool visible) override;
  void SetEnabled(ControlId id, bool enabled) override;
  void SetFocus(ControlId id) override;
  void ClearItems(ControlId id) override;
  void AddItem(ControlId id, const std::wstring& text) override;
  void SelectItem(ControlId id, int index) override;
  void Unload() override;

 private:
  // Making the window and its widgets (win32_window.cpp).
  bool Create(const WindowDesc& window, std::span<const ControlDesc> controls);
  bool CreateMain(const WindowDesc& window);

  // The window procedure and its handlers (win32_messages.cpp).
  static LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnColours(UINT message, HDC dc, HWND hwnd);
  bool OnActivate(WPARAM wParam);
  void OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  // Enter and Esc, ahead of IsDialogMessage.
  bool TranslateKeys(const MSG& msg);

  HINSTANCE instance_;
  int show_;
  TextCodec& text_;
  Win32MessageBoxes& messages_;
  SystemFunctions& functions_;  // the process's one cache, owned by the platform
  WidgetContext context_;       // what every widget needs of the window
  HWND lastFocus_ = nullptr;    // where the focus goes whenever the window is activated: the first tab stop
                                // at start, then wherever it was when the window was left
  Fonts fonts_;
  ComposedBackground background_;
  Widgets widgets_;
  MemoryDc measureDc_;  // text extents of the AutoSize labels
  UniqueIcon icon_;
  UniqueIcon smallIcon_;
  // Last, so that it is destroyed first, while the members its WM_DESTROY reaches still live; let go
  // once Windows destroys it by itself (WM_DESTROY).
  UniqueWindow main_;
};

}  // namespace vexa::win32
