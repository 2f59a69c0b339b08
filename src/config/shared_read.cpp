#include "config/shared_read.h"

namespace vexa {

namespace {
constexpr std::uint32_t kRetryMilliseconds = 25;
}  // namespace

FileRead ReadSharedFile(Platform& platform, const std::string& path, std::uint64_t maxBytes, std::uint64_t deadline) {
  for (;;) {
    FileRead read = platform.files.ReadWholeFile(path.c_str(), maxBytes);
    if (read.status != ReadStatus::Held || platform.system.MillisecondsSinceBoot() >= deadline) return read;
    platform.system.Sleep(kRetryMilliseconds);
  }
}

std::wstring ReadFailureText(ReadStatus status) {
  switch (status) {
    case ReadStatus::Read: return L"";
    case ReadStatus::Missing: return L"不存在";
    case ReadStatus::Held:
      return L"被其他程序占用,等了 " + std::to_wstring(kSharedWaitMilliseconds / 1000) + L" 秒仍无法读取";
    case ReadStatus::TooLarge: return L"太大";
    case ReadStatus::NotPlain: return L"不是普通文件(同名的文件夹或设备)";
    case ReadStatus::Failed: break;
  }
  return L"无法读取(没有权限或无法访问)";
}

}  // namespace vexa
