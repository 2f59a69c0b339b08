#include "common/fingerprint.h"

namespace vexa {

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3;
  }
  return hash;
}

std::wstring Fingerprint(std::string_view identifier) {
  if (identifier.empty()) return std::wstring();
  const std::uint64_t hash = Fnv1a64(identifier);
  std::wstring text;
  for (std::size_t i = 0; i < kFingerprintDigits; ++i) text.push_back(L"0123456789abcdef"[hash >> (60 - 4 * i) & 15]);
  return text;
}

bool IsFingerprint(std::wstring_view text) {
  if (text.size() != kFingerprintDigits) return false;
  for (const wchar_t c : text) {
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
  }
  return true;
}

}  // namespace vexa
