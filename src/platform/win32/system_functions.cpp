#include "platform/win32/system_functions.h"

#include <string>

namespace vexa::win32 {

FARPROC SystemFunctions::Find(SystemFunction function) {
  const SystemFunctionRow& row = kSystemFunctions[static_cast<std::size_t>(function)];
  UniqueModule& module = modules_[static_cast<std::size_t>(function)];
  if (!module) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + row.dll;
    module.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  }
  return module ? ::GetProcAddress(module.get(), row.name) : nullptr;
}

}  // namespace vexa::win32
