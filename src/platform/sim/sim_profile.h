// A private-profile reader with the rules of the Windows one, over files held in memory.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"

namespace vexa::sim {

class SimProfile : public Profile {
 public:
  explicit SimProfile(TextCodec& text) : text_(text) {}

  // Files by full path (case-insensitive), content as raw bytes.
  void PutFile(const std::string& path, const std::string& bytes);
  void RemoveFile(const std::string& path);

  std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                         std::uint32_t size, const char* fileName) override;

 private:
  TextCodec& text_;
  std::map<std::string, std::string> files_;
};

}  // namespace vexa::sim
