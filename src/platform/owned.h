// Owns one open handle of a platform service and gives it back through that service on every path out:
// a registry key (Registry::RegCloseKey), a process token (Restart::CloseHandle), a file (Files::Close).
// Not copyable; release() gives it up. (Windows' own handles below the platform: win32::Scoped.)
#pragma once

#include <cstdint>
#include <utility>

#include "platform/platform.h"

namespace vexa {

template <typename Service, auto Close>
class Owned {
 public:
  using Handle = std::uintptr_t;
  explicit Owned(Service& service, Handle handle = 0) : service_(&service), handle_(handle) {}
  Owned(Owned&& other) noexcept : service_(other.service_), handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      service_ = other.service_;
      handle_ = other.release();
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  Handle release() { return std::exchange(handle_, 0); }
  void reset(Handle handle = 0) {
    if (handle_ != 0) (service_->*Close)(handle_);
    handle_ = handle;
  }
  Service& service() const { return *service_; }

 private:
  Service* service_;
  Handle handle_ = 0;
};

// An open registry key.
class UniqueKey : public Owned<Registry, &Registry::RegCloseKey> {
 public:
  using Owned::Owned;
  // Opens subKey below root; the result code of RegOpenKeyExA.
  long Open(RegHandle root, const char* subKey, std::uint32_t access) {
    reset();
    RegHandle opened = 0;
    const long result = service().RegOpenKeyExA(root, subKey, access, &opened);
    if (result == status::kSuccess) reset(opened);
    return result;
  }
};

using UniqueToken = Owned<Restart, &Restart::CloseHandle>;
using UniqueFile = Owned<Files, &Files::Close>;

}  // namespace vexa
