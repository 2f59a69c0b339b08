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
    {ExportFormat::Dnsmasq, L"dnsmasq"},
    {ExportFormat::Dhcpd, L"dhcpd"},
    {ExportFormat::DhcpdHosts, L"dhcpd-hosts"},
    {ExportFormat::Kea, L"kea"},
    {ExportFormat::KeaReservations, L"kea-reservations"},
    {ExportFormat::Netsh, L"netsh"},
    {ExportFormat::Arp, L"arp"},
    {ExportFormat::Csv, L"csv"}};

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

std::wstring_view ExportFormatName(ExportFormat format) {
  for (const auto& [known, text] : kFormatNames) {
    if (known == format) return text;
  }
  return L"";
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

bool NamesMustBeUnique(ExportFormat format) { return format != ExportFormat::Arp && format != ExportFormat::Csv; }

bool LooksLikeLeaseTime(std::wstring_view name) {
  if (!name.empty() && std::wstring_view(L"smhdw").find(name.back()) != std::wstring_view::npos) name.remove_suffix(1);
  return !name.empty() && std::all_of(name.begin(), name.end(), IsDigit);
}

std::vector<int> LeaseTimeNames(const ExportPlan& plan) {
  std::vector<int> seats;
  for (const Binding& b : plan.bindings) {
    if (LooksLikeLeaseTime(b.hostName)) seats.push_back(b.number);
  }
  return seats;
}

namespace {

// Why no machine could use a seat's binding: the column that is wrong, its value, the rule.
std::wstring UnusableReason(const LeftSeat& seat) {
  const std::wstring ip = L"IP 地址 " + seat.value;
  switch (seat.fault) {
    case SeatFault::NotAnAddress: return L"日志中的 " + ip + L" 不是有效的地址";
    case SeatFault::OutsideSubnet: return ip + L" 不在这个机号按 config.ini 应在的子网中";
    case SeatFault::NetworkAddress: return ip + L" 是子网的网络地址";
    case SeatFault::Broadcast: return ip + L" 是子网的广播地址";
    case SeatFault::Gateway: return ip + L" 是网关的地址";
    case SeatFault::Reserved: return ip + L" 不能给计算机用(0.0.0.0/8、127.0.0.0/8 或 224.0.0.0 及以上)";
    case SeatFault::NotACard: break;
  }
  return L"网卡地址 " + seat.value + L" 不是网卡的地址(组播、广播或全 0)";
}

}  // namespace

std::vector<LeftOutSeat> SeatsLeftOut(const ExportPlan& plan, const CafeView& view, ExportFormat format) {
  const std::wstring notWritten = L"最后一次运行被拒绝或没有全部写入";
  if (format == ExportFormat::Csv) return {};  // every seat the page shows, conflicts as a state
  std::map<int, std::wstring> why;
  for (const int n : plan.conflictSeats) why.emplace(n, L"冲突,一个机号或一个 IP 给了两块网卡(见上)");
  for (const int n : plan.notWritten) why.emplace(n, notWritten);
  for (const LeftSeat& seat : plan.unusable) why.emplace(seat.number, UnusableReason(seat));
  for (std::size_t i = 0; i < plan.sameNameSeats.size() && NamesMustBeUnique(format); ++i) {
    why.emplace(plan.sameNameSeats[i], plan.sameNames[i]);
  }
  std::set<int> bound;
  for (const Binding& b : plan.bindings) bound.insert(b.number);
  std::vector<LeftOutSeat> left;
  for (const IniFile::ZonePlan& zone : view.zones) {
    if (!ParseMask(zone.mask).ok()) continue;  // no subnet: the export stops, naming the zone
    for (int n = zone.first; n <= zone.last; ++n) {
      const SeatState state = view.seats[n].state;
      if (const auto found = why.find(n); found != why.end()) {
        left.push_back({n, found->second});
      } else if (bound.count(n) == 0 && state != SeatState::Unseen) {
        left.push_back({n, state == SeatState::Refused ? notWritten : std::wstring(StateWord(state))});
      }
    }
  }
  return left;
}

}  // namespace vexa
