#include "platform/sim/sim_window.h"

#include "common/text.h"

namespace vexa::sim {

SimWindow::SimWindow(std::span<const ControlDesc> controls) {
  for (const auto& c : controls) {
    ControlState& s = state_[c.id];
    s.caption = std::wstring(c.caption);
    s.visible = c.visible;
    names_[c.id] = std::wstring(c.name);
    if (c.tabIndex == 0) focus_ = c.id;
  }
}

std::wstring SimWindow::Name(ControlId control) const {
  auto it = names_.find(control);
  return it == names_.end() ? L"?" : it->second;
}

void SimWindow::SetCaption(ControlId control, const std::wstring& text) {
  state_[control].caption = text;
  log_.push_back(Name(control) + L".caption=" + text);
}

std::wstring SimWindow::Caption(ControlId control) {
  const ControlState& s = state_[control];
  if (s.items.empty() && s.selected < 0) return s.caption;
  if (s.selected < 0 || s.selected >= static_cast<int>(s.items.size())) return L"";
  const std::wstring& item = s.items[static_cast<std::size_t>(s.selected)];
  return item.substr(0, item.find(L'\0'));
}

void SimWindow::SetVisible(ControlId control, bool visible) {
  state_[control].visible = visible;
  log_.push_back(Name(control) + (visible ? L".show" : L".hide"));
}

void SimWindow::SetEnabled(ControlId control, bool enabled) {
  state_[control].enabled = enabled;
  log_.push_back(Name(control) + (enabled ? L".enable" : L".disable"));
}

void SimWindow::SetFocus(ControlId control) {
  focus_ = control;
  log_.push_back(Name(control) + L".focus");
}

void SimWindow::ClearItems(ControlId control) {
  state_[control].items.clear();
  state_[control].selected = -1;
  log_.push_back(Name(control) + L".clear");
}

void SimWindow::AddItem(ControlId control, const std::wstring& text) {
  state_[control].items.push_back(text);
  log_.push_back(Name(control) + L".add=" + text.substr(0, text.find(L'\0')));
}

void SimWindow::SelectItem(ControlId control, int index) {
  state_[control].selected = index;
  log_.push_back(Name(control) + L".select=" + IntText(index));
}

void SimWindow::Unload() {
  unloaded_ = true;
  log_.push_back(L"unload");
}

}  // namespace vexa::sim
