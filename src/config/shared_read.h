// Reading a file that other machines of the cafe may be writing at the same moment (the shared log, a
// config.ini on a share): opened with every sharing, a sharing conflict or another run's lock waited out
// within a bound, and a failure always said with its reason, never taken for an empty file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace vexa {

// How long a run waits for another run or program to let go of a shared file.
inline constexpr std::uint32_t kSharedWaitMilliseconds = 3000;

// The whole file, or why not; Held is retried until deadline (milliseconds since boot).
FileRead ReadSharedFile(Platform& platform, const std::string& path, std::uint64_t maxBytes, std::uint64_t deadline);

// Why a read failed, as the operator reads it after the file's name ("被其他程序占用", ...).
std::wstring ReadFailureText(ReadStatus status);

}  // namespace vexa
