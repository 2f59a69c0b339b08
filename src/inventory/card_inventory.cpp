#include "inventory/card_inventory.h"

#include <algorithm>

#include "registry/reg.h"

namespace vexa {

namespace {
constexpr const char* kNetworkCardsSubKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr std::uint32_t kNameBufferSize = 256;
}  // namespace

std::wstring CutAtNul(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

UniqueKey EnumNetworkCards(Platform& platform, CardInventory& inventory) {
  UniqueKey key(platform.registry);
  key.Open(kHkeyLocalMachine, kNetworkCardsSubKey, kKeyRead);  // a failed open leaves no handle: no cards
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
  return Reg::ReadRegString(
      platform, std::wstring(kNetworkCardsPath) + inventory.CardKeys[static_cast<std::size_t>(index)], L"Description");
}

std::wstring FindCardServiceName(Platform& platform, const CardInventory& inventory, const std::wstring& shownText) {
  std::wstring serviceName;
  const std::int32_t last = inventory.LastCard;
  for (std::int32_t index = 0; index <= last; ++index) {
    if (CutAtNul(CardDescription(platform, inventory, index)) != shownText) continue;
    serviceName = Reg::ReadRegString(
        platform, std::wstring(kNetworkCardsPath) + inventory.CardKeys[static_cast<std::size_t>(index)],
        L"ServiceName");
  }
  return serviceName;
}

}  // namespace vexa
