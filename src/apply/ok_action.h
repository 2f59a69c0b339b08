// The OK action: validate the typed number, derive the machine's settings, write them, report them.
#pragma once

#include <string>

#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

enum class FocusTarget { None, TxtNum, CboInterface };

// What the window does once the action has run. Command1 is enabled again in every case.
struct OkOutcome {
  FocusTarget focus = FocusTarget::None;
  bool clearTxtNum = false;
  bool askRestart = false;  // the settings were written: ask whether to restart now
};

// Everything up to and including the summary. typedText is txtNum's text, shownCardText the text the card
// combo box shows.
OkOutcome RunOkAction(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                      const std::wstring& shownCardText);

// Asks whether to restart now and on Yes requests the forced reboot; true when the window is to be
// unloaded.
bool AskAndRestart(Platform& platform);

}  // namespace vexa
