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

// This machine's cards, by address: their lines are its own.
std::vector<std::wstring> OwnCards(RunContext& run) {
  std::vector<std::wstring> own;
  for (const std::optional<MacAddress>& address : CardAddresses(run.platform, run.inventory)) {
    if (address) own.push_back(FormatMac(*address));
  }
  return own;
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
  for (LogEntry& other : CardsSharing(log.Read(), PrintOf::MachineGuid, print, OwnCards(run))) {
    if (NumberOfDigits(ToUtf8(other.record.number)) != number)
      return GuidRenewalReason{std::move(other), RenewedBefore(run.platform)};
  }
  return std::nullopt;
}

std::vector<std::wstring> SeatsSharingThisSid(RunContext& run, HeldLog& log) {
  std::vector<std::wstring> numbers;
  const std::wstring& print = log.Machine().machineSid;
  if (print.empty() || !log.Held()) return numbers;
  for (const LogEntry& other : CardsSharing(log.Read(), PrintOf::MachineSid, print, OwnCards(run))) {
    if (std::find(numbers.begin(), numbers.end(), other.record.number) == numbers.end())
      numbers.push_back(other.record.number);
  }
  return numbers;
}

}  // namespace vexa
