#include "app/card_list.h"

#include <vector>

#include "apply/write_table.h"
#include "common/mac_address.h"
#include "common/text.h"
#include "registry/control_set.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

namespace {

// How the card's TCP/IP is set for the next start: DHCP, or its addresses; "" when nothing can be read.
std::wstring Addressing(Platform& platform, const std::wstring& service) {
  const std::wstring key = locations::TcpipInterface(BootControlSet(platform), service);
  const std::optional<std::uint32_t> dhcp = Reg::ReadRegDword(platform, key, locations::kEnableDhcp);
  if (dhcp && *dhcp == 1) return L"DHCP";
  const Reg::RegRead ip = Reg::ReadRegData(platform, key, locations::kIpAddress);
  if (!ip.value) return L"";
  const Reg::RegRead mask = Reg::ReadRegData(platform, key, locations::kSubnetMask);
  std::wstring text = ValueText(platform.text, *ip.value);
  if (mask.value) text += L" / " + ValueText(platform.text, *mask.value);
  return text;
}

}  // namespace

std::wstring CardList(Platform& platform, const CardInventory& inventory) {
  if (inventory.LastCard < 0) return L"本机没有网卡。";
  const std::vector<std::optional<MacAddress>> addresses = CardAddresses(platform, inventory);
  std::vector<std::wstring> lines = {L"本机的网卡(/card 后面写序号或网卡地址):"};
  for (std::int32_t i = 0; i <= inventory.LastCard; ++i) {
    const std::wstring service = CutAtNul(CardServiceName(platform, inventory, i).value_or(L""));
    std::vector<std::wstring> parts = {IntText(i + 1) + L"  " + CutAtNul(CardDescription(platform, inventory, i))};
    const std::optional<MacAddress>& mac = addresses[static_cast<std::size_t>(i)];
    parts.push_back(mac ? FormatMac(*mac) : L"(网卡地址未知)");
    if (const std::wstring addressing = Addressing(platform, service); !addressing.empty()) parts.push_back(addressing);
    const Reg::RegText name = Reg::ReadRegString(platform, locations::Connection(service), locations::kConnectionName);
    if (name.ok() && !CutAtNul(name.text).empty()) parts.push_back(L"\"" + CutAtNul(name.text) + L"\"");
    lines.push_back(L"  " + JoinWith(parts, L"  "));
  }
  return JoinWith(lines, L"\r\n");
}

}  // namespace vexa
