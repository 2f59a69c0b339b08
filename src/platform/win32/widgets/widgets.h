// The widgets of one window, one a row of its control table, made by kind and placed from twips by the
// screen's DPI (a control in the frame by the frame's place); found by control id or by window; the
// buttons and the card lists apart, for Enter and Esc and for drawing the buttons.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "platform/win32/fonts.h"
#include "platform/win32/widgets/card_combo.h"
#include "platform/win32/widgets/flat_button.h"
#include "platform/win32/widgets/widget.h"
#include "platform/window.h"

namespace vexa::win32 {

class Widgets {
 public:
  // One widget a control, each made at its place with its row's font (windowFont where it names none).
  void Make(const WidgetContext& context, std::span<const ControlDesc> controls, Fonts& fonts,
            const FontSpec& windowFont);

  const std::vector<std::unique_ptr<Widget>>& All() const { return all_; }
  Widget* ById(ControlId id) const;
  Widget* ByWindow(HWND hwnd) const;
  CardCombo* ComboById(ControlId id) const;
  // The card list whose open list (a window of its own) asks for colours; nullptr when there is none.
  CardCombo* FirstCombo() const { return combos_.empty() ? nullptr : combos_.front(); }
  void ChoicesDone() const;

  // The button a key presses: Enter the focused button or else the default button, Esc the cancel button,
  // wherever the focus is; nothing while a card list is open, or when that button is disabled or hidden.
  // handled: the key is one of the two (then it goes no further, pressed or not).
  FlatButton* KeyTarget(WPARAM key, HWND focus, bool& handled) const;
  // A button draws itself; the default button's second border follows the focus between the buttons.
  void DrawButton(const DRAWITEMSTRUCT& item, HWND focus) const;

 private:
  std::vector<std::unique_ptr<Widget>> all_;
  std::vector<FlatButton*> buttons_;
  std::vector<CardCombo*> combos_;
};

}  // namespace vexa::win32
