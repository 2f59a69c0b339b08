// One control of the real window: a child window of a standard class, made from its row of the control
// table, that answers the messages of its kind, those it gets itself when it is subclassed and those its
// parent gets for it (a command, its colours, drawing it, the cursor over it). One class per kind, each in
// a file of its own: the flat button, the frame, the painted labels and links, the pictures, the number
// box and the card list. Lines and shapes have no window: they are drawn into the composed background.
// A widget's state is its own: the window sets it through SetText, SetVisible and SetEnabled.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/win32/scoped.h"
#include "platform/win32/system_functions.h"
#include "platform/window.h"

namespace vexa::win32 {

// What every control needs of the window it sits in.
struct WidgetContext {
  HINSTANCE instance = nullptr;
  HWND main = nullptr;
  int dpi = 96;
  SIZE client{};
  TextCodec* text = nullptr;
  SystemFunctions* functions = nullptr;
  WindowEvents* events = nullptr;
  const GdiObject<HBRUSH>* background = nullptr;  // the composed background, as a brush
  HDC measure = nullptr;                          // text extents of the AutoSize labels
  int Px(int twips) const { return MulDiv(twips, dpi, 1440); }
};

// A designed colour, or fallback where the design leaves it to the system.
COLORREF ColourRef(const Colour& colour, COLORREF fallback);
// A window's text as ANSI bytes.
std::string WindowTextOf(HWND hwnd);

struct WindowClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

// Child-window ids: 100 + the control's id.
constexpr int kFirstControlId = 100;
inline int ControlIdOf(ControlId id) { return kFirstControlId + id; }

class Widget {
 public:
  Widget(const WidgetContext& context, const ControlDesc& desc);
  virtual ~Widget();
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;

  // Makes its window (none for a line or a shape) at its designed place (pixels in the main window's
  // client area) with the font given.
  void Create(const RECT& designed, HFONT font);

  // The parent's messages for it: a command (true when it was the control's), its colours (nothing: the
  // default), the cursor (true when set).
  virtual bool OnCommand(int code);
  virtual std::optional<LRESULT> Colours(UINT message, HDC dc);
  virtual bool SetCursor();
  // Its text: the window's, or the entry a list shows.
  virtual std::wstring Text();

  // What the handlers set: its caption (ANSI bytes), whether it is visible (true when that changed), and
  // whether it takes input.
  void SetText(const std::string& text);
  bool SetVisible(bool visible);
  void SetEnabled(bool enabled);

  const ControlDesc& Desc() const { return desc_; }
  HWND Window() const { return hwnd_; }
  const RECT& Rect() const { return rect_; }
  bool Visible() const { return visible_; }

 protected:
  // The standard class and styles it is made of, and where its window goes.
  virtual WindowClass Class(bool shown) const;
  virtual RECT WindowRect() const { return rect_; }
  // What its kind needs once its window exists (colours, subclassing, a picture).
  virtual void SetUp() {}
  // Before its text is set: an AutoSize label takes the size the text needs.
  virtual void Fit(const std::string& /*text*/) {}
  void Resize(LONG width, LONG height);
  const RECT& Designed() const { return designed_; }
  HFONT Font() const { return font_; }
  // Its own messages come to Handle first (after Subclass, through SetWindowSubclass); Original passes one
  // on to the class's own procedure (DefSubclassProc).
  void Subclass();
  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Original(UINT message, WPARAM wParam, LPARAM lParam);
  // Common Controls 6 draws combo boxes and group boxes from the visual style, which ignores the colours
  // the window asks for: those are drawn classic.
  void DropVisualStyle();

  const WidgetContext& context_;

 private:
  // An empty label that cannot be clicked paints nothing: its window is hidden, so that it never covers
  // the text of a label beneath it.
  bool Shown() const;
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);

  ControlDesc desc_;
  HWND hwnd_ = nullptr;
  RECT designed_{};       // at its designed size
  RECT rect_{};           // where it is now (an AutoSize label grows)
  HFONT font_ = nullptr;  // owned by the window's fonts
  bool visible_ = true;   // as the handlers set it
  bool empty_ = true;     // no caption
};

}  // namespace vexa::win32
