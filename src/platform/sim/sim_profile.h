// A private-profile reader with the rules of Windows' own, over the sim's files: ANSI files and UTF-16LE
// files with a byte-order mark, nothing else decoded.
#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_files.h"

namespace vexa::sim {

class SimProfile : public Profile {
 public:
  SimProfile(TextCodec& text, SimFiles& files) : text_(text), files_(files) {}

  std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                         std::uint32_t size, const char* fileName) override;

 private:
  TextCodec& text_;
  SimFiles& files_;
};

}  // namespace vexa::sim
