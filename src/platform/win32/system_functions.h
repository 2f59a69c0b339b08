// The system functions the tool looks up at run time, in one table, each from its DLL in the system
// folder named by its full path. The tool runs elevated from a folder others may write: a DLL planted
// beside it must never be loaded. (LOAD_LIBRARY_SEARCH_SYSTEM32 would say the same in one flag, but fails
// with error 87 on Windows 7 without KB2533623, still found in cafes.)
#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/scoped.h"

namespace vexa::win32 {

enum class SystemFunction { SetDefaultDllDirectories, SetWindowTheme, GetAdaptersAddresses, kCount };

struct SystemFunctionRow {
  SystemFunction function;
  const char* dll;
  const char* name;
};

inline constexpr SystemFunctionRow kSystemFunctions[] = {
    {SystemFunction::SetDefaultDllDirectories, "kernel32.dll", "SetDefaultDllDirectories"},  // Windows 8, KB2533623
    {SystemFunction::SetWindowTheme, "uxtheme.dll", "SetWindowTheme"},
    {SystemFunction::GetAdaptersAddresses, "iphlpapi.dll", "GetAdaptersAddresses"},
};

// The DLLs it loaded stay loaded while it lives.
class SystemFunctions {
 public:
  // The function, its DLL loaded on first use; nullptr when the DLL or the function is missing.
  template <typename Function>
  Function Get(SystemFunction function) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Find(function)));
  }

 private:
  FARPROC Find(SystemFunction function);

  std::array<UniqueModule, static_cast<std::size_t>(SystemFunction::kCount)> modules_;
};

}  // namespace vexa::win32
