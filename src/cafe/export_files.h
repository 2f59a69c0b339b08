// The files of /export: each binding of an export's plan in the form a DHCP server or router reads, under a
// head of comments the program ignores (what made the file and when, how it is used, the seats left out
// and why).
#pragma once

#include <string>
#include <vector>

#include "cafe/cafe_export.h"
#include "platform/platform.h"

namespace vexa {

struct ExportFile {
  std::string name;   // "VexaIpSet-dnsmasq.conf"
  std::string bytes;  // as the program reads it: UTF-8 (LF), batch files in code page 936 (CR LF), the CSV in
                      // UTF-8 with a BOM
};

// The files of a format: each binding of the plan (the CSV: every seat the page shows, from view), grouped
// by its zone's subnet where a server reads subnets (dhcpd's subnet declarations with their routers, Kea's
// subnet4 with an id the subnet itself gives, netsh's scopes); the second and later of names that differ
// only in case left out where NamesMustBeUnique. note: the first comment line (what made it, when); left:
// the seats left out, each a comment line of the head. The CSV has no head: a comment would be a row.
std::vector<ExportFile> ExportFiles(ExportFormat format, const ExportPlan& plan, const CafeView& view,
                                    const std::wstring& note, const std::vector<LeftOutSeat>& left, TextCodec& text);

}  // namespace vexa
