// A recorded window: every control's state and the order of the changes, for tests of the handlers.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/window.h"

namespace vexa::sim {

struct ControlState {
  std::wstring caption;
  bool visible = true;
  bool enabled = true;
  std::vector<std::wstring> items;  // as added, NULs included
  int selected = -1;
};

class SimWindow : public WindowSystem {
 public:
  // Starts every control in its designed state.
  explicit SimWindow(std::span<const ControlDesc> controls);

  void SetCaption(ControlId control, const std::wstring& text) override;
  std::wstring Caption(ControlId control) override;
  void SetVisible(ControlId control, bool visible) override;
  void SetEnabled(ControlId control, bool enabled) override;
  void SetFocus(ControlId control) override;
  void ClearItems(ControlId control) override;
  void AddItem(ControlId control, const std::wstring& text) override;
  void SelectItem(ControlId control, int index) override;
  void Unload() override;

  // The operator's side.
  void Select(ControlId combo, int index) { state_[combo].selected = index; }
  void Type(ControlId textBox, const std::wstring& text) { state_[textBox].caption = text; }

  const ControlState& State(ControlId control) { return state_[control]; }
  ControlId Focus() const { return focus_; }
  bool Unloaded() const { return unloaded_; }
  // Changes in order, as "Name.what=value".
  const std::vector<std::wstring>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  std::wstring Name(ControlId control) const;

  std::map<ControlId, ControlState> state_;
  std::map<ControlId, std::wstring> names_;
  ControlId focus_ = kNoControl;
  bool unloaded_ = false;
  std::vector<std::wstring> log_;
};

}  // namespace vexa::sim
