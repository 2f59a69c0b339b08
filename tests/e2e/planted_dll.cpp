// Planted beside the tool under the names of system DLLs it could load (version, uxtheme, dwmapi,
// comctl32): if Windows ever loads it from there, it leaves its name in the marker file.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[1024] = {};
  if (::GetEnvironmentVariableW(L"VEXA_E2E_PLANTED_MARKER", marker, 1024) == 0) return TRUE;
  char name[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(instance, name, MAX_PATH);
  HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, name, length, &written, nullptr);
    ::WriteFile(file, "\n", 1, &written, nullptr);
    ::CloseHandle(file);
  }
  return TRUE;
}
