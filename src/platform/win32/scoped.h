// The rows of Windows' own handles for the one owner (platform/owned.h), and the scopes of a selection or
// a DC through the same owner: each gives its handle back on every path out.
#pragma once

#include <windows.h>
// The LSA's declarations after windows.h, which they build on.
#include <ntsecapi.h>

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
inline void ReleaseWindow(HWND hwnd) { ::DestroyWindow(hwnd); }
inline void ReleaseService(SC_HANDLE handle) { ::CloseServiceHandle(handle); }
inline void ReleaseRegistryKey(HKEY key) { ::RegCloseKey(key); }
inline void ReleasePolicy(LSA_HANDLE policy) { ::LsaClose(policy); }

template <typename T>
using GdiObject = Owned<NullIsNone<T, &ReleaseGdiObject>>;
using MemoryDc = Owned<NullIsNone<HDC, &ReleaseMemoryDc>>;
using UniqueIcon = Owned<NullIsNone<HICON, &ReleaseIcon>>;
using UniqueModule = Owned<NullIsNone<HMODULE, &ReleaseLibrary>>;
using UniqueHandle = Owned<KernelHandle>;
using UniqueWindow = Owned<NullIsNone<HWND, &ReleaseWindow>>;
using UniqueService = Owned<NullIsNone<SC_HANDLE, &ReleaseService>>;  // the service control manager's
using UniqueRegKey = Owned<NullIsNone<HKEY, &ReleaseRegistryKey>>;    // a key opened below the platform
using UniquePolicy = Owned<NullIsNone<LSA_HANDLE, &ReleasePolicy>>;   // the LSA's policy

// Scopes whose release needs more than the handle keep what it needs as the row's Context, beside the
// owner: the selection's DC, the window whose DC was taken, the paint structure.

// An object selected into a DC for the life of the selection; the previous one comes back after.
struct SelectedObject {
  using Handle = HGDIOBJ;  // the object that was selected before
  using Context = HDC;
  static constexpr Handle kNone = nullptr;
  static bool IsValid(Handle previous) { return previous != nullptr && previous != HGDI_ERROR; }
  static void Release(HDC& dc, Handle previous) { ::SelectObject(dc, previous); }
};
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc_, ::SelectObject(dc, object)) {}
  // Its owner points into the scope (the DC it keeps): a moved scope would point into the one it came from.
  Selection(Selection&&) = delete;
  Selection& operator=(Selection&&) = delete;

 private:
  HDC dc_;
  Owned<SelectedObject> previous_;
};

// The DC of a window (or of the screen, for nullptr), released after use.
struct WindowDcRow {
  using Handle = HDC;
  using Context = HWND;
  static constexpr Handle kNone = nullptr;
  static bool IsValid(Handle dc) { return dc != nullptr; }
  static void Release(HWND& hwnd, Handle dc) { ::ReleaseDC(hwnd, dc); }
};
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(hwnd_, ::GetDC(hwnd)) {}
  WindowDc(WindowDc&&) = delete;
  WindowDc& operator=(WindowDc&&) = delete;
  HDC get() const { return dc_.get(); }

 private:
  HWND hwnd_;
  Owned<WindowDcRow> dc_;
};

// BeginPaint to EndPaint.
struct PaintScope {
  HWND hwnd = nullptr;
  PAINTSTRUCT paint{};
};
struct PaintDcRow {
  using Handle = HDC;
  using Context = PaintScope;
  static constexpr Handle kNone = nullptr;
  static bool IsValid(Handle dc) { return dc != nullptr; }
  static void Release(PaintScope& scope, Handle) { ::EndPaint(scope.hwnd, &scope.paint); }
};
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : scope_{hwnd}, dc_(scope_, ::BeginPaint(hwnd, &scope_.paint)) {}
  PaintDc(PaintDc&&) = delete;
  PaintDc& operator=(PaintDc&&) = delete;
  HDC get() const { return dc_.get(); }
  const RECT& Dirty() const { return scope_.paint.rcPaint; }

 private:
  PaintScope scope_;
  Owned<PaintDcRow> dc_;
};

}  // namespace vexa::win32
