// The tool as a whole: frmmain over a platform and a window host.
#pragma once

#include "platform/platform.h"
#include "platform/window.h"

namespace vexa {

int RunVexaIpSet(Platform& platform, WindowHost& host);

}  // namespace vexa
