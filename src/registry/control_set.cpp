#include "registry/control_set.h"

#include "common/text.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

std::wstring BootControlSet(Platform& platform) {
  const std::optional<std::uint32_t> current =
      Reg::ReadRegDword(platform, std::wstring(locations::kSelect), locations::kCurrent);
  if (!current || *current < 1 || *current > 999) return std::wstring(locations::kDefaultControlSet);
  std::wstring name = L"ControlSet" + ZeroPadded(*current, 3);
  if (!Reg::RegKeyExists(platform, locations::ControlSet(name))) {
    return std::wstring(locations::kDefaultControlSet);
  }
  return name;
}

}  // namespace vexa
