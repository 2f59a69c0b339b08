// Small owners of Windows handles and selections: each gives its handle back on every path out.
#pragma once

#include <windows.h>

#include <utility>

namespace vexa::win32 {

// A handle with one way to free it. Not copyable; release() gives it up.
template <typename Handle, auto Free>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  Scoped(Scoped&& other) noexcept : handle_(other.release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  ~Scoped() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

inline void ReleaseGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void ReleaseMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void ReleaseIcon(HICON icon) { ::DestroyIcon(icon); }
inline void ReleaseLibrary(HMODULE module) { ::FreeLibrary(module); }
inline void ReleaseHandle(HANDLE handle) { ::CloseHandle(handle); }

template <typename T>
using GdiObject = Scoped<T, &ReleaseGdiObject>;
using MemoryDc = Scoped<HDC, &ReleaseMemoryDc>;
using UniqueIcon = Scoped<HICON, &ReleaseIcon>;
using UniqueModule = Scoped<HMODULE, &ReleaseLibrary>;
using UniqueHandle = Scoped<HANDLE, &ReleaseHandle>;

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
