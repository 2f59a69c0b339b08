// What a machine held before the tool first changed it, kept in the machine's own registry (never in the
// shared folder: the executable may run from a share) so that /undo can put it back. Saved once, before
// the first write that changes anything; a later write on another card adds that card's values and keeps
// every value saved before. The values are kept in one binary value written last and whole (Windows
// writes a value at once): a save cut short leaves none, and nothing had been written then.
#pragma once

#include <string>
#include <vector>

#include "apply/write_table.h"
#include "platform/platform.h"
#include "registry/reg.h"

namespace vexa {

// One value as it was: its bytes, absent (the key held no such value: not the same as empty), or no key
// (a component not installed: the tool never creates its key, so there is nothing to put back).
struct SavedValue {
  enum class Was : std::uint32_t { Value = 0, Absent = 1, NoKey = 2 };
  std::wstring path;
  std::wstring name;
  std::wstring label;
  Was was = Was::Value;
  Reg::RegData data;
};

struct SavedState {
  enum class Found { None, Complete, Unreadable };
  Found found = Found::None;
  std::wstring unreadable;         // Unreadable: which value of the saved state could not be read
  std::wstring card;               // the card's service name (beside it: Version and Time, for a person)
  std::vector<SavedValue> values;  // in write order
};

SavedState ReadSavedState(Platform& platform);

// Saves what each row holds now unless it is saved already. failed: why the state could not be read or
// kept (then nothing may be written); unsaved: rows whose key refuses reading, which must not be written
// either (what they held could not be kept).
struct SaveResult {
  std::wstring failed;
  std::vector<std::wstring> unsaved;
};
SaveResult SaveBefore(Platform& platform, const std::vector<WriteRow>& rows, const std::wstring& card);

// Puts every saved value back in write order (a value saved as absent is deleted), and removes the saved
// state when every one is back. The labels of the values that could not be put back.
struct RestoreReport {
  std::vector<std::wstring> restored;
  std::vector<std::wstring> notRestored;
  bool stateRemoved = false;
};
RestoreReport RestoreSaved(Platform& platform, const SavedState& state);

}  // namespace vexa
