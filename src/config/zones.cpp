#include "config/zones.h"

#include "common/decimal.h"
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
  for (std::wstring_view own : {kNetWork, kMachines, kLogSection, kCsCdk, kZones}) {
    if (SameName(name, own)) return true;
  }
  return false;
}

std::wstring ZoneProblem(const Zones& zones, const ConfigFile& config, const Zone& zone, std::wstring_view range) {
  const std::wstring quoted = L"区 " + zone.name;
  if (IsToolSection(zone.name)) return quoted + L" 的名字和本程序读的节同名,请换一个名字。";
  if (zone.first == 0) {
    return quoted + L"=" + std::wstring(range) + L" 不是\"起始机号-结束机号\"(1-" + std::to_wstring(kLastZonedMachine) +
           L" 的数字,起始不大于结束)。";
  }
  for (const Zone& other : zones.list) {
    if (&other == &zone) break;
    if (SameName(other.name, zone.name)) return quoted + L" 写了两次。";
    if (other.first <= zone.last && zone.first <= other.last) {
      return quoted + L"(" + std::to_wstring(zone.first) + L"-" + std::to_wstring(zone.last) + L")和区 " + other.name +
             L"(" + std::to_wstring(other.first) + L"-" + std::to_wstring(other.last) + L")有重叠的机号。";
    }
  }
  if (!config.SectionText(zone.name)) return quoted + L" 没有自己的 [" + zone.name + L"] 节。";
  return L"";
}

}  // namespace

const Zone* Zones::Holding(int number) const {
  for (const Zone& zone : list) {
    if (zone.Holds(number)) return &zone;
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
    parts.push_back(std::to_wstring(zone.first) + L"-" + std::to_wstring(zone.last) + L"(" + zone.name + L")");
  }
  return JoinWith(parts, L"、");
}

Zones ReadZones(Platform&, const ConfigFile& config) {
  Zones zones;
  const std::optional<std::wstring> text = config.SectionText(kZones);
  if (!text) return zones;
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
    zones.problem = ZoneProblem(zones, config, zones.list.back(), range);
    if (!zones.problem.empty()) return zones;
  }
  if (zones.list.empty()) zones.problem = L"[Zones] 中没有区。";
  return zones;
}

std::wstring PlannedAddress(std::wstring_view prefix, std::wstring_view offset, int number) {
  const std::optional<double> value = StrictDecimal(offset);
  return std::wstring(prefix) + L"." + (value ? DecimalText(*value + number) : L"");
}

std::vector<ZonePlan> ReadZonePlans(Platform& platform, const ConfigFile& config, const Zones& zones) {
  auto planOf = [&](const Zone* zone) {
    ZonePlan plan{zone != nullptr ? zone->name : L"",
                  zone != nullptr ? zone->first : kFirstMachine,
                  zone != nullptr ? zone->last : kLastMachine,
                  {},
                  {},
                  {},
                  {}};
    plan.ip = ReadZoneValue(platform, config, zone, kIp).text;
    plan.ipOffset = ReadZoneValue(platform, config, zone, kIpOffset).text;
    plan.mask = ReadZoneValue(platform, config, zone, kMask).text;
    plan.gateway = ReadZoneValue(platform, config, zone, kGateWay).text;
    return plan;
  };
  std::vector<ZonePlan> plans;
  if (!zones.declared) plans.push_back(planOf(nullptr));
  for (const Zone& zone : zones.list) plans.push_back(planOf(&zone));
  return plans;
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
