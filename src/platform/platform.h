// The one door to the operating system. The registry, profile and restart operations mirror the Windows
// call each stands for: the same arguments, the same result codes, ANSI (code page 936) bytes where Windows
// takes ANSI text. Message boxes take the tool's own buttons and icons. Files, System, TextCodec, Adapters
// and Console are shaped by what the tool needs of them (whole files and the log's shared handle, folders and the
// clock, conversion, adapters as a list, console bytes) and say what they stand for at each operation. Two
// implementations: win32/ (the real calls) and sim/ (a simulated Windows for tests).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Result codes of the registry calls, as Windows defines them.
namespace status {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kSharingViolation = 32;
constexpr long kInvalidParameter = 87;
constexpr long kBadPathname = 161;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kBadDb = 1009;
constexpr long kRegistryCorrupt = 1015;
constexpr long kPrivilegeNotHeld = 1314;
}  // namespace status

// An HKEY as a number.
using RegHandle = std::uintptr_t;

// The seven predefined roots, in the order of their values.
constexpr RegHandle kHkeyClassesRoot = 0x80000000;
constexpr RegHandle kHkeyCurrentUser = 0x80000001;
constexpr RegHandle kHkeyLocalMachine = 0x80000002;
constexpr RegHandle kHkeyUsers = 0x80000003;
constexpr RegHandle kHkeyPerformanceData = 0x80000004;
constexpr RegHandle kHkeyCurrentConfig = 0x80000005;
constexpr RegHandle kHkeyDynData = 0x80000006;
constexpr int kPredefinedRootCount = 7;
constexpr bool IsPredefinedRoot(RegHandle key) { return key >= kHkeyClassesRoot && key <= kHkeyDynData; }

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
// KEY_WOW64_64KEY: the registry's 64-bit view from a 32-bit program too (ignored by 32-bit Windows).
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// advapi32 registry calls. Names are NUL-terminated ANSI strings, so a name carrying a NUL is seen only
// up to it, as Windows sees it.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual long RegOpenKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) = 0;
  // Copies the value's bytes into data. When *length is too small: kMoreData and *length = size needed;
  // what data then holds is undefined. A string stored without its NUL is given one only when there is
  // room, and the NUL is not counted.
  virtual long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* length) = 0;
  virtual long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t length) = 0;
  virtual long RegCloseKey(RegHandle key) = 0;
  virtual long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t size) = 0;
  // Opens the key, creating it and any missing key above it (non-volatile, no security descriptor given).
  virtual long RegCreateKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) = 0;
  // A value that is not there: kFileNotFound.
  virtual long RegDeleteValueA(RegHandle key, const char* valueName) = 0;
  // Deletes a key that has no sub-keys (one that has them: kAccessDenied, as Windows answers).
  virtual long RegDeleteKeyA(RegHandle key, const char* subKey) = 0;
  // Mounts a hive file (a profile's NTUSER.DAT) as root\subKey; needs SeBackupPrivilege and SeRestorePrivilege
  // enabled. A file another program holds (the user is logged on): kSharingViolation.
  virtual long RegLoadKeyA(RegHandle root, const char* subKey, const char* file) = 0;
  // Unmounts what RegLoadKeyA mounted, its changes kept in the file.
  virtual long RegUnLoadKeyA(RegHandle root, const char* subKey) = 0;
};

// kernel32 private-profile (INI) reading. Returns the number of bytes copied, without the NUL.
class Profile {
 public:
  virtual ~Profile() = default;
  virtual std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                                 char* buffer, std::uint32_t size, const char* fileName) = 0;
};

enum class MsgButtons { Ok, YesNo, RetryCancel };
enum class MsgIcon { None, Information, Exclamation, Critical };
enum class MsgAnswer { Ok, Yes, No, Retry, Cancel };

inline constexpr std::wstring_view kApplicationTitle = L"VexaIpSet";

// Modal message boxes. A box given no title shows kApplicationTitle.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MsgAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MsgButtons buttons,
                         MsgIcon icon) = 0;
};

// TOKEN_PRIVILEGES sized for two entries, laid out as Windows lays it out (28 bytes).
struct PrivilegeRecord {
  struct Entry {
    std::uint32_t LowPart;
    std::int32_t HighPart;
    std::uint32_t Attributes;
  };
  std::uint32_t PrivilegeCount;
  Entry Privileges[2];
};
static_assert(sizeof(PrivilegeRecord) == 28, "TOKEN_PRIVILEGES with two entries is 28 bytes");

struct Luid {
  std::uint32_t LowPart = 0;
  std::int32_t HighPart = 0;
};

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x08;
constexpr std::uint32_t kSePrivilegeEnabled = 2;
constexpr std::uint32_t kEwxReboot = 2;
constexpr std::uint32_t kEwxForce = 4;

// The token and restart calls, one by one.
class Restart {
 public:
  virtual ~Restart() = default;
  virtual std::uintptr_t GetCurrentProcess() = 0;
  virtual bool OpenProcessToken(std::uintptr_t process, std::uint32_t access, std::uintptr_t* token) = 0;
  virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
  virtual bool AdjustTokenPrivileges(std::uintptr_t token, bool disableAll, const PrivilegeRecord* newState,
                                     std::uint32_t bufferLength, PrivilegeRecord* previousState,
                                     std::uint32_t* returnLength) = 0;
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;
  virtual bool CloseHandle(std::uintptr_t handle) = 0;
};

constexpr std::uint32_t kSwShowMinimized = 2;

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Program start and the folders the tool needs to know.
class System {
 public:
  virtual ~System() = default;
  // Starts applicationPath with the given command line and show-window value; does not wait.
  virtual bool StartProgram(const char* applicationPath, const char* commandLine, std::uint32_t showWindow) = 0;
  // The Windows folder (GetWindowsDirectoryA), without a trailing backslash unless it is a drive root.
  virtual std::string WindowsDirectory() = 0;
  // The folder of the running executable (from GetModuleFileNameA).
  virtual std::string ModuleDirectory() = 0;
  // The running executable's full path (GetModuleFileNameA); one on a share as \\server\share\...
  virtual std::string ModulePath() = 0;
  // GetLocalTime.
  virtual LocalTime Now() = 0;
  // GetTickCount64: milliseconds since Windows started, for the boot time and for waiting.
  virtual std::uint64_t MillisecondsSinceBoot() = 0;
  // Sleep.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // GetCurrentProcessId: tells runs started in the same millisecond apart (their waits for the log).
  virtual std::uint32_t ProcessId() = 0;
  // The machine SID: the account domain's ("S-1-5-21-…"), which Sysprep alone renews
  // (LsaQueryInformationPolicy, ConvertSidToStringSidA); "" when it cannot be read.
  virtual std::string MachineSid() = 0;
  // RtlGenRandom: size bytes from the system's generator, as a new MachineGuid takes them; false for none.
  virtual bool RandomBytes(std::uint8_t* buffer, std::uint32_t size) = 0;
  // ExpandEnvironmentStringsA: a REG_EXPAND_SZ path with its %variables% replaced ("" when it fails).
  virtual std::string ExpandEnvironment(const char* text) = 0;
};

// Wide text to and from the system's ANSI code page. Embedded NULs are kept; lengths count ANSI bytes.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::string ToAnsi(std::wstring_view text) = 0;
  virtual std::wstring FromAnsi(std::string_view bytes) = 0;
  // IsDBCSLeadByte: the byte starts a two-byte character of the ANSI code page.
  virtual bool IsLeadByte(char byte) = 0;
  // Where text holds the first character the ANSI code page has no form of (WideCharToMultiByte with
  // WC_NO_BEST_FIT_CHARS reports it through lpUsedDefaultChar); nothing when every one converts exactly.
  virtual std::optional<std::size_t> FirstUnmappable(std::wstring_view text) = 0;
};

// An open file of Files::OpenShared, as a number.
using FileHandle = std::uintptr_t;

// Why a file could not be read, or Read: Missing (no such file or folder), Held (another program has it
// open without sharing, or another run holds its lock), TooLarge (past the reader's bound), NotPlain (a
// folder or a device of that name), Failed (anything else: no rights, a share that stopped answering).
enum class ReadStatus { Read, Missing, Held, TooLarge, NotPlain, Failed };
struct FileRead {
  ReadStatus status = ReadStatus::Failed;
  std::string bytes;  // Read: the whole content
  bool ok() const { return status == ReadStatus::Read; }
};

// How a rename ended: Held when the name to replace (or to move) is open without delete sharing; Denied
// when Windows refused it (no right to delete or rename there, a read-only file, a folder of that name).
enum class MoveStatus { Moved, Held, Denied, Failed };

// File operations on ANSI paths, each a short sequence of kernel32 calls (CreateFileA, ReadFile,
// WriteFile, FlushFileBuffers, GetFileSizeEx, MoveFileExA, DeleteFileA, GetTempPathA, LockFileEx,
// GetFileInformationByHandle, GetFinalPathNameByHandleA).
class Files {
 public:
  virtual ~Files() = default;
  // Busy: a sharing conflict with another opener; Link: path is a link that leads nowhere (nothing made).
  enum class Open { Opened, Busy, Failed, Link };
  struct Opened {
    Open status = Open::Failed;
    FileHandle file = 0;
  };
  // Opens path for reading and writing, created when missing, sharing reading, writing and deleting with
  // every other opener; a link is opened as itself, never followed, and nothing is created where a link
  // leads (a dangling link gives Link).
  virtual Opened OpenShared(const char* path) = 0;
  virtual void Close(FileHandle file) = 0;
  // The file has one name (no further hard link), is no reparse point, and its final path ends in name.
  virtual bool IsPlainFile(FileHandle file, std::string_view name) = 0;
  // The open file is the one path names now (it was not renamed away since it was opened).
  virtual bool IsFileAt(FileHandle file, const char* path) = 0;
  // An exclusive lock on the whole file without waiting; false while another handle holds one.
  virtual bool TryLock(FileHandle file) = 0;
  virtual void Unlock(FileHandle file) = 0;
  virtual std::optional<std::uint64_t> SizeOf(FileHandle file) = 0;
  // Up to count bytes from offset (fewer at the file's end); through the handle that holds the lock, so
  // the holder reads what others may not.
  virtual FileRead ReadAt(FileHandle file, std::uint64_t offset, std::size_t count) = 0;
  // bytes at the file's end, in one write.
  virtual bool Append(FileHandle file, std::string_view bytes) = 0;
  // FlushFileBuffers: what was appended is on the disk (or the server) before the call returns.
  virtual bool Flush(FileHandle file) = 0;
  // Cuts the file to nothing.
  virtual bool Truncate(FileHandle file) = 0;

  // The whole content, opened sharing reading, writing and deleting with every other opener (a run that
  // appends, a viewer), or why it could not be read.
  virtual FileRead ReadWholeFile(const char* path, std::uint64_t maxBytes) = 0;
  virtual std::optional<std::uint64_t> FileSize(const char* path) = 0;
  // path names a folder that can be reached (a share that answers, a drive that is mapped).
  virtual bool IsFolder(const char* path) = 0;
  // Renames from to to, replacing what to names.
  virtual MoveStatus MoveOver(const char* from, const char* to) = 0;
  virtual bool RemoveFile(const char* path) = 0;
  // CreateDirectoryA: the folder made in a parent that exists; true also when it was there already.
  virtual bool CreateFolder(const char* path) = 0;
  // RemoveDirectoryA: an empty folder removed (one that holds anything stays: false).
  virtual bool RemoveFolder(const char* path) = 0;
  // A file of a new, unique name in folder (the temporary folder when empty), created (never one that
  // exists: nobody can have prepared it) and filled with bytes; its path, or empty.
  virtual std::string CreateTempFile(std::string_view bytes, const std::string& folder) = 0;
  // path is a link of any kind: a hard link, a reparse point, a symbolic link (dangling or not).
  virtual bool IsLinkName(const char* path) = 0;
};

// One IPv4 address of an adapter and where duplicate address detection stands with it.
struct UnicastAddress {
  enum class Dad { Preferred, Duplicate, Other };
  std::string address;  // dotted
  Dad dad = Dad::Preferred;
};

// One network adapter as GetAdaptersAddresses reports it: its name (the card's TCP/IP service name, as
// "{GUID}"), its hardware address, whether it is up and its IPv4 addresses.
struct AdapterAddress {
  std::string name;
  std::string physical;  // the address's bytes, six for an Ethernet card
  bool up = true;        // OperStatus Up: connected
  std::vector<UnicastAddress> ipv4;
};

// What a list of adapters holds besides names, hardware addresses and states: the IPv4 addresses cost
// Windows most of the call (each address's detection state), so a caller that needs none leaves them out.
enum class AdapterDetail { Hardware, Ipv4 };

// iphlpapi, loaded from the system folder when first needed.
class Adapters {
 public:
  virtual ~Adapters() = default;
  // Every adapter, or nothing when the list cannot be had; ipv4 stays empty unless detail asks for it.
  virtual std::optional<std::vector<AdapterAddress>> GetAdaptersAddresses(AdapterDetail detail) = 0;
};

// The console of the process that started the tool, for a run without a window.
class Console {
 public:
  virtual ~Console() = default;
  // Standard output when it was handed over (redirected to a file or pipe), else the parent's console
  // (AttachConsole); false when there is neither.
  virtual bool Attach() = 0;
  // ANSI (code page 936) bytes to what Attach found, at once (a pipe read meanwhile sees them).
  virtual void Write(std::string_view bytes) = 0;
  // From now on Ctrl-C and Ctrl-Break no longer end the process (SetConsoleCtrlHandler): they are noted,
  // for a long command to stop at its next step and say how far it got.
  virtual void StopOnCtrlC() = 0;
  // Ctrl-C or Ctrl-Break was pressed since StopOnCtrlC.
  virtual bool Interrupted() = 0;
};

// UDP datagrams, through Winsock (ws2_32, loaded from the system folder when first needed).
class Network {
 public:
  virtual ~Network() = default;
  // bytes to the dotted IPv4 address to, port port, broadcasts allowed; sent from the local address from
  // ("" for whichever the route picks). false when the datagram could not be handed to the system.
  virtual bool SendUdp(std::string_view from, std::string_view to, std::uint16_t port, std::string_view bytes) = 0;
};

// What became of a request to the service control manager; Refused carries the system's reason.
enum class ServiceChange { Installed, Updated, Removed, Absent, Refused };
struct ServiceResult {
  ServiceChange change = ServiceChange::Refused;
  std::wstring why;  // Refused: what the system said (FormatMessage), in its words
};

// A Windows service of the tool's own (advapi32's service control manager), all in the ANSI code page.
class Services {
 public:
  virtual ~Services() = default;
  // The service name made to start automatically with Windows, before anyone logs on, as LocalSystem, its
  // own process running command (the executable's path quoted, then its switches), started only after the
  // services dependsOn names (one name; "" for none); one that exists is changed to that (Updated): never two.
  virtual ServiceResult Install(std::string_view name, std::string_view display, std::string_view description,
                                std::string_view command, std::string_view dependsOn) = 0;
  // The service name stopped when it runs, and deleted (Absent when there is none).
  virtual ServiceResult Remove(std::string_view name) = 0;
  // When the service control manager started this process as service name: reported running, work run,
  // reported stopped with work's result as its exit code; true. false at once when it was not (a person
  // started the process).
  virtual bool RunAsService(std::string_view name, const std::function<int()>& work) = 0;
};

// The services the logic below the window needs. The window system is handed to the window alone.
struct Platform {
  Registry& registry;
  Profile& profile;
  MessageBoxes& messages;
  Restart& restart;
  System& system;
  TextCodec& text;
  Files& files;
  Adapters& adapters;
  Console& console;
  Network& network;
  Services& services;
};

}  // namespace vexa
