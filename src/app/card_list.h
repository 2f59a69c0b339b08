// /cards: the network cards as the window lists them, each with the number /card takes, its description,
// hardware address, how its TCP/IP is set (DHCP, or the addresses Windows boots with) and its connection's
// name where Windows has one. Nothing written, nothing logged.
#pragma once

#include <string>

#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

std::wstring CardList(Platform& platform, const CardInventory& inventory);

}  // namespace vexa
