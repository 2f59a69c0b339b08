// The platform over the real Windows calls. With the window system and the entry point, the only code that
// includes <windows.h>.
#pragma once

#include "platform/platform.h"
#include "platform/win32/scoped.h"
#include "platform/win32/system_functions.h"

namespace vexa::win32 {

class Win32Registry : public Registry {
 public:
  long RegOpenKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) override;
  long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* length) override;
  long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t length) override;
  long RegCloseKey(RegHandle key) override;
  long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t size) override;
  long RegCreateKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) override;
  long RegDeleteValueA(RegHandle key, const char* valueName) override;
  long RegDeleteKeyA(RegHandle key, const char* subKey) override;
  long RegLoadKeyA(RegHandle root, const char* subKey, const char* file) override;
  long RegUnLoadKeyA(RegHandle root, const char* subKey) override;
};

class Win32Profile : public Profile {
 public:
  std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                         std::uint32_t size, const char* fileName) override;
};

class Win32MessageBoxes : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(TextCodec& text) : text_(text) {}
  MsgAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MsgButtons buttons,
                 MsgIcon icon) override;
  // The window the boxes are modal to; 0 before it exists.
  void SetOwner(std::uintptr_t window) { owner_ = window; }

 private:
  TextCodec& text_;
  std::uintptr_t owner_ = 0;
};

class Win32Restart : public Restart {
 public:
  std::uintptr_t GetCurrentProcess() override;
  bool OpenProcessToken(std::uintptr_t process, std::uint32_t access, std::uintptr_t* token) override;
  bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
  bool AdjustTokenPrivileges(std::uintptr_t token, bool disableAll, const PrivilegeRecord* newState,
                             std::uint32_t bufferLength, PrivilegeRecord* previousState,
                             std::uint32_t* returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  bool CloseHandle(std::uintptr_t handle) override;
};

class Win32System : public System {
 public:
  bool StartProgram(const char* applicationPath, const char* commandLine, std::uint32_t showWindow) override;
  std::string WindowsDirectory() override;
  std::string ModuleDirectory() override;
  std::string ModulePath() override;
  LocalTime Now() override;
  std::uint64_t MillisecondsSinceBoot() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t ProcessId() override;
  std::string MachineSid() override;
  bool RandomBytes(std::uint8_t* buffer, std::uint32_t size) override;
  std::string ExpandEnvironment(const char* text) override;
};

class Win32Text : public TextCodec {
 public:
  std::string ToAnsi(std::wstring_view text) override;
  std::wstring FromAnsi(std::string_view bytes) override;
  bool IsLeadByte(char byte) override;
  std::optional<std::size_t> FirstUnmappable(std::wstring_view text) override;
};

class Win32Files : public Files {
 public:
  Opened OpenShared(const char* path) override;
  void Close(FileHandle file) override;
  bool IsPlainFile(FileHandle file, std::string_view name) override;
  bool IsFileAt(FileHandle file, const char* path) override;
  bool TryLock(FileHandle file) override;
  void Unlock(FileHandle file) override;
  std::optional<std::uint64_t> SizeOf(FileHandle file) override;
  FileRead ReadAt(FileHandle file, std::uint64_t offset, std::size_t count) override;
  bool Append(FileHandle file, std::string_view bytes) override;
  bool Flush(FileHandle file) override;
  bool Truncate(FileHandle file) override;
  FileRead ReadWholeFile(const char* path, std::uint64_t maxBytes) override;
  std::optional<std::uint64_t> FileSize(const char* path) override;
  bool IsFolder(const char* path) override;
  MoveStatus MoveOver(const char* from, const char* to) override;
  bool RemoveFile(const char* path) override;
  bool CreateFolder(const char* path) override;
  bool RemoveFolder(const char* path) override;
  std::string CreateTempFile(std::string_view bytes, const std::string& folder) override;
  bool IsLinkName(const char* path) override;
};

// GetAdaptersAddresses from iphlpapi.dll, loaded from the system folder on first use (it is no KnownDLL,
// and the tool runs elevated: a copy beside the tool must never be loaded).
class Win32Adapters : public Adapters {
 public:
  explicit Win32Adapters(SystemFunctions& functions) : functions_(functions) {}
  std::optional<std::vector<AdapterAddress>> GetAdaptersAddresses(AdapterDetail detail) override;

 private:
  SystemFunctions& functions_;
};

// UDP through ws2_32.dll, loaded from the system folder and started (WSAStartup) on first use.
class Win32Network : public Network {
 public:
  explicit Win32Network(SystemFunctions& functions) : functions_(functions) {}
  bool SendUdp(std::string_view from, std::string_view to, std::uint16_t port, std::string_view bytes) override;

 private:
  SystemFunctions& functions_;
  bool started_ = false;
};

// The tool's own service through advapi32's service control manager.
class Win32Services : public Services {
 public:
  explicit Win32Services(TextCodec& text) : text_(text) {}
  ServiceResult Install(std::string_view name, std::string_view display, std::string_view description,
                        std::string_view command, std::string_view dependsOn) override;
  ServiceResult Remove(std::string_view name) override;
  bool RunAsService(std::string_view name, const std::function<int()>& work) override;

 private:
  ServiceResult Refused();  // GetLastError in the system's words
  TextCodec& text_;
};

class Win32Console : public Console {
 public:
  bool Attach() override;
  void Write(std::string_view bytes) override;
  void StopOnCtrlC() override;
  bool Interrupted() override;

 private:
  HANDLE out_ = nullptr;
  UniqueHandle ownedOut_;  // CONOUT$, when it was opened here
};

// All real services in one object.
class Win32Platform {
 public:
  Win32Platform() : messages(text), adapters(functions), network(functions), services(text) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  Platform platform() {
    return Platform{registry, profile, messages, restart, system, text, files, adapters, console, network, services};
  }

  SystemFunctions functions;  // the process's one cache of functions looked up at run time
  Win32Text text;
  Win32Registry registry;
  Win32Profile profile;
  Win32MessageBoxes messages;
  Win32Restart restart;
  Win32System system;
  Win32Files files;
  Win32Adapters adapters;
  Win32Console console;
  Win32Network network;
  Win32Services services;
};

}  // namespace vexa::win32
