// Stands for a program that keeps the shared log from every run: a hung run that holds its lock, or a
// program that opened it sharing reading only. Usage: log_holder PATH SECONDS lock|share-read. Prints
// "holding" once it holds the log, then holds it for SECONDS; exits 1 when it could not take it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const bool lock = std::wcscmp(argv[3], L"lock") == 0;
  const DWORD sharing = lock ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : FILE_SHARE_READ;
  HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  OVERLAPPED whole{};
  if (lock && !::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000);
  ::CloseHandle(file);
  return 0;
}
