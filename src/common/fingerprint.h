// Short fingerprints of a machine's identifiers for the shared log: enough to tell two machines apart, or to
// see that two share one, without the log holding the identifier itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// The 64-bit FNV-1a hash of bytes. The identifiers hashed are random (MachineGuid's 122 bits, the machine
// SID's 96): a hash that only has to spread them evenly, and 32 of its bits say nothing of them.
std::uint64_t Fnv1a64(std::string_view bytes);

inline constexpr std::size_t kFingerprintDigits = 8;

// The first eight hexadecimal digits (lower case) of the identifier's FNV-1a hash; "" for "" (not known).
// Two machines of a cafe of 254 share one by chance with odds of about 1 in 130,000.
std::wstring Fingerprint(std::string_view identifier);

// Text a log line may hold as a fingerprint: eight digits 0-9, a-f.
bool IsFingerprint(std::wstring_view text);

}  // namespace vexa
