#include "apply/machine_identity.h"

#include <algorithm>

#include "apply/saved_state.h"
#include "common/mac_address.h"
#include "common/text.h"
#include "common/utf8.h"
#include "log/machine_twins.h"
#include "registry/locations.h"

namespace vexa {

namespace {

// The tool gave this machine a MachineGuid before: its saved state holds the one the machine had.
bool RenewedBefore(Platform& platform) {
  const SavedState saved = ReadSavedState(platform);
  return std::any_of(saved.values.begin(), saved.values.end(), [](const SavedValue& value) {
    return SameName(CutAtNul(value.path), locations::kCryptography) && SameName(value.name, locations::kMachineGuid);
  });
}

}  // namespace

std::optional<GuidRenewalReason> GuidRenewalOf(RunContext& run, HeldLog& log, int number) {
  const std::wstring& print = log.Machine().machineGuid;
  switch (run.venue.guidRenewal) {
    case IniFile::GuidRenewal::Keep: return std::nullopt;
    case IniFile::GuidRenewal::New:
      if (print.empty() || RenewedBefore(run.platform)) return std::nullopt;
      return GuidRenewalReason{};
    case IniFile::GuidRenewal::Twins: break;
  }
  if (print.empty()) return std::nullopt;
  std::vector<std::wstring> own;
  for (const std::optional<MacAddress>& address : CardAddresses(run.platform, run.inventory)) {
    if (address) own.push_back(FormatMac(*address));
  }
  for (LogEntry& other : CardsSharing(log.Read(), PrintOf::MachineGuid, print, own)) {
    if (NumberOfDigits(ToUtf8(other.record.number)) != number) return GuidRenewalReason{std::move(other)};
  }
  return std::nullopt;
}

}  // namespace vexa
