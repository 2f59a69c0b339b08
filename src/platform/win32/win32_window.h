// The real window: frmmain's controls as child windows of the standard classes (Static, Edit, ComboBox,
// Button), placed from twips by the screen's DPI. Lines, shapes, the frame's colour and the background
// picture are composed into one bitmap that the window and its transparent labels paint from.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/scoped.h"
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
  struct Control;

  // Making the window (win32_window.cpp).
  bool Create(const WindowDesc& window, std::span<const ControlDesc> controls);
  bool CreateMain(const WindowDesc& window);
  void CreateControl(Control& c);
  void SetUpControl(Control& c);
  HFONT Font(const FontSpec& requested);
  HBITMAP ScaledPicture(int resource, int width, int height);
  RECT PixelRect(const ControlDesc& d) const;
  int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
  void AutoSize(Control& c, const std::string& text);
  Control* ByHwnd(HWND hwnd);
  Control* ById(ControlId id);

  // The window procedure and its handlers (win32_messages.cpp).
  static LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  bool OnSetCursor(HWND hwnd, LPARAM lParam);
  bool OnActivate(WPARAM wParam);
  void OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
  void OnDestroy();

  // How it looks (win32_paint.cpp).
  COLORREF ColourRef(const Colour& colour, COLORREF fallback) const;
  void ComposeBackground();
  void DrawComposedShapes(HDC dc);
  void OnPaint();
  LRESULT LabelColours(HDC dc, HWND hwnd);
  LRESULT BoxColours(UINT message, HDC dc, HWND hwnd);
  void DrawButton(const DRAWITEMSTRUCT& item);
  void DrawButtonFace(HDC dc, const RECT& r, bool pressed, bool disabled, bool isDefault);
  LRESULT HandleFrame(Control& frame, UINT message, WPARAM wParam, LPARAM lParam);
  void PaintFrame(Control& frame);

  // The keyboard and the card list (win32_input.cpp).
  LRESULT HandleEdit(Control& edit, UINT message, WPARAM wParam, LPARAM lParam);
  bool PasteAllowed(Control& edit);
  void OnComboNotify(Control& combo, int code);
  bool TranslateKeys(const MSG& msg);
  void ClickIfEnabled(Control* button);

  HINSTANCE instance_;
  int show_;
  TextCodec& text_;
  Win32MessageBoxes& messages_;
  SystemFunctions& functions_;  // the process's one cache, owned by the platform
  WindowEvents* events_ = nullptr;
  HWND lastFocus_ = nullptr;  // where the focus goes whenever the window is activated: the first tab stop
                              // at start, then wherever it was when the window was left
  int dpi_ = 96;
  SIZE client_{};
  WindowDesc window_{};
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::wstring, GdiObject<HFONT>> fonts_;
  GdiObject<HBITMAP> background_;  // the picture as loaded
  GdiObject<HBITMAP> composed_;    // picture + frame + lines + shapes, client-sized
  GdiObject<HBRUSH> composedBrush_;
  MemoryDc measureDc_;  // text extents of the AutoSize labels
  UniqueIcon icon_;
  UniqueIcon smallIcon_;
  bool comboDropped_ = false;
  bool comboChoiceReported_ = false;
  // Last, so that it is destroyed first, while the members its WM_DESTROY reaches still live; let go
  // once Windows destroys it by itself (WM_DESTROY).
  UniqueWindow main_;
};

}  // namespace vexa::win32
