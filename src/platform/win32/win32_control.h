// One control of the real window, shared by the files that make, paint and drive it.
#pragma once

#include "platform/win32/win32_window.h"

namespace vexa::win32 {

struct Win32Window::Control {
  ControlDesc desc;
  HWND hwnd = nullptr;
  RECT rect{};              // in the main window's client area, pixels
  HFONT font = nullptr;     // owned by the window's font cache
  GdiObject<HBRUSH> brush;  // solid background of edit, combo box
  GdiObject<HBITMAP> picture;
  bool visible = true;  // as the handlers set it
  bool empty = true;    // no caption
  WNDPROC original = nullptr;

  // An empty label that cannot be clicked paints nothing: its window is hidden, so that it never covers
  // the text of a label beneath it.
  bool Shown() const { return visible && !(desc.kind == ControlKind::Label && !desc.clickable && empty); }
};

// Child-window ids: 100 + the control's id.
constexpr int kFirstControlId = 100;
inline int ControlIdOf(ControlId id) { return kFirstControlId + id; }

// Posted after a list choice was reported, so that the CBN_SELCHANGE of the same choice is not.
constexpr UINT kClearComboChoice = WM_APP + 1;

}  // namespace vexa::win32
