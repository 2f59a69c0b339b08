// Code-page conversion both ways on any input: NULs kept, GBK text that came from wide text comes back.
#include <cstdlib>

#include "fuzz_input.h"
#include "platform/sim/sim_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vexa::sim::SimText text;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring wide = text.FromAnsi(bytes);
  const std::string ansi = text.ToAnsi(wide);
  // Whatever the bytes, converting their text once more changes nothing.
  if (text.ToAnsi(text.FromAnsi(ansi)) != ansi) std::abort();
  const std::wstring fromWide = vexa::fuzz::WideFrom(data, size);
  const std::string gbk = text.ToAnsi(fromWide);
  if (text.FromAnsi(text.ToAnsi(text.FromAnsi(gbk))) != text.FromAnsi(gbk)) std::abort();
  return 0;
}
