// The shared log read back: whatever a shared folder holds, a defined reading; a line that parses is written
// again as the same line, and a line that vouches names a machine number 1-254 from a run other than /check.
#include <cstdlib>

#include "cafe/cafe_page.h"
#include "cafe/log_table.h"
#include "common/machine_number.h"
#include "config/config_file.h"
#include "log/run_log.h"
#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexa::sim::SimPlatform sim;
  vexa::Platform platform = sim.platform();
  sim.files.Put(sim.system.moduleDirectory + "\\VexaIpSet.log", std::string(reinterpret_cast<const char*>(data), size));
  const vexa::IniFile::ConfigFile config = vexa::IniFile::ConfigFile::Open(platform);
  const vexa::RunLog log = vexa::ReadRunLog(platform, vexa::PlaceOfLog(platform, config));
  for (const vexa::LogEntry& entry : log.entries) {
    const std::wstring line = vexa::LogLine(entry.time, entry.record);
    const vexa::LogEntry again = vexa::ParseLogLine(line, true);
    if (again.fault != vexa::LogEntry::Fault::None || vexa::LogLine(again.time, again.record) != line) std::abort();
    if (entry.Vouches() && (!vexa::MachineNumberOf(entry.record.number, vexa::kLastZonedMachine) ||
                            entry.record.mode == vexa::RunMode::Check)) {
      std::abort();
    }
  }
  const vexa::IniFile::Zones zones = vexa::IniFile::ReadZones(platform, config);
  vexa::TableFromLog(log, zones);
  vexa::CafePage({}, vexa::ViewOfCafe(log, vexa::IniFile::ReadMachineTable(config), zones));
  return 0;
}
