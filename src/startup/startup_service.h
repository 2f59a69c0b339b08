// /install and /uninstall: the start-up run as a service of the tool's own, the Windows way to run before
// anyone logs on and elevated. The service runs as LocalSystem, so it runs only files that administrators
// alone can change: /install copies VexaIpSet.exe and config.ini into a folder of their own under Program
// Files (which Windows lets users read and only administrators and SYSTEM write) and registers that copy,
// never the file it was started from (a share, a public folder). The service starts with Windows after
// TCP/IP, waits for its card, runs /auto (with /force when /install was given it) and stops. Each change
// has its line in the log.
#pragma once

#include <string_view>

#include "cafe/cafe_commands.h"
#include "platform/platform.h"

namespace vexa {

inline constexpr std::string_view kServiceName = "VexaIpSet";
// The service starts after this one: the TCP/IP driver.
inline constexpr std::string_view kServiceDependsOn = "Tcpip";

// The copy made (or refreshed) and the service registered on it (or changed, when it exists: never two);
// exit 0, or 2 with the reason, nothing registered when the copy could not be made.
CafeOutput InstallStartupService(Platform& platform, bool force);
// The service stopped and deleted, its copy of the executable and config.ini removed (never a log); exit
// 0 also when there is none, 2 with the system's reason.
CafeOutput UninstallStartupService(Platform& platform);

}  // namespace vexa
