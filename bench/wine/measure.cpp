// Whole-process measurements under Wine.
//   measure startup CMD CLASS ITEMS   ms from CreateProcess until a visible window of CLASS (whose combo box,
//                                     when ITEMS > 0, holds ITEMS entries); the program is then closed
//   measure run COMMANDLINE           ms from CreateProcess until the process has ended
//   measure memory CMD CLASS          peak and current working set (KB) while idle with the window open
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The program's output goes nowhere: only this program's figures reach the caller.
bool Start(const std::string& commandLine, PROCESS_INFORMATION& process) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  std::string line = commandLine;
  const BOOL started =
      ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  ::CloseHandle(nul);
  return started != FALSE;
}

HWND Ready(const PROCESS_INFORMATION& process, const char* cls, int items) {
  HWND hwnd = ::FindWindowA(cls, nullptr);
  if (hwnd == nullptr || !::IsWindowVisible(hwnd)) return nullptr;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid != process.dwProcessId) return nullptr;
  if (items > 0) {
    HWND combo = ::FindWindowExA(hwnd, nullptr, "ComboBox", nullptr);
    if (combo == nullptr || ::SendMessageA(combo, CB_GETCOUNT, 0, 0) < items) return nullptr;
  }
  return hwnd;
}

HWND WaitReady(const PROCESS_INFORMATION& process, const char* cls, int items) {
  const double end = Now() + 20000;
  while (Now() < end) {
    if (HWND hwnd = Ready(process, cls, items)) return hwnd;
    if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
      // The floor closes itself once shown: having shown is what counts.
      return reinterpret_cast<HWND>(1);
    }
    ::Sleep(1);
  }
  return nullptr;
}

void Finish(PROCESS_INFORMATION& process, HWND hwnd) {
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(1)) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
  ::SetProcessDPIAware();
  if (argc < 3) return 2;
  const std::string what = argv[1];
  PROCESS_INFORMATION process{};
  if (what == "startup" && argc == 5) {
    const double t0 = Now();
    if (!Start(argv[2], process)) return 1;  // a command line: the program and its arguments
    HWND hwnd = WaitReady(process, argv[3], std::atoi(argv[4]));
    const double t1 = Now();
    Finish(process, hwnd);
    if (hwnd == nullptr) return 1;
    std::printf("%.1f\n", t1 - t0);
    return 0;
  }
  if (what == "run") {
    const double t0 = Now();
    if (!Start(argv[2], process)) return 1;
    ::WaitForSingleObject(process.hProcess, 60000);
    const double t1 = Now();
    Finish(process, nullptr);
    std::printf("%.1f\n", t1 - t0);
    return 0;
  }
  if (what == "memory" && argc == 4) {
    if (!Start(argv[2], process)) return 1;
    HWND hwnd = WaitReady(process, argv[3], 0);
    ::Sleep(1500);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
    Finish(process, hwnd);
    std::printf("%lu %lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(counters.WorkingSetSize / 1024));
    return 0;
  }
  return 2;
}
