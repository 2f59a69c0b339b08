// /export: the seats the shared log vouches for, in the files that DHCP servers and routers read, so that
// reservations and IP-MAC bindings are never typed a second time. The same reading as /table and /report:
// each address's last vouching line, one number on two cards found the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cafe/seats.h"
#include "common/mac_address.h"

namespace vexa {

// dhcpd and Kea each twice: a whole file of their own, and what goes into a file that declares the subnets
// already (dhcpd's hosts for an include, Kea's reservations to paste into each subnet4).
enum class ExportFormat { Dnsmasq, Dhcpd, DhcpdHosts, Kea, KeaReservations, Netsh, Arp, Csv };
// The format a /export argument names, compared without case.
std::optional<ExportFormat> ExportFormatNamed(std::wstring_view name);
// A format's name as /export takes it ("dhcpd-hosts").
std::wstring_view ExportFormatName(ExportFormat format);
// The formats' names as /export takes them: "dnsmasq、dhcpd、kea、netsh、arp 或 csv" (separator, last word).
std::wstring ExportFormatNames(std::wstring_view separator, std::wstring_view last);

// One seat as a server takes it, in its zone's subnet.
struct Binding {
  int number = 0;
  std::uint32_t ip = 0;
  MacAddress mac{};
  std::wstring hostName;      // "" when it is not a DNS label: the binding is kept without it
  std::uint32_t mask = 0;     // its zone's
  std::uint32_t gateway = 0;  // its zone's, 0 for none
  std::wstring fallbackName;  // hostName "": the name a format that needs one gives it ("seat-N", unique)
};

// Why a seat's last vouching line gives no binding a machine could use under the tool's own rules in its
// zone: its address (none, outside the zone's subnet, the subnet's network or broadcast address, the
// gateway's, one no host may have) or its hardware address (a group address, all zeros).
enum class SeatFault { NotAnAddress, OutsideSubnet, NetworkAddress, Broadcast, Gateway, Reserved, NotACard };
struct LeftSeat {
  int number = 0;
  std::wstring value;  // what is wrong, as the line holds it
  SeatFault fault = SeatFault::NotAnAddress;
};

// What a server can take, and what it cannot with the reason.
struct ExportPlan {
  std::vector<Binding> bindings;        // in the zones' order, each zone's in number order
  std::vector<std::wstring> conflicts;  // one number on two cards, one IP written for two cards: one line each
  std::vector<int> conflictSeats;       // the seats those lines name, left out
  // Host names that differ only in case (Windows and DNS take them for one): one line each; the seats of the
  // second and later, left out where names must be unique.
  std::vector<std::wstring> sameNames;
  std::vector<int> sameNameSeats;
  std::vector<std::wstring> unnamed;  // "20(网吧20)": seats whose host name is not a DNS label
  // Seats whose fallback name had to differ from "seat-N" (another seat's name is that): one line each.
  std::vector<std::wstring> renamed;
  std::vector<int> notWritten;            // seats whose last line was refused or did not write everything
  std::vector<LeftSeat> unusable;         // seats whose binding no machine could use
  std::vector<std::wstring> unplannable;  // zones whose mask is none: no seat of theirs can be checked
};
ExportPlan PlanExport(const CafeView& view);

// A host name a DNS server and a DHCP server's name field take: 1 to 63 letters, digits and '-', neither
// first nor last a '-'.
bool IsDnsLabel(std::wstring_view name);

// Whether dnsmasq reads a host name as a lease time ("15", "45m": digits, then s, m, h, d or w or nothing);
// LeaseTimeNames: the seats whose name it is, which dnsmasq's file gives without a name.
bool LooksLikeLeaseTime(std::wstring_view name);
std::vector<int> LeaseTimeNames(const ExportPlan& plan);

// Whether the format carries host names to a server that needs each once (all but ARP and the CSV).
bool NamesMustBeUnique(ExportFormat format);

// A seat the log names that a format's files do not bind, and why, in words for the console and the
// files' heads.
struct LeftOutSeat {
  int number = 0;
  std::wstring reason;
};
// Every seat of the view but those never seen that the format leaves out, in the zones' order: none for
// the CSV, which shows every seat.
std::vector<LeftOutSeat> SeatsLeftOut(const ExportPlan& plan, const CafeView& view, ExportFormat format);

}  // namespace vexa
