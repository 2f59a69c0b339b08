// Planted beside the tool under the name of a program it starts: if it ever runs, it leaves a marker.
#include <windows.h>

int main() {
  wchar_t marker[1024] = {};
  if (::GetEnvironmentVariableW(L"VEXA_E2E_PLANTED_MARKER", marker, 1024) == 0) return 1;
  HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, "planted ran\n", 12, &written, nullptr);
  ::CloseHandle(file);
  return 0;
}
