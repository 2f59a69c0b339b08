// SplitRegPath on any text: a known root or 0, malformed exactly when the form is wrong (and then no root),
// and a sub-key that is the path's tail after the root.
#include <cstdlib>

#include "fuzz_input.h"
#include "registry/reg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring path = vexa::fuzz::WideFrom(data, size);
  const vexa::Reg::SplitPath split = vexa::Reg::SplitRegPath(path);
  if (split.root != 0 && (split.root < 0x80000000u || split.root > 0x80000006u)) std::abort();
  const bool malformed = path.compare(0, 5, L"HKEY_") != 0 || path.back() == L'\\';
  if (malformed != split.malformed) std::abort();
  if (malformed && (split.root != 0 || !split.subKey.empty())) std::abort();
  if (!malformed && split.subKey.size() >= path.size()) std::abort();
  if (!malformed && path.size() > split.subKey.size() && path.substr(path.size() - split.subKey.size()) != split.subKey)
    std::abort();
  return 0;
}
