#include "platform/win32/win32_platform.h"

#include <windows.h>
// The LSA's declarations after windows.h, which they build on.
#include <ntsecapi.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "platform/win32/scoped.h"

namespace vexa::win32 {

namespace {

// Predefined keys are 32-bit values that Windows sign-extends on 64-bit systems.
HKEY ToHkey(RegHandle key) {
  if (IsPredefinedRoot(key)) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Win32Registry::RegOpenKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(ToHkey(root), subKey, 0, access, &opened);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<RegHandle>(opened);
  return result;
}

long Win32Registry::RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* length) {
  DWORD t = 0;
  DWORD len = length != nullptr ? *length : 0;
  LONG result = ::RegQueryValueExA(ToHkey(key), valueName, nullptr, &t, data, length != nullptr ? &len : nullptr);
  if (type != nullptr) *type = t;
  if (length != nullptr) *length = len;
  return result;
}

long Win32Registry::RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                   std::uint32_t length) {
  return ::RegSetValueExA(ToHkey(key), valueName, 0, type, data, length);
}

long Win32Registry::RegCloseKey(RegHandle key) { return ::RegCloseKey(ToHkey(key)); }

long Win32Registry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t size) {
  return ::RegEnumKeyA(ToHkey(key), index, name, size);
}

long Win32Registry::RegCreateKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) {
  HKEY created = nullptr;
  const LONG result =
      ::RegCreateKeyExA(ToHkey(root), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<RegHandle>(created);
  return result;
}

long Win32Registry::RegDeleteValueA(RegHandle key, const char* valueName) {
  return ::RegDeleteValueA(ToHkey(key), valueName);
}

long Win32Registry::RegDeleteKeyA(RegHandle key, const char* subKey) { return ::RegDeleteKeyA(ToHkey(key), subKey); }

long Win32Registry::RegLoadKeyA(RegHandle root, const char* subKey, const char* file) {
  return ::RegLoadKeyA(ToHkey(root), subKey, file);
}

long Win32Registry::RegUnLoadKeyA(RegHandle root, const char* subKey) { return ::RegUnLoadKeyA(ToHkey(root), subKey); }

std::uint32_t Win32Profile::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                                     char* buffer, std::uint32_t size, const char* fileName) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName);
}

MsgAnswer Win32MessageBoxes::Show(const std::wstring& text, const std::optional<std::wstring>& title,
                                  MsgButtons buttons, MsgIcon icon) {
  UINT flags = buttons == MsgButtons::YesNo ? MB_YESNO : buttons == MsgButtons::RetryCancel ? MB_RETRYCANCEL : MB_OK;
  switch (icon) {
    case MsgIcon::None: break;
    case MsgIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MsgIcon::Exclamation: flags |= MB_ICONEXCLAMATION; break;
    case MsgIcon::Critical: flags |= MB_ICONERROR; break;
  }
  const std::string ansiText = text_.ToAnsi(text);
  const std::string ansiTitle = text_.ToAnsi(title ? *title : std::wstring(kApplicationTitle));
  int pressed = ::MessageBoxA(reinterpret_cast<HWND>(owner_), ansiText.c_str(), ansiTitle.c_str(), flags);
  if (pressed == IDYES) return MsgAnswer::Yes;
  if (pressed == IDNO) return MsgAnswer::No;
  if (pressed == IDRETRY) return MsgAnswer::Retry;
  if (pressed == IDCANCEL) return MsgAnswer::Cancel;
  return MsgAnswer::Ok;
}

std::uintptr_t Win32Restart::GetCurrentProcess() { return reinterpret_cast<std::uintptr_t>(::GetCurrentProcess()); }

bool Win32Restart::OpenProcessToken(std::uintptr_t process, std::uint32_t access, std::uintptr_t* token) {
  HANDLE opened = nullptr;
  BOOL ok = ::OpenProcessToken(reinterpret_cast<HANDLE>(process), access, &opened);
  *token = reinterpret_cast<std::uintptr_t>(opened);
  return ok != FALSE;
}

bool Win32Restart::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
  LUID value{};
  BOOL ok = ::LookupPrivilegeValueA(systemName, name, &value);
  luid->LowPart = value.LowPart;
  luid->HighPart = value.HighPart;
  return ok != FALSE;
}

bool Win32Restart::AdjustTokenPrivileges(std::uintptr_t token, bool disableAll, const PrivilegeRecord* newState,
                                         std::uint32_t bufferLength, PrivilegeRecord* previousState,
                                         std::uint32_t* returnLength) {
  static_assert(sizeof(TOKEN_PRIVILEGES) + sizeof(LUID_AND_ATTRIBUTES) == sizeof(PrivilegeRecord),
                "the record is TOKEN_PRIVILEGES with room for a second entry");
  DWORD length = 0;
  BOOL ok = ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), disableAll ? TRUE : FALSE,
                                    reinterpret_cast<PTOKEN_PRIVILEGES>(const_cast<PrivilegeRecord*>(newState)),
                                    bufferLength, reinterpret_cast<PTOKEN_PRIVILEGES>(previousState), &length);
  *returnLength = length;
  return ok != FALSE;
}

bool Win32Restart::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  return ::ExitWindowsEx(flags, reserved) != FALSE;
}

bool Win32Restart::CloseHandle(std::uintptr_t handle) {
  return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

bool Win32System::StartProgram(const char* applicationPath, const char* commandLine, std::uint32_t showWindow) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION process{};
  std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
  if (!::CreateProcessA(applicationPath, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  UniqueHandle thread(process.hThread);  // nothing waits for the program
  UniqueHandle started(process.hProcess);
  return true;
}

std::string Win32System::WindowsDirectory() {
  char buffer[MAX_PATH + 1] = {};
  UINT length = ::GetWindowsDirectoryA(buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string("C:\\Windows");
}

namespace {

// The executable's path as a person writes it: a share's "\\server\share\..." however the name came
// back ("\\?\UNC\server\..." for a long path; "UNC\server\..." from Wine, which drops the "\??\" of
// the native name), and a long path without its "\\?\".
std::string PlainPath(std::string path) {
  for (const std::string_view unc : {std::string_view("\\\\?\\UNC\\"), std::string_view("UNC\\")}) {
    if (path.starts_with(unc)) return "\\\\" + path.substr(unc.size());
  }
  if (path.starts_with("\\\\?\\")) return path.substr(4);
  return path;
}

}  // namespace

std::string Win32System::ModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return PlainPath(std::string(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::string Win32System::ModuleDirectory() {
  const std::string path = ModulePath();
  const std::size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return std::string();
  // A drive root keeps its backslash ("C:\"); other folders are given without one.
  return path.substr(0, slash == 2 && path[1] == ':' ? slash + 1 : slash);
}

LocalTime Win32System::Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::uint64_t Win32System::MillisecondsSinceBoot() { return ::GetTickCount64(); }

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32System::ProcessId() { return ::GetCurrentProcessId(); }

std::string Win32System::MachineSid() {
  // The machine SID is the account domain's: the one every local account's SID starts with.
  std::string machineSid;
  LSA_OBJECT_ATTRIBUTES attributes{};
  LSA_HANDLE policyHandle = nullptr;
  if (::LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, &policyHandle) != 0) return machineSid;
  const UniquePolicy policy(policyHandle);
  void* information = nullptr;
  if (::LsaQueryInformationPolicy(policy.get(), PolicyAccountDomainInformation, &information) != 0 ||
      information == nullptr) {
    return machineSid;
  }
  char* text = nullptr;
  const PSID sid = static_cast<POLICY_ACCOUNT_DOMAIN_INFO*>(information)->DomainSid;
  if (sid != nullptr && ::ConvertSidToStringSidA(sid, &text) && text != nullptr) {
    machineSid = text;
    ::LocalFree(text);
  }
  ::LsaFreeMemory(information);
  return machineSid;
}

bool Win32System::RandomBytes(std::uint8_t* buffer, std::uint32_t size) {
  return ::RtlGenRandom(buffer, size) != FALSE;
}

std::string Win32System::ExpandEnvironment(const char* text) {
  const DWORD size = ::ExpandEnvironmentStringsA(text, nullptr, 0);
  if (size == 0) return std::string();
  std::string out(size, '\0');
  const DWORD written = ::ExpandEnvironmentStringsA(text, out.data(), size);
  if (written == 0 || written > size) return std::string();
  out.resize(written - 1);  // the count includes the NUL
  return out;
}

std::string Win32Text::ToAnsi(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// One conversion, not two: no code page gives more UTF-16 units than it had bytes (a whole config.ini
// goes through here).
std::wstring Win32Text::FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  std::wstring out(bytes.size(), L'\0');
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                         static_cast<int>(out.size()));
  out.resize(static_cast<std::size_t>(size));
  return out;
}

bool Win32Text::IsLeadByte(char byte) { return ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE; }

std::optional<std::size_t> Win32Text::FirstUnmappable(std::wstring_view text) {
  // Without WC_NO_BEST_FIT_CHARS Windows would write a look-alike ("e" for "é") and say nothing.
  const auto exact = [](std::wstring_view part) {
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, part.data(), static_cast<int>(part.size()),
                                           nullptr, 0, nullptr, &usedDefault);
    return size > 0 && usedDefault == FALSE;
  };
  if (text.empty() || exact(text)) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    if (!exact(text.substr(i, pair ? 2 : 1))) return i;
    if (pair) ++i;
  }
  return std::nullopt;
}

}  // namespace vexa::win32
