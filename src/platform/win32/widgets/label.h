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
  // The size its text needs (AutoSize), never less than designed; measured with dc.
  void FitText(HDC dc, const std::string& text, const RECT& designed);

 protected:
  WindowClass Class(bool shown) const override;
};

}  // namespace vexa::win32
