// A picture box: one of the tool's pictures, scaled to its designed size at the screen's DPI, over the
// composed background.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

class Picture : public Widget {
 public:
  using Widget::Widget;
  std::optional<LRESULT> Colours(UINT message, HDC dc) override;

 protected:
  WindowClass Class(bool shown) const override;
  void SetUp() override;

 private:
  GdiObject<HBITMAP> picture_;
};

}  // namespace vexa::win32
