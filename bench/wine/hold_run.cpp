// One run without a window, as VexaIpSet.exe makes it from its command line, on the real platform with the
// log's lock timed from the moment it is taken to the moment it is let go. The run is for the bench card,
// live with a hardware address made from the number (00-1A-2B-3C-HH-LL: a machine of its own), so the
// guard reads the log as a cafe's machine does.
// Usage: hold_run RESULT /n N /card 2 /noreboot. Writes each hold to RESULT, one a line: how long, when it
// was taken and when let go, in microseconds of the machine's one clock; returns the tool's exit code.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/unattended.h"
#include "platform/win32/win32_platform.h"
#include "timed_platform.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 1;
  std::wstring arguments;
  for (int i = 2; i < argc; ++i) arguments += std::wstring(i > 2 ? L" " : L"") + argv[i];
  const vexa::CommandLine command = vexa::ParseCommandLine(arguments);
  const unsigned number = static_cast<unsigned>(std::wcstoul(command.number.c_str(), nullptr, 10));
  const char mac[6] = {0x00, 0x1A, 0x2B, 0x3C, static_cast<char>(number >> 8), static_cast<char>(number & 0xFF)};

  vexa::win32::Win32Platform real;
  bench::Tallies tallies;
  bench::TimedFiles files(real.files, tallies);
  bench::KnownCard card(real.adapters, std::string(mac, 6));
  vexa::Platform platform{real.registry, real.profile, real.messages, real.restart, real.system,  real.text,
                          files,         card,         real.console,  real.network, real.services};
  const int code = vexa::RunUnattended(platform, command);

  FILE* result = ::_wfopen(argv[1], L"w");
  if (result == nullptr) return 1;
  const bench::Clock clock;
  for (const bench::TimedFiles::Hold& hold : files.holds) {
    std::fprintf(result, "%.0f %.0f %.0f\n", clock.Microseconds(hold.letGo - hold.taken),
                 clock.Microseconds(hold.taken), clock.Microseconds(hold.letGo));
  }
  std::fclose(result);
  return code;
}
