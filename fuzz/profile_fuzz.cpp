// The simulated profile reader on any file: the result always ends in a NUL inside the buffer, never
// writes past it, and its length is what it returns.
#include <cstdlib>
#include <cstring>

#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vexa::sim::SimPlatform sim;
  sim.PutConfigBytes(std::string(reinterpret_cast<const char*>(data), size));
  const std::string path = sim.ConfigPath();
  for (const char* key : {"IP", "NetPrefix"}) {
    for (std::uint32_t bufferSize : {254u, 2u}) {
      char buffer[300];
      std::memset(buffer, 0x5A, sizeof buffer);
      const std::uint32_t n =
          sim.profile.GetPrivateProfileStringA("NetWork", key, "dflt", buffer, bufferSize, path.c_str());
      if (n >= bufferSize || buffer[n] != '\0') std::abort();
      if (static_cast<unsigned char>(buffer[bufferSize]) != 0x5A) std::abort();
    }
  }
  return 0;
}
