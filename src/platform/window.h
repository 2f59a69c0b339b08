// The window system: one top-level window built from a table of controls, driven by event handlers that
// change it only through WindowSystem. The real one makes child windows of the standard classes; the sim
// records the state for tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

using ControlId = int;
constexpr ControlId kNoControl = -1;

enum class ControlKind { Label, TextBox, ComboBox, Button, Frame, PictureBox, Line, Shape };

// A colour as 0xRRGGBB, or one of the system's colours.
struct Colour {
  enum class Source { Default, Rgb, SysWindowText, SysAppWorkspace };
  Source source = Source::Default;
  std::uint32_t rgb = 0;
  static constexpr Colour Of(std::uint32_t value) { return Colour{Source::Rgb, value}; }
};

struct FontSpec {
  std::wstring_view face;  // empty: the window's default font
  double points = 9;
  bool bold = false;
  bool underline = false;
};

// One control as designed. Positions are twips (1/1440 inch); controls in a frame are placed relative to
// it. A line runs from (left, top) to (right, bottom) given as width and height fields x2, y2.
struct ControlDesc {
  ControlId id = kNoControl;
  std::wstring_view name;
  ControlKind kind = ControlKind::Label;
  ControlId parent = kNoControl;  // the frame it sits in
  int left = 0, top = 0, width = 0, height = 0;
  std::wstring_view caption;
  Colour fore;
  Colour back;
  FontSpec font;
  bool visible = true;
  int tabIndex = -1;  // -1: not a tab stop
  bool autoSize = false;
  bool clickable = false;
  bool isDefault = false;  // Enter presses it
  bool isCancel = false;   // Esc presses it
  int picture = 0;         // resource id of its picture, 0 for none
};

struct WindowDesc {
  std::wstring_view caption;
  int clientWidth = 0, clientHeight = 0;  // twips
  int background = 0;                     // resource id of the background picture
  int icon = 0;                           // resource id of the icon
  FontSpec font;                          // the default font of the controls
};

// What the window reports to its handlers.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnLoad() = 0;
  virtual void OnClick(ControlId control) = 0;
  // A character typed into a text box; set key to 0 to cancel it.
  virtual void OnKeyPress(ControlId control, int& key) = 0;
  // Text about to be pasted into a text box; false keeps it out.
  virtual bool OnPaste(ControlId control, const std::wstring& text) = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual void SetCaption(ControlId control, const std::wstring& text) = 0;
  // The text a text box holds, or the text a combo box shows (up to the first NUL of its entry).
  virtual std::wstring Caption(ControlId control) = 0;
  virtual void SetVisible(ControlId control, bool visible) = 0;
  virtual void SetEnabled(ControlId control, bool enabled) = 0;
  virtual void SetFocus(ControlId control) = 0;
  virtual void ClearItems(ControlId control) = 0;
  virtual void AddItem(ControlId control, const std::wstring& text) = 0;
  // Shows the entry at index in a combo box as the operator's choice would, without reporting a click.
  virtual void SelectItem(ControlId control, int index) = 0;
  // Closes the window; the program ends once it is gone.
  virtual void Unload() = 0;
};

// The window system that also builds the window and runs its message loop until it is unloaded.
class WindowHost : public WindowSystem {
 public:
  // Creates the window and its controls, reports OnLoad, shows it and runs until it is gone; false when the
  // window could not be created.
  virtual bool Run(const WindowDesc& window, std::span<const ControlDesc> controls, WindowEvents& events) = 0;
};

}  // namespace vexa
