// Owns one open registry key and closes it on every path out.
#pragma once

#include "platform/platform.h"

namespace vexa {

class UniqueKey {
 public:
  explicit UniqueKey(Registry& registry) : registry_(&registry) {}
  UniqueKey(UniqueKey&& other) noexcept : registry_(other.registry_), key_(other.release()) {}
  UniqueKey& operator=(UniqueKey&& other) noexcept {
    if (this != &other) {
      reset();
      registry_ = other.registry_;
      key_ = other.release();
    }
    return *this;
  }
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() { reset(); }

  // Opens subKey below root; the result code of RegOpenKeyExA.
  long Open(RegHandle root, const char* subKey, std::uint32_t access) {
    reset();
    RegHandle opened = 0;
    long result = registry_->RegOpenKeyExA(root, subKey, access, &opened);
    if (result == status::kSuccess) key_ = opened;
    return result;
  }

  RegHandle get() const { return key_; }
  explicit operator bool() const { return key_ != 0; }
  RegHandle release() {
    RegHandle key = key_;
    key_ = 0;
    return key;
  }
  void reset() {
    if (key_ != 0) registry_->RegCloseKey(release());
  }

 private:
  Registry* registry_;
  RegHandle key_ = 0;
};

}  // namespace vexa
