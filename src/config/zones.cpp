#include "config/zones.h"

#include <algorithm>
#include <optional>

#include "common/decimal.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"

namespace vexa::IniFile {

namespace {

// "first-last" as [Zones] writes a range: digits, '-', digits.
bool ReadRange(std::wstring_view text, int& first, int& last) {
  const std::size_t dash = text.find(L'-');
  if (dash == std::wstring_view::npos) return false;
  const std::optional<int> a = MachineNumberOf(text.substr(0, dash), kLastZonedMachine);
  const std::optional<int> b = MachineNumberOf(text.substr(dash + 1), kLastZonedMachine);
  if (!a || !b) return false;
  first = *a;
  last = *b;
  return first <= last;
}

bool IsToolSection(std::wstring_view name) {
  for (std::wstring_view own : {kNetWork, kMachines, kLogSection, kCsCdk, kZones, kWakeSection}) {
    if (SameName(name, own)) return true;
  }
  return false;
}

std::wstring ZoneProblem(TextCodec& text, const Zones& zones, const ConfigFile& config, const Zone& zone,
                         std::wstring_view range) {
  const std::wstring quoted = L"区 " + zone.name;
  if (IsToolSection(zone.name)) return quoted + L" 的名字和本程序读的节同名,请换一个名字。";
  // Windows' ANSI reader would look for [?tage] and never find the zone's own values.
  if (const std::optional<std::size_t> at = text.FirstUnmappable(zone.name)) {
    return quoted + L" 的名字含有 Windows(代码页 936)无法表示的字符" + UnmappableName(zone.name, *at) +
           L",读不到它的 [" + zone.name + L"] 节,请换一个名字。";
  }
  if (zone.first == 0) {
    return quoted + L"=" + std::wstring(range) + L" 不是\"起始机号-结束机号\"(1-" + IntText(kLastZonedMachine) +
           L" 的数字,起始不大于结束)。";
  }
  for (const Zone& other : zones.list) {
    if (&other == &zone) break;
    if (SameName(other.name, zone.name)) return quoted + L" 写了两次。";
    if (other.first <= zone.last && zone.first <= other.last) {
      return quoted + L"(" + IntText(zone.first) + L"-" + IntText(zone.last) + L")和区 " + other.name + L"(" +
             IntText(other.first) + L"-" + IntText(other.last) + L")有重叠的机号。";
    }
  }
  if (!config.SectionText(zone.name)) return quoted + L" 没有自己的 [" + zone.name + L"] 节。";
  return L"";
}

// A number as the zone checks name it: "区 A 的机号 1".
std::wstring SeatName(const ZonePlan& plan, int number) { return L"区 " + plan.name + L" 的机号 " + IntText(number); }

std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text) c = AsciiUpper(c);
  return text;
}

// Two numbers of two zones (a, b: indexes into plans) that plan one host name: prefix + number, compared as
// Windows compares names. With one prefix the zones' numbers differ; otherwise the longer prefix must be the
// shorter one and digits that begin the other number ("F1" + "10" and "F" + "110"). The first such number
// of a, and b's, or none.
std::optional<std::pair<int, int>> NameTwice(const ZonePlan& a, const ZonePlan& b) {
  const std::wstring pa = Folded(a.prefix);
  const std::wstring pb = Folded(b.prefix);
  if (pa == pb) return std::nullopt;
  const bool aLonger = pa.size() > pb.size();
  const std::wstring& longer = aLonger ? pa : pb;
  const std::wstring& shorter = aLonger ? pb : pa;
  if (longer.compare(0, shorter.size(), shorter) != 0) return std::nullopt;
  const std::wstring digits = longer.substr(shorter.size());  // begins the other number, which has no leading 0
  if (digits.size() > 4 || digits.front() == L'0' || !std::all_of(digits.begin(), digits.end(), IsDigit))
    return std::nullopt;
  const ZonePlan& shorterPlan = aLonger ? b : a;
  const ZonePlan& longerPlan = aLonger ? a : b;
  for (int n = longerPlan.first; n <= longerPlan.last; ++n) {
    const std::optional<int> other = MachineNumberOf(digits + IntText(n), kLastZonedMachine);
    if (!other || *other < shorterPlan.first || *other > shorterPlan.last) continue;
    return aLonger ? std::make_pair(n, *other) : std::make_pair(*other, n);
  }
  return std::nullopt;
}

// Two numbers whose planned address, or host name as Windows compares it, is one: what is wrong, naming both
// zones and what they share. A number whose address is none plans no address (its refusal is its own).
std::wstring TwiceProblem(const std::vector<ZonePlan>& plans) {
  // Each planned address with its zone and number, packed to sort: address, zone, number.
  std::vector<std::uint64_t> planned;
  for (std::size_t zone = 0; zone < plans.size(); ++zone) {
    for (int n = plans[zone].first; n <= plans[zone].last; ++n) {
      const Ipv4 ip = ParseIpv4(plans[zone].AddressOf(n));
      if (ip.ok()) planned.push_back(std::uint64_t{ip.bits} << 32 | std::uint64_t{zone} << 16 | unsigned(n));
    }
  }
  std::sort(planned.begin(), planned.end());
  for (std::size_t i = 1; i < planned.size(); ++i) {
    if (planned[i] >> 32 != planned[i - 1] >> 32) continue;
    const auto seat = [&plans](std::uint64_t p) { return SeatName(plans[(p >> 16) & 0xFFFF], int(p & 0xFFFF)); };
    return seat(planned[i - 1]) + L" 和" + seat(planned[i]) + L" 都会得到 IP 地址 " +
           DottedText(static_cast<std::uint32_t>(planned[i] >> 32)) + L",请修改其中一个区的 IP 或 IPOffset。";
  }
  for (std::size_t b = 0; b < plans.size(); ++b) {
    for (std::size_t a = 0; a < b; ++a) {
      const std::optional<std::pair<int, int>> same = NameTwice(plans[a], plans[b]);
      if (!same) continue;
      return SeatName(plans[a], same->first) + L" 和" + SeatName(plans[b], same->second) + L" 都会得到计算机名 " +
             plans[b].HostNameOf(same->second) + L",请修改其中一个区的 NetPrefix。";
    }
  }
  return L"";
}

// Two zones whose subnets overlap under two masks: a DHCP server takes no such pair, and the machines of
// one would reach the other's directly or not at all.
std::wstring NetworkProblem(const std::vector<ZonePlan>& plans) {
  for (std::size_t i = 0; i < plans.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const ZonePlan& a = plans[j];
      const ZonePlan& b = plans[i];
      const Ipv4 maskA = ParseMask(a.mask);
      const Ipv4 maskB = ParseMask(b.mask);
      const Ipv4 ipA = ParseIpv4(a.AddressOf(a.first));
      const Ipv4 ipB = ParseIpv4(b.AddressOf(b.first));
      if (!maskA.ok() || !maskB.ok() || !ipA.ok() || !ipB.ok() || maskA.bits == maskB.bits) continue;
      const std::uint32_t common = maskA.bits & maskB.bits;
      if ((ipA.bits & common) != (ipB.bits & common)) continue;
      return L"区 " + a.name + L"(" + SubnetText(ipA.bits, maskA.bits) + L")和区 " + b.name + L"(" +
             SubnetText(ipB.bits, maskB.bits) + L")是同一个网络,掩码却不同,请把两个区的 Mask 改成一样。";
    }
  }
  return L"";
}

ZonePlan PlanOfZone(Platform& platform, const ConfigFile& config, const Zone* zone) {
  ZonePlan plan;
  plan.name = zone != nullptr ? zone->name : L"";
  plan.first = zone != nullptr ? zone->first : kFirstMachine;
  plan.last = zone != nullptr ? zone->last : kLastMachine;
  if (zone != nullptr) plan.keys = zone->keys;
  auto read = [&](const KeyDefault& key) {
    IniValue value = ReadZoneValue(platform, config, zone, key);
    if (value.cut && plan.cutKey.empty()) plan.cutKey = key.key;
    return std::move(value.text);
  };
  plan.ipOffset = read(kIpOffset);
  plan.ip = read(kIp);
  plan.mask = read(kMask);
  plan.gateway = read(kGateWay);
  plan.dns = read(kDns);
  plan.prefix = read(kNetPrefix);
  return plan;
}

}  // namespace

const Zone* Zones::Holding(int number) const {
  for (const Zone& zone : list) {
    if (zone.Holds(number)) return &zone;
  }
  return nullptr;
}

const ZonePlan* Zones::PlanOf(int number) const {
  for (const ZonePlan& plan : plans) {
    if (number >= plan.first && number <= plan.last) return &plan;
  }
  return nullptr;
}

bool Zones::Allows(int number) const {
  if (!declared) return number >= kFirstMachine && number <= kLastMachine;
  return Holding(number) != nullptr;
}

std::wstring Zones::RangeText() const {
  if (!declared) return MachineRangeText();
  std::vector<std::wstring> parts;
  for (const Zone& zone : list) {
    parts.push_back(IntText(zone.first) + L"-" + IntText(zone.last) + L"(" + zone.name + L")");
  }
  return JoinWith(parts, L"、");
}

Zones ReadZones(Platform& platform, const ConfigFile& config) {
  Zones zones;
  const std::optional<std::wstring> text = config.SectionText(kZones);
  if (!text) {
    zones.plans.push_back(PlanOfZone(platform, config, nullptr));
    return zones;
  }
  zones.declared = true;
  const IniLines lines = ParseIniLines(*text);
  if (!lines.unparsed.empty()) {
    zones.problem = L"[Zones] 中这一行不是\"区名=起始机号-结束机号\": " + std::wstring(lines.unparsed.front());
    return zones;
  }
  for (const auto& [name, range] : lines.entries) {
    Zone zone{std::wstring(name), 0, 0, {}};
    if (!ReadRange(range, zone.first, zone.last)) zone.first = zone.last = 0;
    if (const std::optional<std::wstring> section = config.SectionText(zone.name)) {
      for (const auto& [key, value] : ParseIniLines(*section).entries) zone.keys.emplace_back(key);
    }
    zones.list.push_back(std::move(zone));
    zones.problem = ZoneProblem(platform.text, zones, config, zones.list.back(), range);
    if (!zones.problem.empty()) return zones;
  }
  if (zones.list.empty()) {
    zones.problem = L"[Zones] 中没有区。";
    return zones;
  }
  for (const Zone& zone : zones.list) zones.plans.push_back(PlanOfZone(platform, config, &zone));
  zones.problem = TwiceProblem(zones.plans);
  if (zones.problem.empty()) zones.problem = NetworkProblem(zones.plans);
  return zones;
}

std::wstring PlannedAddress(std::wstring_view prefix, std::wstring_view offset, int number) {
  const std::optional<double> value = StrictDecimal(offset);
  return std::wstring(prefix) + L"." + (value ? DecimalText(*value + number) : L"");
}

IniValue ReadZoneValue(Platform& platform, const ConfigFile& config, const Zone* zone, const KeyDefault& key) {
  bool own = false;
  if (zone != nullptr) {
    for (const std::wstring& set : zone->keys) own = own || SameName(set, key.key);
  }
  return ReadIniValue(platform, config.ReadPath(), own ? std::wstring_view(zone->name) : kNetWork, key.key,
                      key.fallback);
}

}  // namespace vexa::IniFile
