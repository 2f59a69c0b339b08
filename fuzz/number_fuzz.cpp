// The machine-number reading: whatever is typed or pasted, a defined verdict and a number in range.
#include <cstdlib>

#include "apply/lenient_number.h"
#include "apply/machine_settings.h"
#include "common/decimal.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = vexa::fuzz::WideFrom(data, size);
  vexa::LenientNumber(text);
  vexa::StrictDecimal(text);
  const vexa::MachineInput input = vexa::ValidateInput(text);
  if (input.verdict == vexa::Refusal::None && (input.MachineNumber < 1 || input.MachineNumber > 254)) {
    std::abort();
  }
  if (input.verdict == vexa::Refusal::Empty && !text.empty()) std::abort();
  return 0;
}
