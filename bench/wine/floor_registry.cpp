// The OK action's floor: the same registry and config.ini reads and the same nine writes as bare API calls,
// and the same other work each press requires (config.ini's bytes for its encoding and its [Log] folder,
// the control set Windows boots with, the card's hardware address for the log, the log line appended under
// its lock with the tool's link and rotation checks, and the machine's earlier values read as every write
// after the first reads them), timed in-process. Usage: floor_registry ITERATIONS.
// Prints the median microseconds of one action.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include "median_time.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const char* kCardKeys[] = {"12", "2", "7"};
const char* kCard =
    "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\"
    "{3F5A1C2E-1B7D-4E8A-9C61-2A7B5D9E0F11}";

std::string Query(const std::string& path, const char* name) {
  HKEY key = nullptr;
  char buffer[255];
  DWORD length = sizeof buffer;
  std::string out;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) == ERROR_SUCCESS) {
      out.assign(buffer, std::strlen(buffer));
    }
    ::RegCloseKey(key);
  }
  return out;
}

void Set(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD length) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, path, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), length);
  ::RegCloseKey(key);
}

using GetAdaptersAddressesFn = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);

std::uint64_t Identity(HANDLE file, DWORD* volume) {
  BY_HANDLE_FILE_INFORMATION info{};
  ::GetFileInformationByHandle(file, &info);
  *volume = info.dwVolumeSerialNumber;
  return static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

// A whole file's bytes, read with bare calls; through handle when one is given (the log, under its lock).
std::string ReadAll(const std::string& path, HANDLE handle = INVALID_HANDLE_VALUE) {
  HANDLE file = handle != INVALID_HANDLE_VALUE
                    ? handle
                    : ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  LARGE_INTEGER size{};
  LARGE_INTEGER start{};
  ::GetFileSizeEx(file, &size);
  ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return bytes;
}

// A line at the end of the log, as safely as the tool appends it: the name opened as itself (never
// through a link), checked to be a plain file of that name, locked, checked to be still the file the name
// leads to (no rotation by another run meanwhile), its bytes and .old's read, then one write.
void AppendLine(const std::string& log) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = ::CreateFileA(log.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    file = ::CreateFileA(log.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info{};
  ::GetFileInformationByHandle(file, &info);
  char final[MAX_PATH * 2];
  ::GetFinalPathNameByHandleA(file, final, sizeof final, FILE_NAME_NORMALIZED);
  OVERLAPPED whole{};
  ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole);
  HANDLE named = ::CreateFileA(log.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  DWORD mine = 0;
  DWORD there = 0;
  const bool same = Identity(file, &mine) == Identity(named, &there);
  ::CloseHandle(named);
  LARGE_INTEGER size{};
  ::GetFileSizeEx(file, &size);
  // What the guard reads before the write: both files, the log through the locked handle.
  volatile std::size_t bytes = ReadAll(log + ".old").size() + ReadAll(log, file).size();
  (void)bytes;
  LARGE_INTEGER offset{};
  if (same) {
    const char line[] =
        "2026-12-08 09:30:05\t窗口\t已写入\t机号=15\t计算机名=WB-15\tIP=192.168.0.15\t"
        "网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=\t未写入=\t退出码=0\r\n";
    DWORD written = 0;
    ::SetFilePointerEx(file, offset, nullptr, FILE_END);
    ::WriteFile(file, line, sizeof line - 1, &written, nullptr);
  }
  ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  ::CloseHandle(file);
}

// The work each press needs besides the nine values: config.ini's bytes, Select\Current and its set,
// the card's hardware address, the log read whole (.old and the log) and a line at its end.
void Overhead(const std::string& ini, GetAdaptersAddressesFn adapters) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &data);
  HANDLE file = ::CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char bytes[4096];
    DWORD read = 0;
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file, &size);
    ::ReadFile(file, bytes, static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, sizeof bytes)), &read, nullptr);
    ::CloseHandle(file);
  }
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\Select", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD current = 0;
    DWORD length = sizeof current;
    ::RegQueryValueExA(key, "Current", nullptr, nullptr, reinterpret_cast<BYTE*>(&current), &length);
    ::RegCloseKey(key);
  }
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    ::RegCloseKey(key);
  }
  static unsigned char buffer[16 * 1024];
  ULONG size = sizeof buffer;
  adapters(AF_UNSPEC,
           GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
               GAA_FLAG_SKIP_FRIENDLY_NAME,
           nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer), &size);
  AppendLine(ini.substr(0, ini.find_last_of('\\')) + "\\floor.log");
}

// The machine's earlier values as the tool asks for them before a write: the key opened, the value's size
// and then its bytes read. (Once they are kept, every later write only reads them.)
std::string SavedValues() {
  HKEY key = nullptr;
  std::string bytes;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VexaIpSet", 0, KEY_READ, &key) != ERROR_SUCCESS) return bytes;
  DWORD length = 0;
  DWORD type = 0;
  if (::RegQueryValueExA(key, "Values", nullptr, &type, nullptr, &length) == ERROR_SUCCESS) {
    bytes.resize(length);
    ::RegQueryValueExA(key, "Values", nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &length);
  }
  ::RegCloseKey(key);
  return bytes;
}

void Action(const std::string& ini) {
  char value[254];
  for (const char* k : {"IPOffset", "IP", "Mask", "GateWay", "DNS", "NetPrefix"}) {
    ::GetPrivateProfileStringA("NetWork", k, "", value, sizeof value, ini.c_str());
  }
  ::GetPrivateProfileStringA("Log", "Folder", "", value, sizeof value, ini.c_str());
  std::string service;
  for (const char* card : kCardKeys) {
    const std::string path = std::string(kCards) + "\\" + card;
    if (Query(path, "Description") == "Realtek RTL8139 Family PCI Fast Ethernet NIC")
      service = Query(path, "ServiceName");
  }
  if (SavedValues().empty()) std::abort();  // the action keeps them before its first write
  const DWORD number = 15;
  const DWORD dhcp = 0;
  Set(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters", "VirtualNetworkNumber", REG_DWORD,
      &number, 4);
  Set(HKEY_LOCAL_MACHINE, kCard, "EnableDHCP", REG_DWORD, &dhcp, 4);
  Set(HKEY_LOCAL_MACHINE, kCard, "IPAddress", REG_MULTI_SZ, "192.168.0.15\0", 14);
  Set(HKEY_LOCAL_MACHINE, kCard, "SubnetMask", REG_MULTI_SZ, "255.255.255.0\0", 15);
  Set(HKEY_LOCAL_MACHINE, kCard, "DefaultGateway", REG_MULTI_SZ, "192.168.0.1\0", 13);
  Set(HKEY_LOCAL_MACHINE, kCard, "NameServer", REG_SZ, "202.102.224.68,202.102.227.68", 30);
  Set(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters", "NV Hostname", REG_SZ, "WB-15", 6);
  Set(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", REG_SZ,
      "WB-15", 6);
  ::GetPrivateProfileStringA("CSCDK", "CDKey15", "0000000000000", value, sizeof value, ini.c_str());
  Set(HKEY_CURRENT_USER, "Software\\Valve\\CounterStrike\\Settings", "Key", REG_SZ, value,
      static_cast<DWORD>(std::strlen(value) + 1));
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 200;
  char module[MAX_PATH];
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string ini(module);
  ini = ini.substr(0, ini.find_last_of('\\')) + "\\config.ini";
  HMODULE iphlpapi = ::LoadLibraryExA("iphlpapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  auto adapters = reinterpret_cast<GetAdaptersAddressesFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(iphlpapi, "GetAdaptersAddresses")));
  std::printf("%.1f\n", MedianMicroseconds(iterations, [&] {
                Action(ini);
                Overhead(ini, adapters);
              }));
  return 0;
}
