#include "inventory/card_inventory.h"

#include <algorithm>

#include "common/text.h"
#include "registry/control_set.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

namespace {
constexpr std::uint32_t kNameBufferSize = 256;

Reg::RegText CardValue(Platform& platform, const CardInventory& inventory, std::int32_t index,
                       std::wstring_view valueName) {
  return Reg::ReadRegString(platform, locations::NetworkCard(inventory.CardKeys[static_cast<std::size_t>(index)]),
                            valueName);
}

// A value as the window shows it: its text, kUnreadable when it cannot be read, nothing without a root.
std::wstring Shown(const Reg::RegText& read) {
  return read.status == Reg::RegText::Status::Unreadable ? std::wstring(kUnreadable) : read.text;
}
}  // namespace

UniqueKey EnumNetworkCards(Platform& platform, CardInventory& inventory) {
  UniqueKey key(platform.registry);
  // A failed open leaves no handle: no cards.
  key.Open(kHkeyLocalMachine, platform.text.ToAnsi(locations::kNetworkCardsSubKey).c_str(), kKeyRead);
  inventory.LastCard = -1;
  if (!key) return key;
  // A cloned registry may list more cards than the inventory holds: the rest are not listed.
  for (std::uint32_t index = 0; inventory.LastCard + 1 < CardInventory::kCapacity; ++index) {
    std::string name(kNameBufferSize, '\0');
    if (platform.registry.RegEnumKeyA(key.get(), index, name.data(), kNameBufferSize) != status::kSuccess) break;
    name.resize(std::min(name.find('\0'), name.size()));
    inventory.CardKeys[static_cast<std::size_t>(++inventory.LastCard)] = platform.text.FromAnsi(name);
  }
  return key;
}

std::wstring CardDescription(Platform& platform, const CardInventory& inventory, std::int32_t index) {
  return Shown(CardValue(platform, inventory, index, locations::kDescription));
}

std::vector<std::int32_t> CardsDescribedAs(Platform& platform, const CardInventory& inventory,
                                           const std::wstring& description) {
  std::vector<std::int32_t> found;
  const std::int32_t last = inventory.LastCard;
  for (std::int32_t index = 0; index <= last; ++index) {
    if (CutAtNul(CardDescription(platform, inventory, index)) == description) found.push_back(index);
  }
  return found;
}

std::int32_t FindCardIndex(Platform& platform, const CardInventory& inventory, const std::wstring& shownText) {
  const std::vector<std::int32_t> found = CardsDescribedAs(platform, inventory, shownText);
  return found.empty() ? -1 : found.back();
}

std::optional<std::wstring> FindCardServiceName(Platform& platform, const CardInventory& inventory,
                                                const std::wstring& shownText) {
  const std::int32_t index = FindCardIndex(platform, inventory, shownText);
  return index < 0 ? std::wstring() : CardServiceName(platform, inventory, index);
}

std::optional<std::wstring> CardServiceName(Platform& platform, const CardInventory& inventory, std::int32_t index) {
  Reg::RegText read = CardValue(platform, inventory, index, locations::kServiceName);
  if (!read.ok()) return std::nullopt;
  return std::move(read.text);
}

std::optional<MacAddress> AdapterAddressOf(TextCodec& text, const std::vector<AdapterAddress>& adapters,
                                           const std::wstring& serviceName) {
  auto folded = [](std::string name) {
    for (char& c : name) {
      c = AsciiUpper(c);
    }
    return name;
  };
  const std::string wanted = folded(text.ToAnsi(CutAtNul(serviceName)));
  for (const AdapterAddress& adapter : adapters) {
    if (folded(adapter.name) != wanted || adapter.physical.size() != 6) continue;
    MacAddress address{};
    for (std::size_t i = 0; i < 6; ++i) address[i] = static_cast<std::uint8_t>(adapter.physical[i]);
    return address;
  }
  return std::nullopt;
}

std::vector<std::optional<MacAddress>> CardAddresses(Platform& platform, const CardInventory& inventory) {
  std::vector<std::optional<MacAddress>> addresses(static_cast<std::size_t>(inventory.LastCard + 1));
  const auto adapters = platform.adapters.GetAdaptersAddresses(AdapterDetail::Hardware);
  if (!adapters) return addresses;
  for (std::int32_t index = 0; index <= inventory.LastCard; ++index) {
    const std::optional<std::wstring> service = CardServiceName(platform, inventory, index);
    if (service) addresses[static_cast<std::size_t>(index)] = AdapterAddressOf(platform.text, *adapters, *service);
  }
  return addresses;
}

CardView ReadCardView(Platform& platform, const CardInventory& inventory, const std::wstring& shownText) {
  const std::optional<std::wstring> service = FindCardServiceName(platform, inventory, shownText);
  const std::wstring card = locations::TcpipInterface(BootControlSet(platform), service.value_or(L""));
  CardView view;
  const std::pair<std::wstring*, std::wstring_view> values[] = {{&view.IpAddress, locations::kIpAddress},
                                                                {&view.SubnetMask, locations::kSubnetMask},
                                                                {&view.DefaultGateway, locations::kDefaultGateway},
                                                                {&view.NameServer, locations::kNameServer}};
  for (const auto& [shown, name] : values) {
    // A card whose service name cannot be read has no interface key to read from.
    const Reg::RegText read = service ? Reg::ReadRegString(platform, card, name) : Reg::RegText{};
    if (read.status == Reg::RegText::Status::Malformed) view.malformed.push_back(read.path);
    *shown = CutAtNul(Shown(read));
  }
  view.HostName = ReadHostName(platform);
  return view;
}

std::wstring ReadHostName(Platform& platform) {
  return CutAtNul(Shown(
      Reg::ReadRegString(platform, locations::TcpipParameters(BootControlSet(platform)), locations::kNvHostname)));
}

}  // namespace vexa
