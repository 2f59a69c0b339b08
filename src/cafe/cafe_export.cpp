#include "cafe/cafe_export.h"

#include <map>
#include <set>

#include "cafe/seats.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"

namespace vexa {

namespace {

constexpr std::pair<ExportFormat, std::wstring_view> kFormatNames[] = {
    {ExportFormat::Dnsmasq, L"dnsmasq"}, {ExportFormat::Dhcpd, L"dhcpd"}, {ExportFormat::Kea, L"kea"},
    {ExportFormat::Netsh, L"netsh"},     {ExportFormat::Arp, L"arp"},     {ExportFormat::Csv, L"csv"}};

// Pure ASCII text as bytes: every file but the CSV holds nothing else.
std::string Ascii(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// A hardware address as each program spells it: "00:1a:2b:3c:4d:5e" (sep ':'), "00-1a-..." or "001a2b...".
std::string MacText(const MacAddress& mac, std::string_view separator) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    if (i > 0) out += separator;
    out += kHex[mac[i] >> 4];
    out += kHex[mac[i] & 0xF];
  }
  return out;
}

std::string Ip(std::uint32_t ip) { return Ascii(DottedText(ip)); }

// One number on two cards (the page's conflict), and one IP that the last vouching lines of cards holding
// different numbers name: each said once, its seats left out.
void FindConflicts(const std::map<std::wstring, AddressHistory>& addresses, const CafeView& view, ExportPlan& plan) {
  std::set<int> seats;
  for (const int n : SeatNumbers(view)) {
    if (view.seats[n].claimants.size() < 2) continue;
    plan.conflicts.push_back(L"机号 " + IntText(n) + L" 给了 " + IntText(view.seats[n].claimants.size()) +
                             L" 块网卡: " + JoinWith(view.seats[n].claimants, L", "));
    seats.insert(n);
  }
  std::map<std::wstring, std::vector<std::pair<std::wstring, int>>> byIp;  // ip: address, number
  for (const auto& [address, history] : addresses) {
    if (history.lastVouch == nullptr) continue;
    const RunRecord& r = history.lastVouch->record;
    byIp[r.ipAddress].emplace_back(address, *MachineNumberOf(r.number, kLastZonedMachine));
  }
  for (const auto& [ip, cards] : byIp) {
    std::set<int> numbers;
    for (const auto& card : cards) numbers.insert(card.second);
    if (numbers.size() < 2) continue;
    std::vector<std::wstring> named;
    for (const auto& [address, number] : cards) named.push_back(address + L"(机号 " + IntText(number) + L")");
    plan.conflicts.push_back(L"IP " + ip + L" 写给了 " + IntText(cards.size()) + L" 块网卡: " + JoinWith(named, L", "));
    seats.insert(numbers.begin(), numbers.end());
  }
  plan.conflictSeats.assign(seats.begin(), seats.end());
}

}  // namespace

std::optional<ExportFormat> ExportFormatNamed(std::wstring_view name) {
  for (const auto& [format, text] : kFormatNames) {
    if (SameName(name, text)) return format;
  }
  return std::nullopt;
}

std::wstring ExportFormatNames(std::wstring_view separator, std::wstring_view last) {
  std::wstring out;
  for (std::size_t i = 0; i < std::size(kFormatNames); ++i) {
    if (i > 0) out += i + 1 == std::size(kFormatNames) ? last : separator;
    out += kFormatNames[i].second;
  }
  return out;
}

bool IsDnsLabel(std::wstring_view name) {
  constexpr std::size_t kMaxLabel = 63;
  if (name.empty() || name.size() > kMaxLabel || name.front() == L'-' || name.back() == L'-') return false;
  return std::all_of(name.begin(), name.end(), [](wchar_t c) { return IsDigit(c) || IsAsciiLetter(c) || c == L'-'; });
}

namespace {

// What is wrong with a seat's address in its zone: the zone's subnet is the one the address the tool plans
// for the number lies in, under the zone's mask; in it, the tool's own rules for a machine's address.
std::optional<SeatFault> AddressFaultIn(const IniFile::ZonePlan& zone, int number, const Ipv4& ip, std::uint32_t mask) {
  if (!ip.ok()) return SeatFault::NotAnAddress;
  const Ipv4 planned = ParseIpv4(zone.AddressOf(number));
  if (!planned.ok() || (ip.bits & mask) != (planned.bits & mask)) return SeatFault::OutsideSubnet;
  switch (HostAddressFault(ip.bits, mask)) {
    case AddressFault::Fine: break;
    case AddressFault::NetworkAddress: return SeatFault::NetworkAddress;
    case AddressFault::Broadcast: return SeatFault::Broadcast;
    default: return SeatFault::Reserved;
  }
  const Ipv4 gateway = ParseIpv4(zone.gateway);
  if (gateway.ok() && gateway.bits == ip.bits) return SeatFault::Gateway;
  return std::nullopt;
}

// Host names Windows and a DNS server take for one: each later seat whose name only differs in case from an
// earlier one's.
void FindSameNames(ExportPlan& plan) {
  std::map<std::wstring, int> first;  // folded name: the first seat that has it
  for (const Binding& b : plan.bindings) {
    if (b.hostName.empty()) continue;
    std::wstring folded = b.hostName;  // a DNS label: ASCII
    for (wchar_t& c : folded) c = AsciiUpper(c);
    const auto [at, added] = first.emplace(folded, b.number);
    if (added) continue;
    plan.sameNames.push_back(L"计算机名只有大小写不同: 机号 " + IntText(at->second) + L" 和 " + IntText(b.number) +
                             L"(" + b.hostName + L")");
    plan.sameNameSeats.push_back(b.number);
  }
}

std::wstring Folded(std::wstring name) {
  for (wchar_t& c : name) c = AsciiUpper(c);
  return name;
}

// A name for each seat whose host name is none, as dhcpd needs one for every host: "seat-N", or with a
// suffix that makes it unique when another seat's name is that (compared as the servers compare them:
// without case, across zones), said.
void NameFallbacks(ExportPlan& plan) {
  std::map<std::wstring, int> taken;  // folded name: the seat that has it
  for (const Binding& b : plan.bindings) {
    if (!b.hostName.empty()) taken.emplace(Folded(b.hostName), b.number);
  }
  for (Binding& b : plan.bindings) {
    if (!b.hostName.empty()) continue;
    const std::wstring plain = L"seat-" + IntText(b.number);
    b.fallbackName = plain;
    for (int k = 2; taken.count(Folded(b.fallbackName)) > 0; ++k) b.fallbackName = plain + L"-" + IntText(k);
    if (b.fallbackName != plain) {
      plan.renamed.push_back(L"机号 " + IntText(b.number) + L" 用 " + b.fallbackName + L" 作主机名(" + plain +
                             L" 已是机号 " + IntText(taken.find(Folded(plain))->second) + L" 的计算机名)");
    }
    taken.emplace(Folded(b.fallbackName), b.number);
  }
}

}  // namespace

ExportPlan PlanExport(const CafeView& view) {
  ExportPlan plan;
  const std::map<std::wstring, AddressHistory>& addresses = view.addresses;
  FindConflicts(addresses, view, plan);
  const std::set<int> conflicted(plan.conflictSeats.begin(), plan.conflictSeats.end());
  for (const IniFile::ZonePlan& zone : view.zones) {
    const Ipv4 mask = ParseMask(zone.mask);
    if (!mask.ok()) {
      plan.unplannable.push_back(zone.name);
      continue;
    }
    const Ipv4 gateway = ParseIpv4(zone.gateway);
    for (int n = zone.first; n <= zone.last; ++n) {
      const Seat& seat = view.seats[n];
      if (seat.claimants.size() != 1 || conflicted.count(n) > 0) continue;
      if (seat.state == SeatState::Refused) {
        plan.notWritten.push_back(n);
        continue;
      }
      const RunRecord& r = addresses.find(seat.claimants.front())->second.lastVouch->record;
      const Ipv4 ip = ParseIpv4(r.ipAddress);
      const std::optional<MacAddress> mac = ParseCardAddress(seat.claimants.front());
      if (const std::optional<SeatFault> fault = AddressFaultIn(zone, n, ip, mask.bits)) {
        plan.unusable.push_back({n, r.ipAddress, *fault});
        continue;
      }
      if (!mac) {
        plan.unusable.push_back({n, seat.claimants.front(), SeatFault::NotACard});
        continue;
      }
      Binding binding{n, ip.bits, *mac, r.hostName, mask.bits, gateway.ok() ? gateway.bits : 0};
      if (!IsDnsLabel(r.hostName)) {
        plan.unnamed.push_back(IntText(n) + L"(" + r.hostName + L")");
        binding.hostName.clear();
      }
      plan.bindings.push_back(std::move(binding));
    }
  }
  FindSameNames(plan);
  NameFallbacks(plan);
  return plan;
}

bool NamesMustBeUnique(ExportFormat format) {
  return format == ExportFormat::Dnsmasq || format == ExportFormat::Dhcpd || format == ExportFormat::Kea ||
         format == ExportFormat::Netsh;
}

namespace {

bool LooksLikeLeaseTime(std::wstring_view name) {
  if (!name.empty() && std::wstring_view(L"smhdw").find(name.back()) != std::wstring_view::npos) name.remove_suffix(1);
  return !name.empty() && std::all_of(name.begin(), name.end(), IsDigit);
}

}  // namespace

std::vector<int> LeaseTimeNames(const ExportPlan& plan) {
  std::vector<int> seats;
  for (const Binding& b : plan.bindings) {
    if (LooksLikeLeaseTime(b.hostName)) seats.push_back(b.number);
  }
  return seats;
}

namespace {

std::string Dnsmasq(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const Binding* binding : bindings) {
    const Binding& b = *binding;
    out += "dhcp-host=" + MacText(b.mac, ":") + "," + Ip(b.ip);
    if (!b.hostName.empty() && !LooksLikeLeaseTime(b.hostName)) out += "," + Ascii(b.hostName);
    out += "\n";
  }
  return out;
}

// The bindings grouped by their zone's subnet, in the order of the subnets.
std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<const Binding*>> BySubnet(
    const std::vector<const Binding*>& bindings) {
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<const Binding*>> subnets;  // (network, mask)
  for (const Binding* b : bindings) subnets[{b->ip & b->mask, b->mask}].push_back(b);
  return subnets;
}

// A declaration per subnet with its routers, the hosts inside it; a host needs a name of its own: the
// seat's when the host name cannot be one.
std::string Dhcpd(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const auto& [subnet, hosts] : BySubnet(bindings)) {
    out += "subnet " + Ip(subnet.first) + " netmask " + Ip(subnet.second) + " {\n";
    if (hosts.front()->gateway != 0) out += "  option routers " + Ip(hosts.front()->gateway) + ";\n";
    for (const Binding* b : hosts) {
      const std::string name = Ascii(b->hostName.empty() ? b->fallbackName : b->hostName);
      out += "  host " + name + " {\n    hardware ethernet " + MacText(b->mac, ":") + ";\n    fixed-address " +
             Ip(b->ip) + ";\n  }\n";
    }
    out += "}\n";
  }
  return out;
}

// One subnet4 a subnet, its id the subnet's own address: the same whatever else the log holds, so that a
// re-import keeps Kea's leases (Kea keys them to the id).
std::string Kea(const std::vector<const Binding*>& bindings) {
  std::string out = "{\n  \"Dhcp4\": {\n    \"subnet4\": [";
  bool first = true;
  for (const auto& [subnet, hosts] : BySubnet(bindings)) {
    out += std::string(first ? "" : ",");
    first = false;
    out += "\n      {\n        \"id\": " + std::to_string(subnet.first) + ",\n        \"subnet\": \"" +
           Ascii(SubnetText(subnet.first, subnet.second)) + "\",\n        \"reservations\": [";
    for (std::size_t i = 0; i < hosts.size(); ++i) {
      const Binding& b = *hosts[i];
      out += std::string(i > 0 ? "," : "") + "\n          { \"hw-address\": \"" + MacText(b.mac, ":") +
             "\", \"ip-address\": \"" + Ip(b.ip) + "\"";
      if (!b.hostName.empty()) out += ", \"hostname\": \"" + Ascii(b.hostName) + "\"";
      out += " }";
    }
    out += "\n        ]\n      }";
  }
  return out + (first ? "" : "\n    ") + "]\n  }\n}\n";
}

std::string Netsh(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const Binding* binding : bindings) {
    const Binding& b = *binding;
    out += "netsh dhcp server scope " + Ip(b.ip & b.mask) + " add reservedip " + Ip(b.ip) + " " + MacText(b.mac, "");
    if (!b.hostName.empty()) out += " " + Ascii(b.hostName);
    out += "\r\n";
  }
  return out;
}

// Static neighbours on a Windows server: the interface's name is the batch file's first parameter; an
// entry already there is removed first, so the file can be run again.
std::string ArpBatch(const std::vector<const Binding*>& bindings) {
  std::string out = "if \"%~1\"==\"\" (\r\n  echo Usage: %~nx0 \"interface name\"\r\n  exit /b 1\r\n)\r\n";
  for (const Binding* binding : bindings) {
    const Binding& b = *binding;
    out += "netsh interface ipv4 delete neighbors \"%~1\" " + Ip(b.ip) + " >nul 2>&1\r\n";
    out += "netsh interface ipv4 add neighbors \"%~1\" " + Ip(b.ip) + " " + MacText(b.mac, "-") + "\r\n";
  }
  return out;
}

std::string ArpScript(const std::vector<const Binding*>& bindings) {
  std::string out = "set -e\nif [ -z \"$1\" ]; then echo \"usage: $0 DEVICE\" >&2; exit 1; fi\n";
  for (const Binding* binding : bindings) {
    const Binding& b = *binding;
    out += "ip neigh replace " + Ip(b.ip) + " lladdr " + MacText(b.mac, ":") + " dev \"$1\" nud permanent\n";
  }
  return out;
}

// A CSV field: quoted when it holds a comma, a quote or a line end; one that Excel would take as a formula
// (= + - @ first) is kept as text by a leading apostrophe.
std::wstring CsvField(std::wstring_view text) {
  std::wstring field(text);
  if (!field.empty() && std::wstring_view(L"=+-@").find(field.front()) != std::wstring_view::npos) {
    field.insert(0, 1, L'\'');
  }
  if (field.find_first_of(L",\"\r\n") == std::wstring::npos) return field;
  std::wstring quoted = L"\"";
  for (wchar_t c : field) quoted += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
  return quoted + L"\"";
}

std::string Csv(const CafeView& view) {
  std::wstring out = L"number,ip,mac,hostname,last_run,state\r\n";
  for (const int n : SeatNumbers(view)) {
    const Seat& seat = view.seats[n];
    if (seat.state == SeatState::Unseen) continue;
    const RunRecord* r = seat.last != nullptr ? &seat.last->record : nullptr;
    const std::wstring mac = !seat.claimants.empty() ? JoinWith(seat.claimants, L" ")
                             : r != nullptr          ? r->address
                                                     : seat.listed;
    const std::wstring fields[] = {IntText(n),
                                   r != nullptr ? r->ipAddress : L"",
                                   mac,
                                   r != nullptr ? r->hostName : L"",
                                   r != nullptr ? LogStamp(seat.last->time) : L"",
                                   std::wstring(StateWord(seat.state))};
    std::vector<std::wstring> cells;
    for (const std::wstring& f : fields) cells.push_back(CsvField(f));
    out += JoinWith(cells, L",") + L"\r\n";
  }
  return std::string(kUtf8Mark) + ToUtf8(out);
}

}  // namespace

std::vector<ExportFile> ExportFiles(ExportFormat format, const ExportPlan& plan, const CafeView& view,
                                    std::string_view note) {
  const std::set<int> later(plan.sameNameSeats.begin(), plan.sameNameSeats.end());
  std::vector<const Binding*> bindings;
  for (const Binding& b : plan.bindings) {
    if (!NamesMustBeUnique(format) || later.count(b.number) == 0) bindings.push_back(&b);
  }
  const std::string hash = "# " + std::string(note) + "\n";
  const std::string rem = "@echo off\r\nrem " + std::string(note) + "\r\n";
  switch (format) {
    case ExportFormat::Dnsmasq: return {{"VexaIpSet-dnsmasq.conf", hash + Dnsmasq(bindings)}};
    case ExportFormat::Dhcpd: return {{"VexaIpSet-dhcpd.conf", hash + Dhcpd(bindings)}};
    case ExportFormat::Kea: return {{"VexaIpSet-kea.json", Kea(bindings)}};
    case ExportFormat::Netsh: return {{"VexaIpSet-netsh.bat", rem + Netsh(bindings)}};
    case ExportFormat::Arp:
      return {{"VexaIpSet-arp.bat", rem + ArpBatch(bindings)},
              {"VexaIpSet-arp.sh", "#!/bin/sh\n" + hash + ArpScript(bindings)}};
    case ExportFormat::Csv: return {{"VexaIpSet-csv.csv", Csv(view)}};
  }
  return {};
}

}  // namespace vexa
