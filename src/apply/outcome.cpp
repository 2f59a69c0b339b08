#include "apply/outcome.h"

#include "common/exit_codes.h"

namespace vexa {

int ExitCodeOf(const Outcome& out) {
  switch (out.kind) {
    case Outcome::Kind::Refused: return exit_code::kRefused;
    case Outcome::Kind::InPlace:
      if (out.restart == RestartState::NotTaken || out.restart == RestartState::AskedTwice ||
          out.restart == RestartState::Unknown || out.restart == RestartState::Unrecorded) {
        return exit_code::kNotInEffect;
      }
      if (out.restart == RestartState::Refused) return exit_code::kRestartRefused;
      return out.report.notWritten.empty() ? exit_code::kDone : exit_code::kNotAllWritten;  // a new MachineGuid
    case Outcome::Kind::Written:
    case Outcome::Kind::Undone: break;
  }
  if (out.restart == RestartState::Refused) return exit_code::kRestartRefused;
  return out.report.notWritten.empty() ? exit_code::kDone : exit_code::kNotAllWritten;
}

int ExitCodeOf(const CheckOutcome& check) {
  if (check.plan.kind == Outcome::Kind::Refused) return exit_code::kRefused;
  if (!check.registryHolds) return exit_code::kRegistryDiffers;
  const bool live = check.address == CheckOutcome::Address::Live;
  return check.nameActive && live ? exit_code::kDone : exit_code::kNotInEffect;
}

}  // namespace vexa
