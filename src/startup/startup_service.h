// /install and /uninstall: the start-up run as a service of the tool's own, the Windows way to run before
// anyone logs on and elevated. The service starts with Windows, runs /auto (with /force when /install was
// given it) as LocalSystem, and stops; its command quotes the executable's path, whatever the path holds.
// Each change has its line in the log.
#pragma once

#include <string_view>

#include "cafe/cafe_commands.h"
#include "platform/platform.h"

namespace vexa {

inline constexpr std::string_view kServiceName = "VexaIpSet";

// The service made (or changed, when it exists: never two); exit 0, or 2 with the system's reason.
CafeOutput InstallStartupService(Platform& platform, bool force);
// The service stopped and deleted; exit 0 also when there is none, 2 with the system's reason.
CafeOutput UninstallStartupService(Platform& platform);

}  // namespace vexa
