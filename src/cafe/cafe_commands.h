// /table, /report and /export: the cafe as the shared log shows it, on the console and as a page. A log that cannot
// be read whole is said, never turned into an empty table.
#pragma once

#include <string>

#include "cafe/cafe_export.h"
#include "config/venue.h"
#include "platform/platform.h"

namespace vexa {

struct CafeOutput {
  std::wstring text;  // for the console, lines joined by CR LF
  int exitCode = 0;
};

// Each reads config.ini as a run does (IniFile::Venue); one that cannot be used stops it (exit 2).
// The [Machines] section the log vouches for (cafe/log_table.h).
CafeOutput TableCommand(Platform& platform, const IniFile::Venue& venue);

// Both read the log where config.ini puts it (log/run_log.h).
// Writes VexaIpSet.html beside the log (cafe/cafe_page.h): to a new file in that folder, then renamed over
// the old page; a page name that is a link of any kind is not written. Says the page's path and the counts.
CafeOutput ReportCommand(Platform& platform, const IniFile::Venue& venue);

// Writes the format's files beside the log (cafe/cafe_export.h) as the page is written, and says their
// paths, the count and the seats left out. One number or one IP on two cards stops the DHCP and ARP
// formats (exit 2, nothing written) unless force, which leaves those seats out; the CSV shows them.
CafeOutput ExportCommand(Platform& platform, const IniFile::Venue& venue, ExportFormat format, bool force);

}  // namespace vexa
