// The system functions the tool looks up at run time: one row each with its DLL, its name and its type,
// each loaded from its DLL in the system folder named by its full path. The tool runs elevated from a
// folder others may write: a DLL planted beside it must never be loaded. (LOAD_LIBRARY_SEARCH_SYSTEM32
// would say the same in one flag, but fails with error 87 on Windows 7 without KB2533623, still found in
// cafes.)
#pragma once

// winsock2.h before windows.h, and both before iphlpapi.h: each row's type is taken from the declaration.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>
#include <uxtheme.h>

#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/scoped.h"

namespace vexa::win32 {

// X(name, DLL): each function's type is the SDK's own declaration of it (decltype), so that a row cannot
// call a function with another signature; nothing is linked against: the declaration is all a row uses.
// SetDefaultDllDirectories came with Windows 8 and KB2533623.
#define VEXA_SYSTEM_FUNCTIONS(X)              \
  X(SetDefaultDllDirectories, "kernel32.dll") \
  X(SetWindowTheme, "uxtheme.dll")            \
  X(GetAdaptersAddresses, "iphlpapi.dll")     \
  X(WSAStartup, "ws2_32.dll")                 \
  X(socket, "ws2_32.dll")                     \
  X(setsockopt, "ws2_32.dll")                 \
  X(bind, "ws2_32.dll")                       \
  X(sendto, "ws2_32.dll")                     \
  X(closesocket, "ws2_32.dll")

// One type per row: system.Get<fn::GetAdaptersAddresses>() is the function with its own signature.
namespace fn {
#define VEXA_SYSTEM_FUNCTION_ROW(function, library) \
  struct function {                                 \
    using Type = decltype(&::function);             \
    static constexpr const char* kDll = library;    \
    static constexpr const char* kName = #function; \
  };
VEXA_SYSTEM_FUNCTIONS(VEXA_SYSTEM_FUNCTION_ROW)
#undef VEXA_SYSTEM_FUNCTION_ROW
}  // namespace fn

// The one cache of the process: the DLLs it loaded stay loaded while it lives.
class SystemFunctions {
 public:
  SystemFunctions() = default;
  SystemFunctions(const SystemFunctions&) = delete;
  SystemFunctions& operator=(const SystemFunctions&) = delete;

  // The function, its DLL loaded on first use; nullptr when the DLL or the function is missing.
  template <typename Row>
  typename Row::Type Get() {
    return reinterpret_cast<typename Row::Type>(reinterpret_cast<void (*)()>(Find(Row::kDll, Row::kName)));
  }

 private:
  FARPROC Find(std::string_view dll, const char* name);

  std::vector<std::pair<std::string_view, UniqueModule>> modules_;  // by DLL name
};

}  // namespace vexa::win32
