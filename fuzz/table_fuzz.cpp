// The [Machines] table as the tool reads it from its one read of config.ini, against the simulated
// reader's value of each key: the same value for every line the reader would find first, on any file.
#include <cstdlib>
#include <cwctype>
#include <set>
#include <string>

#include "config/config_file.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "platform/sim/sim_platform.h"

namespace {

std::wstring Folded(std::wstring_view name) {
  std::wstring out(name);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vexa::sim::SimPlatform sim;
  vexa::Platform platform = sim.platform();
  sim.PutConfigBytes("[Machines]\r\n" + std::string(reinterpret_cast<const char*>(data), size));
  const vexa::IniFile::ConfigFile config = vexa::IniFile::ConfigFile::Open(platform);
  const vexa::IniFile::MachineTable table = vexa::IniFile::ReadMachineTable(config);
  if (table.duplicates.size() > table.entries.size()) std::abort();
  if (config.ReadPath() != vexa::IniFile::ConfigPath(platform))
    return 0;  // a copy leaves the table out: the reader has no table to compare with
  const vexa::IniFile::IniLines lines = vexa::IniFile::ParseIniLines(config.MachinesText());
  std::set<std::wstring> seen;  // names taken: every line without '=' (hiding a later key), each earlier line
  for (std::wstring_view bare : lines.unparsed) seen.insert(Folded(bare.substr(0, bare.find(L'\0'))));
  for (const auto& [key, value] : lines.entries) {
    const std::wstring name(key);
    const bool first = seen.insert(Folded(name)).second;
    // A name the reader can be asked for: it loses blanks around the asked name, and holds GBK only.
    const bool asked = !name.empty() && name.front() != L' ' && name.back() != L' ' &&
                       sim.text.FromAnsi(sim.text.ToAnsi(name)) == name;
    const std::wstring expected = sim.text.FromAnsi(sim.text.ToAnsi(value));
    if (!first || !asked || sim.text.ToAnsi(value).size() > 253 || expected.find(L'?') != std::wstring::npos) continue;
    const std::wstring read = vexa::IniFile::ReadIniString(platform, config.ReadPath(), L"Machines", name, L"\x1F");
    if (read != expected) std::abort();
  }
  return 0;
}
