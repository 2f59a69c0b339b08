#include "platform/win32/system_functions.h"

#include <string>

namespace vexa::win32 {

FARPROC SystemFunctions::Find(std::string_view dll, const char* name) {
  for (const auto& [loaded, module] : modules_) {
    if (loaded == dll) return module ? ::GetProcAddress(module.get(), name) : nullptr;
  }
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + std::string(dll);
  modules_.emplace_back(dll, UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)));
  const UniqueModule& module = modules_.back().second;
  return module ? ::GetProcAddress(module.get(), name) : nullptr;
}

}  // namespace vexa::win32
