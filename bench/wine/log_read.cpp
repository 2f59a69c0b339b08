// The shared log read as the guard reads it before every write (both files read under the log's lock, the
// number's holder found) against the same bytes read with bare calls, in-process; and apart from it, the
// taking of the lock (open, lock, still the file its name leads to, a plain file, its size), which every
// run pays for its line anyway. The log lies beside the program.
// Usage: log_read ITERATIONS. Prints "GUARD_US READ_US LOCK_US SCAN_US", medians of one reading each; the
// last is the guard's look at every line (a number no line claims) without the reading.
#include <windows.h>

#include "median_time.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cafe/seats.h"
#include "log/run_log.h"
#include "platform/win32/win32_platform.h"

namespace {

std::size_t ReadBare(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size{};
  ::GetFileSizeEx(file, &size);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  ::CloseHandle(file);
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 9;
  vexa::win32::Win32Platform real;
  vexa::Platform platform = real.platform();
  const vexa::LogPlace place = vexa::BesideConfig(platform);
  const std::string log = place.folder + "\\" + std::string(vexa::kLogName);
  std::size_t lines = 0;
  std::vector<double> lock;
  const double guard = MedianMicroseconds(iterations, [&] {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    vexa::HeldLog held(platform, place);
    ::QueryPerformanceCounter(&t1);
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    lock.push_back(1e6 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart));
    const vexa::LogText& read = held.Read();
    lines = read.files.size();
    volatile const bool holder = vexa::ClaimOn(read, 15, L"00-1A-2B-3C-0F-01").holder.has_value();
    (void)holder;
  });
  std::sort(lock.begin(), lock.end());
  // The guard's worst case: a number no line claims, every line of both files looked at from the end.
  double scan = 0;
  {
    vexa::HeldLog held(platform, place);
    const vexa::LogText& read = held.Read();
    scan = MedianMicroseconds(iterations, [&] {
      volatile const bool holder = vexa::ClaimOn(read, 0, L"00-1A-2B-3C-0F-01").holder.has_value();
      (void)holder;
    });
  }
  std::size_t bytes = 0;
  const double bare = MedianMicroseconds(iterations, [&] { bytes = ReadBare(log + ".old") + ReadBare(log); });
  // The guard's median includes taking the lock: it is given without it, and the lock apart.
  const double taking = lock[lock.size() / 2];
  std::printf("%.1f %.1f %.1f %.1f\n", guard - taking, bare, taking, scan);
  std::fprintf(stderr, "%zu files, %zu bytes\n", lines, bytes);
  return 0;
}
