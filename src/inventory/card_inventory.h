// The network cards Windows has registered: their key names, enumerated once at start-up, and the lookup
// of a card's TCP/IP service name by the description the combo box shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/unique_key.h"

namespace vexa {

inline constexpr std::wstring_view kNetworkCardsPath =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
inline constexpr std::wstring_view kInterfacesPath =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\";
inline constexpr std::wstring_view kTcpipParametersPath =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters";

struct CardInventory {
  static constexpr std::int32_t kCapacity = 256;
  std::array<std::wstring, kCapacity> CardKeys;
  std::int32_t LastCard = -1;
};

// Fills the inventory with the sub-key names of the network-card key, at most 256 of them. The key stays
// open in the returned handle so the caller closes it once the card list is shown.
UniqueKey EnumNetworkCards(Platform& platform, CardInventory& inventory);

// The "Description" of card index as read, leftovers after a NUL included; "Error" when unreadable.
std::wstring CardDescription(Platform& platform, const CardInventory& inventory, std::int32_t index);

// The "ServiceName" of the last card whose description, cut at its first NUL, equals shownText exactly;
// empty when none does. The name is returned as read, NUL and leftovers included.
std::wstring FindCardServiceName(Platform& platform, const CardInventory& inventory, const std::wstring& shownText);

// The text up to the first NUL, or all of it.
std::wstring CutAtNul(const std::wstring& text);

}  // namespace vexa
