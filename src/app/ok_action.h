// The OK action of the window: the one path from plan to log, presented in message boxes, and the restart
// that makes the settings take effect.
#pragma once

#include <string>

#include "apply/machine_settings.h"
#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

// Everything up to and including the summary box: a refusal is told in its box and writes nothing; what
// was refused (None: written), for the window's focus.
// typedText is the number box's text, shownCardText the text the card combo box shows (the last card of
// that description is the one written).
Refusal RunOkAction(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                    const std::wstring& shownCardText);

// Asks whether to restart now and on Yes requests the forced reboot; true when the window is to be
// unloaded.
bool AskAndRestart(Platform& platform);

}  // namespace vexa
