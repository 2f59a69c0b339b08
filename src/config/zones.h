// A venue of any size: config.ini's optional [Zones] ("区名=起始机号-结束机号"), each zone's values in a
// section named after it ([一楼]) with the keys of [NetWork], a key the zone does not set taken from
// [NetWork]. A number belongs to the one zone that holds it. Without [Zones] the cafe is numbers 1 to 254
// with [NetWork]'s values, as it always was. Reading the zones plans every number of every zone, once: two
// numbers that would get one address or one host name, or one network with two masks, make [Zones] unusable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "config/config_file.h"
#include "config/ini_file.h"
#include "platform/platform.h"

namespace vexa::IniFile {

inline constexpr std::wstring_view kZones = L"Zones";

struct Zone {
  std::wstring name;  // as written; its values' section
  int first = 0;
  int last = 0;
  std::vector<std::wstring> keys;  // the keys its section sets
  bool Holds(int number) const { return number >= first && number <= last; }
};

// The address a number gets: the IP prefix, '.', IPOffset + the number printed as BASIC prints it; the last
// part empty when IPOffset is no number (a refusal's concern, not this one's).
std::wstring PlannedAddress(std::wstring_view prefix, std::wstring_view offset, int number);

// What the cafe's views and the whole check need of a zone: its numbers and its plan. Without zones, one
// plan: the numbers 1 to 254 with [NetWork]'s values.
struct ZonePlan {
  std::wstring name;  // "" without zones
  int first = 0;
  int last = 0;
  // [NetWork]'s keys as a number of the zone reads them, in the order they are read.
  std::wstring ipOffset, ip, mask, gateway, dns, prefix;
  std::wstring cutKey;             // the first key whose value filled the reader's buffer: the file's was longer
  std::vector<std::wstring> keys;  // the keys the zone's own section sets; the rest are [NetWork]'s
  std::wstring AddressOf(int number) const { return PlannedAddress(ip, ipOffset, number); }
  std::wstring HostNameOf(int number) const { return prefix + IntText(number); }
};

struct Zones {
  bool declared = false;        // config.ini has [Zones]
  std::vector<Zone> list;       // in the order [Zones] gives them
  std::vector<ZonePlan> plans;  // one a zone, in that order; without zones the one plan of 1 to 254
  std::wstring problem;         // what is wrong with [Zones], naming the zone; empty when nothing is
  bool Ok() const { return problem.empty(); }
  // The zone that holds number; nullptr without zones or when none does.
  const Zone* Holding(int number) const;
  // The plan a number is derived from: its zone's, or without zones [NetWork]'s; nullptr when no machine
  // may have number.
  const ZonePlan* PlanOf(int number) const;
  // Whether a machine may have number: 1 to 254 without zones, else one zone holds it.
  bool Allows(int number) const;
  // The numbers a machine may have, as the texts that ask for one say it: "1-254", or the zones'
  // "1-200(一楼)、201-400(二楼)".
  std::wstring RangeText() const;
};

// [Zones] as config.ini holds it, checked: each line "name=first-last" with 1 <= first <= last <= 9999, no
// two zones sharing a number or a name, every zone with its section, none named like a section the tool
// reads itself ([NetWork], [Machines], [Log], [CSCDK], [Zones]) or with a character code page 936 lacks
// (Windows' ANSI reader would never find its section); then every number of every zone planned: no address
// or host name (case folded) twice, no network with two masks.
Zones ReadZones(Platform& platform, const ConfigFile& config);

// A [NetWork] key's value for a number in zone (nullptr: no zones): the zone's own when its section sets
// the key, else [NetWork]'s, else the key's default.
IniValue ReadZoneValue(Platform& platform, const ConfigFile& config, const Zone* zone, const KeyDefault& key);

}  // namespace vexa::IniFile
