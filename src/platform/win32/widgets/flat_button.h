// One of the two buttons, drawn by the window (owner-drawn): a small gradient picture, the caption with
// its access key underlined, the default button marked by a second border, the focus by a dotted
// rectangle. A click, or its access key, is its one command.
#pragma once

#include "platform/win32/widgets/widget.h"

namespace vexa::win32 {

class FlatButton : public Widget {
 public:
  using Widget::Widget;
  bool OnCommand(int code) override;
  // WM_DRAWITEM: markDefault when it is the default button and no other button has the focus.
  void Draw(const DRAWITEMSTRUCT& item, bool markDefault);

 protected:
  WindowClass Class(bool shown) const override;
};

}  // namespace vexa::win32
