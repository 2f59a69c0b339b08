#include "e2e/machine.h"

#include <vector>

namespace vexa::e2e {

namespace {

// HKLM\SOFTWARE is written in the 64-bit view: the 32-bit tool must see the card list from there.
REGSAM View(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0; }

void Dump(HKEY root, const std::wstring& rootName, const std::wstring& path, Snapshot& out) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | View(root), &key) != ERROR_SUCCESS) return;
  out[rootName + L"\\" + path + L"|"] = Value{REG_NONE, "(key)"};
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD nameLength = 16384;
    DWORD type = 0;
    BYTE data[8192];
    DWORD dataLength = sizeof data;
    LONG r = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataLength);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;
    out[rootName + L"\\" + path + L"|" + name] = Value{type, std::string(reinterpret_cast<char*>(data), dataLength)};
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name);
  }
  ::RegCloseKey(key);
  for (const auto& child : children) Dump(root, rootName, path + L"\\" + child, out);
}

}  // namespace

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Sz(const std::string& ansi) { return ansi + '\0'; }

void SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const std::string& data) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | View(root), nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  // The ANSI call, as the tool's own: string data is given in code page 936.
  ::RegSetValueExA(key, Ansi(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  ::RegCloseKey(key);
}

std::optional<Value> GetValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | View(root), &key) != ERROR_SUCCESS) return std::nullopt;
  // Read through the ANSI call, as the tool wrote: string data comes back in code page 936.
  std::string nameA = Ansi(name);
  BYTE data[4096];
  DWORD length = sizeof data;
  DWORD type = 0;
  LONG r = ::RegQueryValueExA(key, nameA.c_str(), nullptr, &type, data, &length);
  ::RegCloseKey(key);
  if (r != ERROR_SUCCESS) return std::nullopt;
  return Value{type, std::string(reinterpret_cast<char*>(data), length)};
}

void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | View(root), &key) != ERROR_SUCCESS) return;
  ::RegDeleteTreeW(key, nullptr);
  ::RegCloseKey(key);
  std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
  std::wstring leaf = path.substr(path.find_last_of(L'\\') + 1);
  if (::RegOpenKeyExW(root, parent.c_str(), 0, KEY_ALL_ACCESS | View(root), &key) == ERROR_SUCCESS) {
    ::RegDeleteKeyExW(key, leaf.c_str(), View(root), 0);
    ::RegCloseKey(key);
  }
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | View(root), &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

void ClearSavedState() {
  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY software = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) != ERROR_SUCCESS)
      continue;
    ::RegDeleteTreeW(software, L"VexaIpSet");
    ::RegCloseKey(software);
  }
}

void PlantSavedState(const std::string& values) {
  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSavedState, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
      continue;
    }
    ::RegSetValueExA(key, "Values", 0, REG_BINARY, reinterpret_cast<const BYTE*>(values.data()),
                     static_cast<DWORD>(values.size()));
    ::RegCloseKey(key);
  }
}

int SavedStateViews() {
  int views = 0;
  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSavedState, 0, KEY_READ | view, &key) != ERROR_SUCCESS) continue;
    ::RegCloseKey(key);
    ++views;
  }
  return views;
}

bool SavedStateExists() { return SavedStateViews() > 0; }

Snapshot TakeSnapshot() {
  Snapshot s;
  Dump(HKEY_LOCAL_MACHINE, L"HKLM", L"SYSTEM\\ControlSet001", s);
  Dump(HKEY_LOCAL_MACHINE, L"HKLM", L"System\\CurrentControlSet\\Control\\ComputerName", s);
  Dump(HKEY_LOCAL_MACHINE, L"HKLM", kCards, s);
  Dump(HKEY_CURRENT_USER, L"HKCU", L"Software", s);
  // Wine keeps state of its own there (the mouse's system parameters, written when a window first takes
  // input): not the tool's.
  const std::wstring wine = L"HKCU\\Software\\Wine\\";
  for (auto it = s.lower_bound(wine); it != s.end() && it->first.rfind(wine, 0) == 0;) it = s.erase(it);
  return s;
}

void AddCard(const std::wstring& key, const std::string& description, const std::string& service) {
  SetValue(HKEY_LOCAL_MACHINE, std::wstring(kCards) + L"\\" + key, L"Description", REG_SZ, description);
  SetValue(HKEY_LOCAL_MACHINE, std::wstring(kCards) + L"\\" + key, L"ServiceName", REG_SZ, service);
}

void CloneImage() {
  DeleteTree(HKEY_LOCAL_MACHINE, kCards);
  ClearSavedState();  // a fresh clone of an image the tool never ran on
  DeleteTree(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001");
  DeleteTree(HKEY_CURRENT_USER, L"Software\\Valve");
  SetValue(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname", REG_SZ, Sz("MASTER"));
  SetValue(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName", REG_SZ, Sz("MASTER"));
  SetValue(HKEY_LOCAL_MACHINE, kIpx, L"VirtualNetworkNumber", REG_DWORD, std::string(4, '\0'));
  SetValue(HKEY_CURRENT_USER, kGame, L"Key", REG_SZ, Sz("OLDKEY"));
  AddCard(L"2", Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"), Sz("{AAAA-2}"));
  AddCard(L"7", Sz("Intel(R) PRO/1000 MT Network Connection"), Sz("{BBBB-7}"));
  AddCard(L"12", Sz("VIA Rhine II Fast Ethernet Adapter"), Sz("{CCCC-12}"));
  const std::wstring realtek = std::wstring(kInterfaces) + L"\\{AAAA-2}";
  SetValue(HKEY_LOCAL_MACHINE, realtek, L"EnableDHCP", REG_DWORD, std::string("\1\0\0\0", 4));
  SetValue(HKEY_LOCAL_MACHINE, realtek, L"IPAddress", REG_MULTI_SZ, std::string("192.168.0.200\0\0", 15));
  SetValue(HKEY_LOCAL_MACHINE, realtek, L"SubnetMask", REG_MULTI_SZ, std::string("255.255.255.0\0\0", 15));
  SetValue(HKEY_LOCAL_MACHINE, realtek, L"DefaultGateway", REG_MULTI_SZ, std::string("192.168.0.1\0\0", 13));
  SetValue(HKEY_LOCAL_MACHINE, realtek, L"NameServer", REG_SZ, Sz("192.168.0.1"));
  const std::wstring intel = std::wstring(kInterfaces) + L"\\{BBBB-7}";
  SetValue(HKEY_LOCAL_MACHINE, intel, L"IPAddress", REG_MULTI_SZ, std::string("10.0.0.7\0\0", 10));
  SetValue(HKEY_LOCAL_MACHINE, intel, L"SubnetMask", REG_MULTI_SZ, std::string("255.0.0.0\0\0", 11));
  SetValue(HKEY_LOCAL_MACHINE, intel, L"NameServer", REG_SZ, Sz("10.0.0.1"));  // no DefaultGateway
  SetValue(HKEY_LOCAL_MACHINE, std::wstring(kInterfaces) + L"\\{CCCC-12}", L"EnableDHCP", REG_DWORD,
           std::string("\1\0\0\0", 4));
}

void WriteConfig(const std::wstring& toolPath, const std::wstring& content) {
  WriteConfigBytes(toolPath, Ansi(content));
}

void WriteConfigBytes(const std::wstring& toolPath, const std::string& bytes) {
  const std::wstring path = toolPath.substr(0, toolPath.find_last_of(L'\\')) + L"\\config.ini";
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

void RemoveConfig(const std::wstring& toolPath) {
  const std::wstring path = toolPath.substr(0, toolPath.find_last_of(L'\\')) + L"\\config.ini";
  ::DeleteFileW(path.c_str());
}

}  // namespace vexa::e2e
