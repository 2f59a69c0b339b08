// Which IPv4 addresses a machine can be given: dotted quads as Windows reads them, and the addresses no
// host may carry or reach as its gateway.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// What is wrong with an address in its place; Fine when nothing is.
enum class AddressFault {
  Fine,
  NotAnAddress,    // not four dotted decimal parts of 0 to 255
  LeadingZero,     // a part such as "08", "010" or "00": Windows reads it as octal
  ThisNetwork,     // 0.0.0.0/8, 0.0.0.0 itself included
  Loopback,        // 127.0.0.0/8
  Multicast,       // 224.0.0.0 and above: multicast, reserved, broadcast
  NetworkAddress,  // the subnet's own address
  Broadcast,       // the subnet's broadcast address
  OwnAddress,      // a gateway that is the machine itself
  NoServer,        // a name server of 0.0.0.0 or 255.255.255.255
  OutsideSubnet,   // a gateway outside the machine's subnet: Windows asks before it saves one
};

// The address as 32 bits, or why it is none (NotAnAddress, LeadingZero).
struct Ipv4 {
  AddressFault fault = AddressFault::NotAnAddress;
  std::uint32_t bits = 0;
  bool ok() const { return fault == AddressFault::Fine; }
};
Ipv4 ParseIpv4(std::wstring_view text);

// A mask of ones from the top, then zeros only, with at least one network bit.
Ipv4 ParseMask(std::wstring_view text);

// The machine's own address under mask: no network or broadcast address while the mask leaves hosts
// for them (up to /30), and none of the ranges no host may use.
AddressFault HostAddressFault(std::uint32_t ip, std::uint32_t mask);

// A gateway for a machine with ip and mask: one of its subnet's hosts other than itself.
AddressFault GatewayFault(std::wstring_view gateway, std::uint32_t ip, std::uint32_t mask);

// One name server of a list for a machine with ip and mask: a host's address, not 0.0.0.0, multicast or
// reserved (224.0.0.0 and above), or the machine's own subnet's broadcast address.
AddressFault NameServerFault(std::wstring_view server, std::uint32_t ip, std::uint32_t mask);

// Dotted text of an address, and "a.b.c.d/n" of the subnet that ip lies in.
std::wstring DottedText(std::uint32_t bits);
std::wstring SubnetText(std::uint32_t ip, std::uint32_t mask);

}  // namespace vexa
