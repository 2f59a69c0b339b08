// SplitRegPath on any text: a known root or 0, the message exactly when the form is wrong, and a
// malformed path left as it was.
#include <cstdlib>

#include "fuzz_input.h"
#include "platform/sim/sim_platform.h"
#include "registry/reg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vexa::sim::SimMessageBoxes boxes;
  boxes.Clear();
  const std::wstring original = vexa::fuzz::WideFrom(data, size);
  std::wstring path = original;
  const std::uint32_t root = vexa::Reg::SplitRegPath(boxes, path);
  if (root != 0 && (root < 0x80000000u || root > 0x80000006u)) std::abort();
  const bool malformed = original.compare(0, 5, L"HKEY_") != 0 || original.back() == L'\\';
  if (malformed != !boxes.Shown().empty()) std::abort();
  if (malformed && (root != 0 || path != original)) std::abort();
  if (!malformed && path.size() >= original.size() && original.find(L'\\') != std::wstring::npos) std::abort();
  return 0;
}
