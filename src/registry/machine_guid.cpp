#include "registry/machine_guid.h"

#include <array>
#include <cstdint>

#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

std::wstring ReadMachineGuid(Platform& platform) {
  const Reg::RegRead read =
      Reg::ReadRegData(platform, std::wstring(locations::kCryptography), locations::kMachineGuid, Reg::View::Bits64);
  if (!read.value || read.value->type != kRegSz) return L"";
  const std::string& bytes = read.value->bytes;
  return platform.text.FromAnsi(std::string_view(bytes).substr(0, bytes.find('\0')));
}

std::wstring NewMachineGuid(Platform& platform) {
  std::array<std::uint8_t, 16> bytes{};
  if (!platform.system.RandomBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) return L"";
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4: random
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring guid;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) guid += L'-';
    guid += kDigits[bytes[i] >> 4];
    guid += kDigits[bytes[i] & 0x0F];
  }
  return guid;
}

}  // namespace vexa
