// A label of the window, painted over the composed background in its colour (transparent: no old text is
// left behind, nothing flickers); a clickable one is a link, with the hand over it; an AutoSize one grows
// with its text from its designed size.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

class Label : public Widget {
 public:
  using Widget::Widget;
  bool OnCommand(int code) override;
  std::optional<LRESULT> Colours(UINT message, HDC dc) override;
  bool SetCursor() override;

 protected:
  WindowClass Class(bool shown) const override;
  // An AutoSize label: the size its text needs, never less than designed.
  void Fit(const std::string& text) override;
};

}  // namespace vexa::win32
