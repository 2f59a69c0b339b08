// The frame (a group box) paints itself, whatever visual style is active: the frame's colour from the
// composed background, an etched border, and its caption in its own colour.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

class Frame : public Widget {
 public:
  using Widget::Widget;
  std::optional<LRESULT> Colours(UINT message, HDC dc) override;

 protected:
  WindowClass Class(bool shown) const override;
  void SetUp() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
};

}  // namespace vexa::win32
