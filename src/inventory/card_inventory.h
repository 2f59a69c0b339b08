// The network cards Windows has registered: their key names, enumerated once at start-up, the lookup of a
// card's TCP/IP service name by the description the combo box shows, and a card's present settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// What the window shows for a value it cannot read, and the name of a card whose description cannot be read
// (the card list lists it so, and a lookup of that text finds it).
inline constexpr std::wstring_view kUnreadable = L"Error";

// The "Description" of card index as read, leftovers after a NUL included; kUnreadable when unreadable.
std::wstring CardDescription(Platform& platform, const CardInventory& inventory, std::int32_t index);

// The "ServiceName" of the last card whose description, cut at its first NUL, equals shownText exactly;
// empty when none does, nothing when that card's cannot be read. The name is returned as read, NUL and
// leftovers included.
std::optional<std::wstring> FindCardServiceName(Platform& platform, const CardInventory& inventory,
                                                const std::wstring& shownText);

// The index of the last card whose description, cut at its first NUL, equals shownText exactly; -1 when
// none does. The window's choice by description goes through it.
std::int32_t FindCardIndex(Platform& platform, const CardInventory& inventory, const std::wstring& shownText);

// The indexes of every card whose description, cut at its first NUL, equals description.
std::vector<std::int32_t> CardsDescribedAs(Platform& platform, const CardInventory& inventory,
                                           const std::wstring& description);

// The "ServiceName" of card index as read, NUL and leftovers included; nothing when it cannot be read.
std::optional<std::wstring> CardServiceName(Platform& platform, const CardInventory& inventory, std::int32_t index);

// The hardware address of the adapter whose name equals serviceName (up to its NUL) without regard to
// case; none when there is no such adapter or its address is not six bytes.
std::optional<MacAddress> AdapterAddressOf(TextCodec& text, const std::vector<AdapterAddress>& adapters,
                                           const std::wstring& serviceName);

// The hardware address of every listed card, by index (GetAdaptersAddresses is asked once).
std::vector<std::optional<MacAddress>> CardAddresses(Platform& platform, const CardInventory& inventory);

// What the card view shows of the card the combo box shows, each text up to its first NUL (kUnreadable for
// a value that cannot be read, nothing for a path with no root). Read from the control set Windows boots
// with, where the OK action writes. A shown text that matches no card gives an empty service name, and the
// interface paths end in a backslash: each such path is named, for the window to say in its box.
struct CardView {
  std::wstring IpAddress;
  std::wstring SubnetMask;
  std::wstring DefaultGateway;
  std::wstring NameServer;
  std::wstring HostName;
  std::vector<std::wstring> malformed;  // the paths not read, one a value, in reading order
};
CardView ReadCardView(Platform& platform, const CardInventory& inventory, const std::wstring& shownText);

// The machine's present host name, up to its first NUL, from the control set Windows boots with
// (kUnreadable when it cannot be read).
std::wstring ReadHostName(Platform& platform);

}  // namespace vexa
