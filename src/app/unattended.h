// A run without a window, from a logon task, a batch file or a remote shell: the card and number come from
// the command line or from config.ini's [Machines]; the same path as the OK button; the outcome on the
// console the tool was started from and in VexaIpSet.log; never a message box (but for /? with no console
// to show it on). The exit codes are common/exit_codes.h's, each outcome's apply/outcome.h's to map.
#pragma once

#include "app/command_line.h"
#include "platform/platform.h"

namespace vexa {

int RunUnattended(Platform& real, const CommandLine& command);

}  // namespace vexa
