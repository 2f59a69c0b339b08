// What a machine held before the tool first changed it, kept in the machine's own registry (never in the
// shared folder: the executable may run from a share) so that /undo can put it back. Saved once, before
// the first write that changes anything; a later write on another card adds that card's values and keeps
// every value saved before. Each value records the card whose write saved it, so that /undo puts back and
// logs every card. The values are kept in one binary value written last and whole (Windows writes a value
// at once): a save cut short leaves none, and nothing had been written then. A state is only ever the
// tool's own values: one that names any other key or value (an image's plant, a hand's edit) is trusted
// for nothing.
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
  std::wstring card;  // the TCP/IP service name of the card whose write saved it
  std::wstring path;
  std::wstring name;
  std::wstring label;
  Was was = Was::Value;
  Reg::RegData data;
  Reg::View view = Reg::View::Own;  // its row's: not kept in the state, every row has its one view
};

struct SavedState {
  // Unreadable: not what the tool writes; Untrusted: it names a value the tool never writes.
  enum class Found { None, Complete, Unreadable, Untrusted };
  Found found = Found::None;
  std::wstring why;                // Unreadable, Untrusted: what of it
  std::vector<SavedValue> values;  // in the order they were saved
  // The cards its values belong to, in the order they were first saved.
  std::vector<std::wstring> Cards() const;
};

// The state as the machine keeps it, checked: every value one of the write table's rows for its card, in
// the control set Windows boots with, or MachineGuid's (write_table.h). A state an earlier version kept (every value
// the one card's) is read as its bytes say.
SavedState ReadSavedState(Platform& platform);

// What the operator is told of a state that cannot be read or trusted: its key, why, that nothing was
// written or deleted, and the command that removes it.
std::wstring UnusableStateText(const SavedState& state);

// Saves what each row holds now unless it is saved already. failed: why the state could not be read,
// trusted or kept (then nothing may be written); unsaved: rows whose key refuses reading, which must not be
// written either (what they held could not be kept).
struct SaveResult {
  std::wstring failed;
  std::vector<std::wstring> unsaved;
};
SaveResult SaveBefore(Platform& platform, const std::vector<WriteRow>& rows, const std::wstring& card);

// Puts every saved value back in the order it was saved (a value saved as absent is deleted), card by card,
// and removes the saved state when every one is back or has no key left to go into (a driver installed
// anew, a profile deleted). The players' hives its values lie in are mounted meanwhile. A card that left the machine
// (presentCards: the service names of the cards it has now) has no interface key to put values into: said, and no
// reason to keep the state.
struct CardRestore {
  std::wstring card;
  std::vector<std::wstring> restored;     // labels
  std::vector<std::wstring> notRestored;  // labels (a player's hive that could not be mounted: and why)
  std::vector<std::wstring> keyGone;      // labels of values whose key no longer exists: nothing to put back
  bool gone = false;                      // the card is no longer in the machine
};
struct RestoreReport {
  std::vector<CardRestore> cards;  // in the order the cards were saved
  bool stateRemoved = false;
  bool AllBack() const;
};
RestoreReport RestoreSaved(Platform& platform, const SavedState& state, const std::vector<std::wstring>& presentCards);

}  // namespace vexa
