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
#include "platform/win32/win32_platform.h"
#include "platform/window.h"

namespace vexa::win32 {

class Win32Window : public WindowHost {
 public:
  Win32Window(HINSTANCE instance, TextCodec& text, Win32MessageBoxes& messages);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  int Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) override;

  void SetCaption(ControlId control, const std::wstring& text) override;
  std::wstring Caption(ControlId control) override;
  void SetVisible(ControlId control, bool visible) override;
  void SetEnabled(ControlId control, bool enabled) override;
  void SetFocus(ControlId control) override;
  void ClearItems(ControlId control) override;
  void AddItem(ControlId control, const std::wstring& text) override;
  void Unload() override;

 private:
  struct Control;

  static LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEdit(Control& edit, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFrame(Control& frame, UINT message, WPARAM wParam, LPARAM lParam);
  void ClickIfEnabled(Control* button);
  HBITMAP ScaledPicture(int resource, int width, int height);

  bool Create(const WindowDesc& window, std::span<const ControlDesc> controls);
  void CreateControl(Control& c);
  HFONT Font(const FontSpec& requested);
  RECT PixelRect(const ControlDesc& d) const;
  int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
  COLORREF ColourRef(const Colour& colour, COLORREF fallback) const;
  void AutoSize(Control& c, const std::string& text);
  void ComposeBackground();
  void DrawButton(const DRAWITEMSTRUCT& item);
  LRESULT LabelColours(HDC dc, HWND hwnd);
  bool TranslateKeys(MSG& msg);
  void OnComboNotify(Control& combo, int code);
  Control* ByHwnd(HWND hwnd);
  Control* ById(ControlId id);

  HINSTANCE instance_;
  TextCodec& text_;
  Win32MessageBoxes& messages_;
  WindowEvents* events_ = nullptr;
  HWND main_ = nullptr;
  HWND lastFocus_ = nullptr;
  int dpi_ = 96;
  SIZE client_{};
  WindowDesc window_{};
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::wstring, HFONT> fonts_;
  HBITMAP background_ = nullptr;  // the picture as loaded
  HBITMAP composed_ = nullptr;    // picture + frame + lines + shapes, client-sized
  HBRUSH composedBrush_ = nullptr;
  HDC measureDc_ = nullptr;  // text extents of the AutoSize labels
  HMODULE uxtheme_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool comboDropped_ = false;
  bool comboChoiceReported_ = false;
};

}  // namespace vexa::win32
