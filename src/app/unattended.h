// A run without a window, from a logon task, a batch file or a remote shell: the card and number come from
// the command line or from config.ini's [Machines]; the same checks and writes as the OK button; the
// outcome on the console the tool was started from and in VexaIpSet.log; never a message box (but for
// /? with no console to show it on).
#pragma once

#include "app/command_line.h"
#include "platform/platform.h"

namespace vexa {

// Exit codes a batch file can test.
namespace exit_code {
constexpr int kDone = 0;  // written, or already set
constexpr int kBadArguments = 1;
constexpr int kRefused = 2;         // with the reason
constexpr int kNotAllWritten = 3;   // written, with values not written (listed)
constexpr int kRestartRefused = 4;  // written, but the restart request was refused
}  // namespace exit_code

int RunUnattended(Platform& real, const CommandLine& command);

}  // namespace vexa
