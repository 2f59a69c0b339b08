#include <windows.h>

#include <vector>

#include "contract/fixture.h"
#include "platform/win32/win32_platform.h"

namespace vexa::contract {

namespace {

class Win32Fixture : public Fixture {
 public:
  Win32Fixture() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "VexaIpSetContract";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  ~Win32Fixture() override {
    TakeOutput();
    LetGo();
    for (const auto& file : files_) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }

  Platform platform() override { return real_.platform(); }

  void CreateKey(const std::string& path) override {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, Full(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
      ::RegCloseKey(key);
    }
  }

  void SetRaw(const std::string& path, const std::string& name, std::uint32_t type, const std::string& bytes) override {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, Full(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
      return;
    }
    // RegSetValueExA stores a string with the NUL that follows its bytes in memory: a byte that is no
    // NUL follows them here.
    const std::string guarded = bytes + '\xFF';
    ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                     static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
  }

  void RemoveScratch() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }

  std::string SaveScratchAsHive(const std::string& name) override {
    const std::string path = ScratchPath(name);
    ::DeleteFileA(path.c_str());  // RegSaveKeyA makes the file, never overwrites one
    HANDLE token = nullptr;
    TOKEN_PRIVILEGES privilege{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
      ::LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &privilege.Privileges[0].Luid);
      ::AdjustTokenPrivileges(token, FALSE, &privilege, 0, nullptr, nullptr);
      ::CloseHandle(token);
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      ::RegSaveKeyA(key, path.c_str(), nullptr);
      ::RegCloseKey(key);
    }
    return path;
  }

  bool UnderWine() const override {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }

  std::string PutFile(const std::string& name, const std::string& bytes) override {
    // A fresh name each time: the profile reader caches files by name and time stamp.
    std::string path = folder_ + "\\" + std::to_string(files_.size()) + "_" + name;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      ::CloseHandle(file);
    }
    files_.push_back(path);
    return path;
  }

  void HoldOpen(const std::string& path, bool sharing) override {
    LetGo();
    const DWORD share = sharing ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
    held_ = ::CreateFileA(path.c_str(), FILE_APPEND_DATA | GENERIC_READ, share, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  void LetGo() override {
    if (held_ != INVALID_HANDLE_VALUE) ::CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
  }

  void HandOverOutput() override {
    output_ = ScratchPath("stdout.txt");
    handedOver_ = ::CreateFileA(output_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    standardOutput_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, handedOver_);
  }

  std::string TakeOutput() override {
    if (handedOver_ == INVALID_HANDLE_VALUE) return std::string();
    ::SetStdHandle(STD_OUTPUT_HANDLE, standardOutput_);
    ::CloseHandle(handedOver_);
    handedOver_ = INVALID_HANDLE_VALUE;
    const FileRead read = real_.files.ReadWholeFile(output_.c_str(), 1 << 20);
    return read.ok() ? read.bytes : "<unreadable>";
  }

  std::string ScratchPath(const std::string& name) override {
    std::string path = folder_ + "\\" + name;
    ::DeleteFileA(path.c_str());
    files_.push_back(path);
    return path;
  }

 private:
  static std::string Full(const std::string& path) {
    return path.empty() ? kScratch : std::string(kScratch) + "\\" + path;
  }
  win32::Win32Platform real_;
  std::string folder_;
  std::vector<std::string> files_;
  std::string output_;
  HANDLE handedOver_ = INVALID_HANDLE_VALUE;
  HANDLE standardOutput_ = nullptr;
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<Fixture> MakeFixture() { return std::make_unique<Win32Fixture>(); }

}  // namespace vexa::contract
