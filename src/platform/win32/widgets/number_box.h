// The number box: a single-line edit in its own colours whose typed characters go through the key filter
// and whose pastes go through the paste filter, whatever way they come (Ctrl+V, Shift+Insert, the context
// menu, WM_PASTE). A refused paste beeps and leaves the box as it was.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

class NumberBox : public Widget {
 public:
  using Widget::Widget;
  std::optional<LRESULT> Colours(UINT message, HDC dc) override;

 protected:
  WindowClass Class(bool shown) const override;
  void SetUp() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool PasteAllowed();
  GdiObject<HBRUSH> brush_;
};

}  // namespace vexa::win32
