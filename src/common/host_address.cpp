#include "common/host_address.h"

#include "common/text.h"

namespace vexa {

namespace {

// Host bits a mask leaves: the subnet has a network and a broadcast address only with two or more.
constexpr int kMinHostBitsWithBroadcast = 2;

int PrefixLength(std::uint32_t mask) {
  int length = 0;
  while (length < 32 && (mask & (0x80000000u >> length)) != 0) ++length;
  return length;
}

// Classes no host address may lie in, whatever the mask.
AddressFault RangeFault(std::uint32_t ip) {
  const std::uint32_t first = ip >> 24;
  if (first == 0) return AddressFault::ThisNetwork;
  if (first == 127) return AddressFault::Loopback;
  if (first >= 224) return AddressFault::Multicast;
  return AddressFault::Fine;
}

// The subnet's own and broadcast addresses, when the mask leaves room for them.
AddressFault SubnetEdgeFault(std::uint32_t address, std::uint32_t mask) {
  if (32 - PrefixLength(mask) < kMinHostBitsWithBroadcast) return AddressFault::Fine;
  if ((address & ~mask) == 0) return AddressFault::NetworkAddress;
  if ((address & ~mask) == ~mask) return AddressFault::Broadcast;
  return AddressFault::Fine;
}

}  // namespace

Ipv4 ParseIpv4(std::wstring_view text) {
  Ipv4 result;
  bool leadingZero = false;
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(L'.', start);
    const std::wstring_view part = text.substr(start, end == std::wstring_view::npos ? end : end - start);
    if (part.empty() || part.size() > 3) return result;
    std::uint32_t value = 0;
    for (wchar_t c : part) {
      if (!IsDigit(c)) return result;
      value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (value > 255) return result;
    leadingZero = leadingZero || (part.size() > 1 && part.front() == L'0');
    result.bits = result.bits << 8 | value;
    ++parts;
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  if (parts != 4) return result;
  result.fault = leadingZero ? AddressFault::LeadingZero : AddressFault::Fine;
  return result;
}

Ipv4 ParseMask(std::wstring_view text) {
  Ipv4 mask = ParseIpv4(text);
  const std::uint32_t hosts = ~mask.bits;
  if (mask.ok() && (mask.bits == 0 || (hosts & (hosts + 1)) != 0)) mask.fault = AddressFault::NotAnAddress;
  return mask;
}

AddressFault HostAddressFault(std::uint32_t ip, std::uint32_t mask) {
  const AddressFault range = RangeFault(ip);
  return range != AddressFault::Fine ? range : SubnetEdgeFault(ip, mask);
}

AddressFault GatewayFault(std::wstring_view gateway, std::uint32_t ip, std::uint32_t mask) {
  const Ipv4 address = ParseIpv4(gateway);
  if (!address.ok()) return address.fault;
  if (address.bits == ip) return AddressFault::OwnAddress;
  const AddressFault range = RangeFault(address.bits);
  if (range != AddressFault::Fine) return range;
  if ((address.bits & mask) != (ip & mask)) return AddressFault::OutsideSubnet;
  return SubnetEdgeFault(address.bits, mask);
}

AddressFault NameServerFault(std::wstring_view server, std::uint32_t ip, std::uint32_t mask) {
  const Ipv4 address = ParseIpv4(server);
  if (!address.ok()) return address.fault;
  if (address.bits == 0 || address.bits == 0xFFFFFFFFu) return AddressFault::NoServer;
  if (address.bits >> 24 >= 224) return AddressFault::Multicast;
  const bool ownSubnet = (address.bits & mask) == (ip & mask);
  return ownSubnet && SubnetEdgeFault(address.bits, mask) == AddressFault::Broadcast ? AddressFault::Broadcast
                                                                                     : AddressFault::Fine;
}

std::wstring DottedText(std::uint32_t bits) {
  std::wstring text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!text.empty()) text.push_back(L'.');
    text += IntText(bits >> shift & 0xFF);
  }
  return text;
}

std::wstring SubnetText(std::uint32_t ip, std::uint32_t mask) {
  return DottedText(ip & mask) + L"/" + IntText(PrefixLength(mask));
}

}  // namespace vexa
