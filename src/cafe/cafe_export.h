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

enum class ExportFormat { Dnsmasq, Dhcpd, Kea, Netsh, Arp, Csv };
// The format a /export argument names, compared without case.
std::optional<ExportFormat> ExportFormatNamed(std::wstring_view name);
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

// The seats whose host name dnsmasq would read as a lease time ("15", "45m": digits, then s, m, h, d or w
// or nothing): dnsmasq's file gives them without a name.
std::vector<int> LeaseTimeNames(const ExportPlan& plan);

struct ExportFile {
  std::string name;   // "VexaIpSet-dnsmasq.conf"
  std::string bytes;  // as the program reads it: ASCII (CR LF for batch files), the CSV in UTF-8 with a BOM
};
// Whether the format carries host names to a server that needs each once (dnsmasq, dhcpd, Kea, netsh).
bool NamesMustBeUnique(ExportFormat format);

// The files of a format: each binding of the plan (the CSV: every seat the page shows, from view), grouped
// by its zone's subnet where a server reads subnets (dhcpd's subnet declarations with their routers, Kea's
// subnet4 with an id the subnet itself gives, netsh's scopes); the second and later of names that differ
// only in case left out where NamesMustBeUnique. note: the first comment line of every file but Kea's and
// the CSV (ASCII: what made it, when).
std::vector<ExportFile> ExportFiles(ExportFormat format, const ExportPlan& plan, const CafeView& view,
                                    std::string_view note);

}  // namespace vexa
