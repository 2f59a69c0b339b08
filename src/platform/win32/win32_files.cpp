// Whole-file operations over kernel32.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

namespace vexa::win32 {

namespace {

// CreateFileA's failure value is INVALID_HANDLE_VALUE, not null: the scope holds null for it.
UniqueHandle OpenFile(const char* path, DWORD access, DWORD disposition) {
  HANDLE file = ::CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> Win32Files::ReadWholeFile(const char* path, std::uint64_t maxBytes) {
  UniqueHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) return std::nullopt;
    done += read;
  }
  return bytes;
}

bool Win32Files::WriteWholeFile(const char* path, std::string_view bytes) {
  UniqueHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  return file && WriteAll(file.get(), bytes);
}

bool Win32Files::AppendToFile(const char* path, std::string_view bytes) {
  UniqueHandle file = OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
  return file && WriteAll(file.get(), bytes);
}

std::optional<std::uint64_t> Win32Files::FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return std::nullopt;
  return static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool Win32Files::MoveOver(const char* from, const char* to) {
  return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool Win32Files::RemoveFile(const char* path) { return ::DeleteFileA(path) != FALSE; }

std::string Win32Files::CreateTempFile() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return std::string();
  char path[MAX_PATH] = {};
  if (::GetTempFileNameA(folder, "vxi", 0, path) == 0) return std::string();
  return path;
}

}  // namespace vexa::win32
