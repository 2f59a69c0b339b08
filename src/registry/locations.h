// Where Windows and the game keep what the tool reads and writes: every registry location and value name,
// as the RegistryPath texts that module Reg takes.
#pragma once

#include <string>
#include <string_view>

namespace vexa::locations {

// The network-card list. Enumerated below HKEY_LOCAL_MACHINE by its sub-key; each card's values are read
// through the RegistryPath of the card's key.
inline constexpr std::wstring_view kNetworkCardsSubKey =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline std::wstring NetworkCard(std::wstring_view cardKey) {
  return L"HKEY_LOCAL_MACHINE\\" + std::wstring(kNetworkCardsSubKey) + L"\\" + std::wstring(cardKey);
}
inline constexpr std::wstring_view kDescription = L"Description";
inline constexpr std::wstring_view kServiceName = L"ServiceName";

// The control sets: Select names the one Windows boots with (control_set.h); ControlSet001 when it names
// none that exists.
inline constexpr std::wstring_view kSelect = L"HKEY_LOCAL_MACHINE\\SYSTEM\\Select";
inline constexpr std::wstring_view kCurrent = L"Current";
inline constexpr std::wstring_view kDefaultControlSet = L"ControlSet001";

// A control set's key: HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001 and the like.
inline std::wstring ControlSet(std::wstring_view controlSet) {
  return L"HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::wstring(controlSet);
}

inline std::wstring TcpipParameters(std::wstring_view controlSet) {
  return ControlSet(controlSet) + L"\\Services\\Tcpip\\Parameters";
}
inline constexpr std::wstring_view kNvHostname = L"NV Hostname";

// A card's TCP/IP interface key: the service name is appended as read, NUL and leftovers included.
inline std::wstring TcpipInterface(std::wstring_view controlSet, std::wstring_view serviceName) {
  return TcpipParameters(controlSet) + L"\\Interfaces\\" + std::wstring(serviceName);
}
inline constexpr std::wstring_view kEnableDhcp = L"EnableDHCP";

// A card's connection as the Network Connections folder names it ("本地连接"): under the network adapters'
// class, by the card's service name.
inline std::wstring Connection(std::wstring_view serviceName) {
  return L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Network\\"
         L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
         std::wstring(serviceName) + L"\\Connection";
}
inline constexpr std::wstring_view kConnectionName = L"Name";
inline constexpr std::wstring_view kIpAddress = L"IPAddress";
inline constexpr std::wstring_view kSubnetMask = L"SubnetMask";
inline constexpr std::wstring_view kDefaultGateway = L"DefaultGateway";
inline constexpr std::wstring_view kNameServer = L"NameServer";

inline std::wstring IpxParameters(std::wstring_view controlSet) {
  return ControlSet(controlSet) + L"\\Services\\NwlnkIpx\\Parameters";
}
inline constexpr std::wstring_view kVirtualNetworkNumber = L"VirtualNetworkNumber";

// The computer name goes through the link to the running control set (spelled "System").
inline constexpr std::wstring_view kComputerName =
    L"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
inline constexpr std::wstring_view kComputerNameValue = L"ComputerName";

// The tool's own key: what the machine held before the tool first changed it, for /undo. In the view of
// the registry every other location is read in.
inline constexpr std::wstring_view kSavedState = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet";
// Its values: every saved value in one binary value, written last and whole (apply/saved_state.cpp gives its
// layout); beside it the card's service name, and the version and time for a person looking at the key.
inline constexpr std::wstring_view kSavedValues = L"Values";
inline constexpr std::wstring_view kSavedCard = L"Card";
inline constexpr std::wstring_view kSavedVersion = L"Version";
inline constexpr std::wstring_view kSavedTime = L"Time";

// The machine's identifier that programs (billing clients, remote-control agents, licences) tell machines
// apart by: Windows keeps it in the registry's 64-bit view only, and Sysprep alone renews it.
inline constexpr std::wstring_view kCryptography = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography";
inline constexpr std::wstring_view kMachineGuid = L"MachineGuid";

// The names Windows runs under until the next restart, read through the running control set.
inline constexpr std::wstring_view kActiveComputerName =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName";
inline constexpr std::wstring_view kRunningTcpip =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr std::wstring_view kHostname = L"Hostname";

// Where programs are installed (the 32-bit build on 64-bit Windows reads "Program Files (x86)"): only
// administrators and SYSTEM may write there.
inline constexpr std::wstring_view kCurrentVersion =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr std::wstring_view kProgramFilesDir = L"ProgramFilesDir";

// The game's key, per user: the running user's, and below the top of any user's hive.
inline constexpr std::wstring_view kGameSettings = L"HKEY_CURRENT_USER\\Software\\Valve\\CounterStrike\\Settings";
inline constexpr std::wstring_view kGameSettingsInHive = L"Software\\Valve\\CounterStrike\\Settings";

// The accounts' profiles Windows keeps: one sub-key per account SID with its folder (ProfileImagePath);
// the default profile new accounts are copied from (Default; before Vista ProfilesDirectory and
// DefaultUserProfile). Each profile's registry hive is the NTUSER.DAT in its folder.
inline constexpr std::wstring_view kProfileList =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
inline constexpr std::wstring_view kProfileImagePath = L"ProfileImagePath";
inline constexpr std::wstring_view kDefaultProfile = L"Default";
inline constexpr std::wstring_view kProfilesDirectory = L"ProfilesDirectory";
inline constexpr std::wstring_view kDefaultUserProfile = L"DefaultUserProfile";
inline constexpr std::wstring_view kUsers = L"HKEY_USERS";
inline constexpr std::wstring_view kGameKeyValue = L"Key";

}  // namespace vexa::locations
