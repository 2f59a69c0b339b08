// The card list: a drop-down list drawn classic in its own colours (the closed box's text grey), the hand
// over it, the list as tall as the cards need. A choice is reported once, also when the same entry is
// chosen again: on CBN_SELENDOK when the list was open, on CBN_SELCHANGE when the keyboard changed it in
// the closed box.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

// Posted after a list choice was reported, so that the CBN_SELCHANGE of the same choice is not.
constexpr UINT kClearComboChoice = WM_APP + 1;

class CardCombo : public Widget {
 public:
  using Widget::Widget;
  bool OnCommand(int code) override;
  std::optional<LRESULT> Colours(UINT message, HDC dc) override;
  bool SetCursor() override;
  std::wstring Text() override;  // the entry it shows

  void Clear();
  void Add(const std::wstring& text);
  void Select(int index);
  bool Dropped() const;
  void ChoiceDone() { choiceReported_ = false; }  // kClearComboChoice

 protected:
  WindowClass Class(bool shown) const override;
  RECT WindowRect() const override;
  void SetUp() override;

 private:
  GdiObject<HBRUSH> brush_;
  bool dropped_ = false;
  bool choiceReported_ = false;
};

}  // namespace vexa::win32
