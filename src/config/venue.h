// config.ini as one run reads it, once: the file, its zones with every number planned, and what makes it
// unusable. What a person can write is read one way or refused: a header Windows' readers could read as two
// names, or a [Zones] that cannot be used, stops every run, view and export before anything is written.
#pragma once

#include <cstdint>
#include <string>

#include "config/config_file.h"
#include "config/zones.h"
#include "platform/platform.h"

namespace vexa::IniFile {

// [Identity] MachineGuid=: when a run gives the machine a new MachineGuid. Twins (not written): when the
// log shows another machine with this one's (a clone of one image); New ("new"): on every machine's first
// write; Keep ("keep"): never.
enum class GuidRenewal { Twins, New, Keep };

// [Startup] WaitSeconds=: how long the start-up run waits for a card [Machines] names to appear (the
// network driver lists the cards some seconds into the boot); 0 to kLongestStartupWait.
inline constexpr std::uint32_t kStartupWaitSeconds = 120;
inline constexpr std::uint32_t kLongestStartupWait = 600;

struct Venue {
  ConfigFile file;
  Zones zones;  // checked whole; without [Zones], [NetWork]'s one plan of 1 to 254
  GuidRenewal guidRenewal = GuidRenewal::Twins;
  std::uint32_t startupWaitSeconds = kStartupWaitSeconds;
  // What is wrong, in lines: the headline, then the line or zone and why; empty when config.ini can be used.
  std::wstring problem;
  bool Ok() const { return problem.empty(); }
};

// Opens config.ini (ConfigFile::Open) and reads its zones, unless a header already makes it unusable.
Venue ReadVenue(Platform& platform);

}  // namespace vexa::IniFile
