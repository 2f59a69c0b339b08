// The network cards Windows has registered: their key names, enumerated once at start-up, the lookup of a
// card's TCP/IP service name by the description the combo box shows, and a card's present settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/mac_address.h"
#include "platform/owned.h"
#include "platform/platform.h"

namespace vexa {

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

// The index of the last card whose description, cut at its first NUL, equals shownText exactly; -1 when
// none does. The window's choice by description goes through it.
std::int32_t FindCardIndex(Platform& platform, const CardInventory& inventory, const std::wstring& shownText);

// The indexes of every card whose description, cut at its first NUL, equals description.
std::vector<std::int32_t> CardsDescribedAs(Platform& platform, const CardInventory& inventory,
                                           const std::wstring& description);

// The "ServiceName" of card index as read, NUL and leftovers included; "Error" when unreadable.
std::wstring CardServiceName(Platform& platform, const CardInventory& inventory, std::int32_t index);

// The hardware address of the adapter whose name equals serviceName (up to its NUL) without regard to
// case; none when there is no such adapter or its address is not six bytes.
std::optional<MacAddress> AdapterAddressOf(TextCodec& text, const std::vector<AdapterAddress>& adapters,
                                           const std::wstring& serviceName);

// The hardware address of every listed card, by index (GetAdaptersAddresses is asked once).
std::vector<std::optional<MacAddress>> CardAddresses(Platform& platform, const CardInventory& inventory);

// What the card view shows of the card the combo box shows, each text up to its first NUL ("Error" for a
// value that cannot be read). Read from the control set Windows boots with, where the OK action writes.
struct CardView {
  std::wstring IpAddress;
  std::wstring SubnetMask;
  std::wstring DefaultGateway;
  std::wstring NameServer;
  std::wstring HostName;
};
CardView ReadCardView(Platform& platform, const CardInventory& inventory, const std::wstring& shownText);

// The machine's present host name, up to its first NUL, from the control set Windows boots with.
std::wstring ReadHostName(Platform& platform);

}  // namespace vexa
