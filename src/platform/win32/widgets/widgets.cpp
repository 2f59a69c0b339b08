#include "platform/win32/widgets/widgets.h"

#include "platform/win32/widgets/frame.h"
#include "platform/win32/widgets/label.h"
#include "platform/win32/widgets/number_box.h"
#include "platform/win32/widgets/picture.h"

namespace vexa::win32 {

namespace {

// Pixels in the main window's client area; a control inside another (the frame) is placed from it.
RECT PixelRect(const WidgetContext& context, const ControlDesc& d, std::span<const ControlDesc> controls) {
  int left = d.left;
  int top = d.top;
  for (const ControlDesc& parent : controls) {
    if (d.parent == kNoControl || parent.id != d.parent) continue;
    left += parent.left;
    top += parent.top;
  }
  RECT r{context.Px(left), context.Px(top), 0, 0};
  r.right = r.left + context.Px(d.width);
  r.bottom = r.top + context.Px(d.height);
  return r;
}

}  // namespace

void Widgets::Make(const WidgetContext& context, std::span<const ControlDesc> controls, Fonts& fonts,
                   const FontSpec& windowFont) {
  for (const ControlDesc& d : controls) {
    std::unique_ptr<Widget> widget;
    switch (d.kind) {
      case ControlKind::Label: widget = std::make_unique<Label>(context, d); break;
      case ControlKind::TextBox: widget = std::make_unique<NumberBox>(context, d); break;
      case ControlKind::ComboBox: {
        auto combo = std::make_unique<CardCombo>(context, d);
        combos_.push_back(combo.get());
        widget = std::move(combo);
        break;
      }
      case ControlKind::Button: {
        auto button = std::make_unique<FlatButton>(context, d);
        buttons_.push_back(button.get());
        widget = std::move(button);
        break;
      }
      case ControlKind::Frame: widget = std::make_unique<Frame>(context, d); break;
      case ControlKind::PictureBox: widget = std::make_unique<Picture>(context, d); break;
      case ControlKind::Line:
      case ControlKind::Shape: widget = std::make_unique<Widget>(context, d); break;  // drawn, no window
    }
    widget->Create(PixelRect(context, d, controls), fonts.Get(d.font, windowFont, context.dpi, *context.text));
    all_.push_back(std::move(widget));
  }
}

Widget* Widgets::ById(ControlId id) const {
  for (const auto& w : all_) {
    if (w->Desc().id == id) return w.get();
  }
  return nullptr;
}

Widget* Widgets::ByWindow(HWND hwnd) const {
  for (const auto& w : all_) {
    if (hwnd != nullptr && w->Window() == hwnd) return w.get();
  }
  return nullptr;
}

CardCombo* Widgets::ComboById(ControlId id) const {
  for (CardCombo* combo : combos_) {
    if (combo->Desc().id == id && combo->Window() != nullptr) return combo;
  }
  return nullptr;
}

void Widgets::ChoicesDone() const {
  for (CardCombo* combo : combos_) combo->ChoiceDone();
}

FlatButton* Widgets::KeyTarget(WPARAM key, HWND focus, bool& handled) const {
  handled = key == VK_RETURN || key == VK_ESCAPE;
  if (!handled) return nullptr;
  for (CardCombo* combo : combos_) {
    if (combo->Window() != nullptr && combo->Dropped()) {
      handled = false;  // the open list takes the key
      return nullptr;
    }
  }
  FlatButton* target = nullptr;
  for (FlatButton* button : buttons_) {
    if (key == VK_ESCAPE && button->Desc().isCancel) target = button;
    if (key == VK_RETURN && button->Desc().isDefault) target = button;
  }
  for (FlatButton* button : buttons_) {
    if (key == VK_RETURN && button->Window() != nullptr && button->Window() == focus) target = button;
  }
  const bool usable = target != nullptr && target->Window() != nullptr && ::IsWindowEnabled(target->Window()) &&
                      ::IsWindowVisible(target->Window());
  return usable ? target : nullptr;
}

void Widgets::DrawButton(const DRAWITEMSTRUCT& item, HWND focus) const {
  const Widget* focused = ByWindow(focus);
  for (FlatButton* button : buttons_) {
    if (button->Window() != item.hwndItem) continue;
    const bool otherFocused = focused != nullptr && focused != button && focused->Desc().kind == ControlKind::Button;
    button->Draw(item, button->Desc().isDefault && !otherFocused);
    if (item.itemAction != ODA_FOCUS || button->Desc().isDefault) continue;
    for (FlatButton* other : buttons_) {
      if (other->Desc().isDefault && other->Window() != nullptr) ::InvalidateRect(other->Window(), nullptr, FALSE);
    }
  }
}

}  // namespace vexa::win32
