// Owns one handle and gives it back on every path out: the one owner of every kind of handle. Each kind is
// a traits row that knows its handle type, every value that means "no handle", and its release call:
//   using Handle;  using Context;  (what releasing needs besides the handle: a platform service, or NoContext)
//   static constexpr Handle kNone;  static bool IsValid(Handle);  static void Release([Context&,] Handle);
// Not copyable; release() gives the handle up. The platform's kinds are here; Windows' own handles below
// the platform are rows of win32/scoped.h.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/platform.h"

namespace vexa {

struct NoContext {};

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;
  using Context = typename Traits::Context;
  static constexpr bool kFree = std::is_same_v<Context, NoContext>;

  Owned() requires kFree = default;
  explicit Owned(Handle handle) requires kFree : handle_(handle) {}
  explicit Owned(Context& context, Handle handle = Traits::kNone) requires(!kFree)
      : context_(&context), handle_(handle) {}
  Owned(Owned&& other) noexcept : context_(other.context_), handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      context_ = other.context_;
      handle_ = other.release();
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::kNone); }
  void reset(Handle handle = Traits::kNone) {
    if (Traits::IsValid(handle_)) {
      if constexpr (kFree) {
        Traits::Release(handle_);
      } else {
        Traits::Release(*context_, handle_);
      }
    }
    handle_ = handle;
  }
  Context& service() const requires(!kFree) { return *context_; }

 private:
  Context* context_ = nullptr;
  Handle handle_ = Traits::kNone;
};

// The platform's handles: nothing is a valid handle but a value other than 0.
template <typename Service, auto Close>
struct ServiceHandle {
  using Handle = std::uintptr_t;
  using Context = Service;
  static constexpr Handle kNone = 0;
  static bool IsValid(Handle handle) { return handle != 0; }
  static void Release(Service& service, Handle handle) { (service.*Close)(handle); }
};

// An open registry key.
class UniqueKey : public Owned<ServiceHandle<Registry, &Registry::RegCloseKey>> {
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

using UniqueToken = Owned<ServiceHandle<Restart, &Restart::CloseHandle>>;
using UniqueFile = Owned<ServiceHandle<Files, &Files::Close>>;

}  // namespace vexa
