// MachineGuid, the identifier billing clients, remote-control agents and licences tell machines apart by:
// read as Windows keeps it (a string in the registry's 64-bit view, from either build), and a new one made
// as Windows makes them, for a clone that shares its image's.
#pragma once

#include <string>

#include "platform/platform.h"

namespace vexa {

// The machine's MachineGuid; "" when there is none or it cannot be read (unknown: it matches nothing).
std::wstring ReadMachineGuid(Platform& platform);

// A new random MachineGuid spelt as Windows spells it: lower-case hexadecimal, 8-4-4-4-12, version 4;
// "" when the system gives no random bytes.
std::wstring NewMachineGuid(Platform& platform);

}  // namespace vexa
