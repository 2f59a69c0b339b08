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

// One seat as a server takes it.
struct Binding {
  int number = 0;
  std::uint32_t ip = 0;
  MacAddress mac{};
  std::wstring hostName;  // "" when it is not a DNS label: the binding is kept without it
};

// What a server can take, and what it cannot with the reason.
struct ExportPlan {
  std::vector<Binding> bindings;        // in number order
  std::vector<std::wstring> conflicts;  // one number on two cards, one IP written for two cards: one line each
  std::vector<int> conflictSeats;       // the seats those lines name, left out
  std::vector<std::wstring> unnamed;    // "20(网吧20)": seats whose host name is not a DNS label
  std::vector<int> notWritten;          // seats whose last line was refused or did not write everything
  std::vector<std::wstring> noAddress;  // "22(192.168.0.x)": a vouching line whose IP is no address (edited by hand)
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
// The files of a format: each binding of the plan (the CSV: every seat the page shows, from view); the
// subnets (Kea's subnet4, netsh's scope) are the bindings' addresses under mask. note: the first comment
// line of every file but Kea's and the CSV (ASCII: what made it, when).
std::vector<ExportFile> ExportFiles(ExportFormat format, const ExportPlan& plan, const CafeView& view,
                                    std::uint32_t mask, std::string_view note);

}  // namespace vexa
