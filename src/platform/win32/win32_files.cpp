// Files over kernel32: whole files, the log's shared handle with its lock and link checks, temporary files.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

namespace vexa::win32 {

namespace {

// Eight upper-case hex digits: a temporary file's name part.
std::string HexText(DWORD value) {
  std::string hex(8, '0');
  for (std::size_t i = 8; i-- > 0; value >>= 4) hex[i] = "0123456789ABCDEF"[value & 0xF];
  return hex;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Why an open or a read failed, from the error Windows gave.
ReadStatus ReadStatusOf(DWORD error, const char* path) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ReadStatus::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return ReadStatus::Held;
    default: break;
  }
  // A folder of that name is refused as access denied.
  const DWORD attributes = ::GetFileAttributesA(path);
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return folder ? ReadStatus::NotPlain : ReadStatus::Failed;
}

// Up to count bytes from offset.
FileRead ReadRange(HANDLE file, std::uint64_t offset, std::size_t count) {
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return {};
  FileRead read{ReadStatus::Read, std::string(count, '\0')};
  std::size_t done = 0;
  while (done < read.bytes.size()) {
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(read.bytes.size() - done, 1u << 20));
    if (!::ReadFile(file, read.bytes.data() + done, chunk, &got, nullptr)) {
      // Another handle's lock on the range: held, like a sharing conflict.
      return {::GetLastError() == ERROR_LOCK_VIOLATION ? ReadStatus::Held : ReadStatus::Failed, {}};
    }
    if (got == 0) break;  // cut shorter since its size was taken
    done += got;
  }
  read.bytes.resize(done);
  return read;
}

// The file path names, opened as itself for its attributes only, with any sharing.
UniqueHandle OpenName(const char* path) {
  return UniqueHandle(::CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// The file's volume and index: the same pair means the same file, whatever the names.
std::optional<std::uint64_t> FileIdentity(HANDLE file, DWORD* volume) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return std::nullopt;
  *volume = info.dwVolumeSerialNumber;
  return static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

}  // namespace

FileRead Win32Files::ReadWholeFile(const char* path, std::uint64_t maxBytes) {
  const UniqueHandle file(
      ::CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {ReadStatusOf(::GetLastError(), path), {}};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) return {ReadStatus::NotPlain, {}};  // a device: CON, a pipe
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return {};
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return {ReadStatus::TooLarge, {}};
  return ReadRange(file.get(), 0, static_cast<std::size_t>(size.QuadPart));
}

Files::Opened Win32Files::OpenShared(const char* path) {
  // GENERIC_READ | GENERIC_WRITE: LockFileEx needs one of them, and cutting the file needs write access.
  // An existing name is opened as itself; a missing one is created only as new (CREATE_NEW, which never
  // follows a link: Windows and Wine refuse it when the name is a link, dangling or not). A name that can
  // be neither opened nor created is a link that leads nowhere; a race with another creator is tried once
  // more.
  constexpr DWORD kFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  for (int attempt = 0; attempt < 2; ++attempt) {
    UniqueHandle file(
        ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, kFlags, nullptr));
    DWORD error = ::GetLastError();
    if (!file && error == ERROR_FILE_NOT_FOUND) {
      file.reset(::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, kFlags, nullptr));
      error = ::GetLastError();
      if (!file && error == ERROR_FILE_EXISTS) continue;
    }
    if (file) return {Open::Opened, reinterpret_cast<FileHandle>(file.release())};
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return {busy ? Open::Busy : Open::Failed, 0};
  }
  return {Open::Link, 0};
}

void Win32Files::Close(FileHandle file) { ::CloseHandle(AsHandle(file)); }

bool Win32Files::IsPlainFile(FileHandle file, std::string_view name) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(AsHandle(file), &info)) return false;
  if (info.nNumberOfLinks != 1 || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return false;
  // Where the handle really leads: a link that the attributes do not show still ends in another name.
  char final[MAX_PATH * 2] = {};
  const DWORD length = ::GetFinalPathNameByHandleA(AsHandle(file), final, sizeof final, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= sizeof final) return false;
  const std::string_view path(final, length);
  const std::string_view last = path.substr(path.find_last_of('\\') + 1);
  return last.size() == name.size() &&
         ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, last.data(), static_cast<int>(last.size()), name.data(),
                          static_cast<int>(name.size())) == CSTR_EQUAL;
}

bool Win32Files::IsFileAt(FileHandle file, const char* path) {
  const UniqueHandle named = OpenName(path);
  if (!named) return false;
  DWORD mineVolume = 0;
  DWORD thereVolume = 0;
  const auto mine = FileIdentity(AsHandle(file), &mineVolume);
  const auto there = FileIdentity(named.get(), &thereVolume);
  // Wine reports volume 0 for a handle whose file was renamed since it was opened: the volume decides only
  // when both are known (the log and its .old share one folder anyway).
  const bool sameVolume = mineVolume == thereVolume || mineVolume == 0 || thereVolume == 0;
  return mine && there && *mine == *there && sameVolume;
}

bool Win32Files::TryLock(FileHandle file) {
  OVERLAPPED whole{};
  return ::LockFileEx(AsHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &whole) != FALSE;
}

void Win32Files::Unlock(FileHandle file) {
  OVERLAPPED whole{};
  ::UnlockFileEx(AsHandle(file), 0, MAXDWORD, MAXDWORD, &whole);
}

std::optional<std::uint64_t> Win32Files::SizeOf(FileHandle file) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(AsHandle(file), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

FileRead Win32Files::ReadAt(FileHandle file, std::uint64_t offset, std::size_t count) {
  return ReadRange(AsHandle(file), offset, count);
}

bool Win32Files::Append(FileHandle file, std::string_view bytes) {
  // One WriteFile for the whole record: under the lock nobody else writes, and a record never splits.
  LARGE_INTEGER none{};
  DWORD written = 0;
  return ::SetFilePointerEx(AsHandle(file), none, nullptr, FILE_END) &&
         ::WriteFile(AsHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool Win32Files::Flush(FileHandle file) { return ::FlushFileBuffers(AsHandle(file)) != FALSE; }

bool Win32Files::Truncate(FileHandle file) {
  LARGE_INTEGER start{};
  return ::SetFilePointerEx(AsHandle(file), start, nullptr, FILE_BEGIN) && ::SetEndOfFile(AsHandle(file));
}

std::optional<std::uint64_t> Win32Files::FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return std::nullopt;
  return static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool Win32Files::IsFolder(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

MoveStatus Win32Files::MoveOver(const char* from, const char* to) {
  if (::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return MoveStatus::Moved;
  const DWORD error = ::GetLastError();
  if (error == ERROR_SHARING_VIOLATION) return MoveStatus::Held;
  // Windows says "access denied" when a name to replace is open without delete sharing: a name that cannot
  // be opened for deleting because of sharing is held, not forbidden.
  for (const char* name : {from, to}) {
    const UniqueHandle probe(
        ::CreateFileA(name, DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!probe && ::GetLastError() == ERROR_SHARING_VIOLATION) return MoveStatus::Held;
  }
  return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? MoveStatus::Denied : MoveStatus::Failed;
}

bool Win32Files::RemoveFile(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool Win32Files::CreateFolder(const char* path) {
  return ::CreateDirectoryA(path, nullptr) != FALSE || (::GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path));
}

bool Win32Files::RemoveFolder(const char* path) { return ::RemoveDirectoryA(path) != FALSE; }

bool Win32Files::IsLinkName(const char* path) {
  if (const UniqueHandle named = OpenName(path)) {
    const std::string_view name(path);
    return !IsPlainFile(reinterpret_cast<FileHandle>(named.get()), name.substr(name.find_last_of('\\') + 1));
  }
  if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  // Nothing opens under the name: it is free, or a link that leads nowhere, which a new file cannot take.
  // The probe is gone when its handle closes.
  const UniqueHandle probe(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return !probe && ::GetLastError() == ERROR_FILE_EXISTS;
}

std::string Win32Files::CreateTempFile(std::string_view bytes, const std::string& folder) {
  char temp[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathA(sizeof temp, temp);
  if (folder.empty() && (length == 0 || length > MAX_PATH)) return std::string();
  const std::string into = folder.empty() ? std::string(temp) : folder.back() == '\\' ? folder : folder + "\\";
  // CREATE_NEW: a name that exists (left behind, or prepared by someone else) is never opened; the next
  // name is tried instead.
  const DWORD seed = ::GetCurrentProcessId() * 2654435761u ^ ::GetTickCount();
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    std::string path = into + "vxi" + HexText(seed + attempt * 7919u) + ".tmp";
    UniqueHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
      if (::GetLastError() == ERROR_FILE_EXISTS) continue;
      return std::string();
    }
    const bool written = WriteAll(file.get(), bytes);
    file.reset();  // closed before it is renamed or removed
    if (written) return path;
    ::DeleteFileA(path.c_str());
    return std::string();
  }
  return std::string();
}

}  // namespace vexa::win32
