// The tool as a whole: frmmain over a platform and a window host.
#pragma once

#include "platform/platform.h"
#include "platform/window.h"

namespace vexa {

// Runs the window until it is gone; the exit code (kNoWindow when it could not be created).
int RunVexaIpSet(Platform& platform, WindowHost& host);

}  // namespace vexa
