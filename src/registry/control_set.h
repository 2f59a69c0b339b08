// The control set Windows boots with: the one HKLM\SYSTEM\Select "Current" names. A machine imaged after it
// once booted Last Known Good runs from ControlSet002, and settings written to ControlSet001 would never
// take effect there.
#pragma once

#include <string>

#include "platform/platform.h"

namespace vexa {

// "ControlSet" and the three digits of Current when it is a DWORD from 1 to 999 and that key exists;
// "ControlSet001" in every other case.
std::wstring BootControlSet(Platform& platform);

}  // namespace vexa
