// The rows of Windows' own handles for the one owner (platform/owned.h), and the scopes of a selection or
// a DC: each gives its handle back on every path out.
#pragma once

#include <windows.h>

#include "platform/owned.h"

namespace vexa::win32 {

// A kind whose only "no handle" is null, released by Free.
template <typename T, auto Free>
struct NullIsNone {
  using Handle = T;
  using Context = NoContext;
  static constexpr Handle kNone = nullptr;
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Release(Handle handle) { Free(handle); }
};

// A kernel handle: CreateFile's failure is INVALID_HANDLE_VALUE, other calls' is null; neither is closed.
struct KernelHandle {
  using Handle = HANDLE;
  using Context = NoContext;
  static constexpr Handle kNone = nullptr;
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Release(Handle handle) { ::CloseHandle(handle); }
};

inline void ReleaseGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void ReleaseMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void ReleaseIcon(HICON icon) { ::DestroyIcon(icon); }
inline void ReleaseLibrary(HMODULE module) { ::FreeLibrary(module); }

template <typename T>
using GdiObject = Owned<NullIsNone<T, &ReleaseGdiObject>>;
using MemoryDc = Owned<NullIsNone<HDC, &ReleaseMemoryDc>>;
using UniqueIcon = Owned<NullIsNone<HICON, &ReleaseIcon>>;
using UniqueModule = Owned<NullIsNone<HMODULE, &ReleaseLibrary>>;
using UniqueHandle = Owned<KernelHandle>;

// An object selected into a DC for the life of the selection; the previous one comes back after.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selection() { ::SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The DC of a window (or of the screen, for nullptr), released after use.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDc() { ::ReleaseDC(hwnd_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { ::EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& Dirty() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace vexa::win32
