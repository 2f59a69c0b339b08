// The registry and config.ini of the Wine prefix the tool runs in, set up and read back through Wine's
// own registry calls.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace vexa::e2e {

inline constexpr const wchar_t* kCards = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline constexpr const wchar_t* kTcpip = L"SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters";
inline constexpr const wchar_t* kInterfaces = L"SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces";
inline constexpr const wchar_t* kIpx = L"SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters";
inline constexpr const wchar_t* kComputerName = L"System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
inline constexpr const wchar_t* kGame = L"Software\\Valve\\CounterStrike\\Settings";
// The tool's own key, where it keeps what the machine held before it first changed it: in the 32-bit view
// for the 32-bit build (HKLM\SOFTWARE is redirected for it), in the 64-bit one for the 64-bit build.
inline constexpr const wchar_t* kSavedState = L"SOFTWARE\\VexaIpSet";

struct Value {
  DWORD type = 0;
  std::string data;
  bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};

// Values by "ROOT\key path|value name", for comparing the registry before and after.
using Snapshot = std::map<std::wstring, Value>;

std::string Ansi(const std::wstring& text);  // code page 936
std::string Sz(const std::string& ansi);     // with its terminator

void SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const std::string& data);
std::optional<Value> GetValue(HKEY root, const std::wstring& path, const std::wstring& name);
void DeleteTree(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);
Snapshot TakeSnapshot();
// The tool's saved state in either view: removed (a fresh clone has none), or whether there is one.
void ClearSavedState();
bool SavedStateExists();
// In how many of the registry's two views (32-bit, 64-bit) a saved state is: a planted one is in both, a
// build of the tool removes the one of its own view.
int SavedStateViews();
// A saved state planted in both views (an image's, or a forged one): its values' bytes as the tool packs
// them.
void PlantSavedState(const std::string& values);

// The cloned image: three cards (keys 2, 7, 12), their interface keys, host name, IPX and game keys.
void CloneImage();
void AddCard(const std::wstring& key, const std::string& description, const std::string& service);

// config.ini beside the tool, written in GBK; RemoveConfig leaves the tool with its defaults.
void WriteConfig(const std::wstring& toolPath, const std::wstring& content);
void WriteConfigBytes(const std::wstring& toolPath, const std::string& bytes);
void RemoveConfig(const std::wstring& toolPath);

}  // namespace vexa::e2e
