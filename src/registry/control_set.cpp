#include "registry/control_set.h"

#include <cstdio>

#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

std::wstring BootControlSet(Platform& platform) {
  const std::optional<std::uint32_t> current =
      Reg::ReadRegDword(platform, std::wstring(locations::kSelect), locations::kCurrent);
  if (!current || *current < 1 || *current > 999) return std::wstring(locations::kDefaultControlSet);
  wchar_t name[16];
  std::swprintf(name, sizeof name / sizeof name[0], L"ControlSet%03u", static_cast<unsigned>(*current));
  if (!Reg::RegKeyExists(platform, L"HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::wstring(name))) {
    return std::wstring(locations::kDefaultControlSet);
  }
  return name;
}

}  // namespace vexa
