// ReadRegString's result building on any stored bytes and type: never longer than the 255-byte buffer
// allows, the key closed again, and unreadable exactly when the value does not fit.
#include <cstdlib>

#include "platform/sim/sim_platform.h"
#include "registry/reg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static vexa::sim::SimPlatform sim;
  vexa::Platform platform = sim.platform();
  const std::uint32_t type = data[0] % 8;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  sim.registry.SetValue(vexa::kHkeyCurrentUser, "Software\\Fuzz", "v", type, bytes);
  const vexa::Reg::RegText read = vexa::Reg::ReadRegString(platform, L"HKEY_CURRENT_USER\\Software\\Fuzz", L"v");
  if (read.text.size() > 254) std::abort();
  if (sim.registry.OpenHandles() != 0) std::abort();
  // A string stored without its NUL is not given one in the size: 255 bytes fit the buffer.
  const bool fits = bytes.size() <= 255;
  if (fits != read.ok()) std::abort();
  return 0;
}
