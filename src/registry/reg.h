// Module Reg: registry locations written as one text ("HKEY_LOCAL_MACHINE\SYSTEM\..."), and the value
// operations the rest of the tool uses (reading a string, a DWORD or a value's exact bytes, whether a key
// exists, writing typed bytes). Each operation opens its key, does one read or write and closes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vexa::Reg {

// The handle of one of the seven root names (exact, case-sensitive), or 0.
std::uint32_t RootKeyByName(std::wstring_view name);

// A path checked and split: the root handle (0 for a root name not in the table) and the sub-key; or
// malformed (not "HKEY_..." or ending in a backslash), which the window tells the operator in a box
// (kBadFormat); nothing is read or written through either.
struct SplitPath {
  std::uint32_t root = 0;
  std::wstring subKey;
  bool malformed = false;
};
SplitPath SplitRegPath(std::wstring_view path);
// The box's text for a malformed path: "Incorrect Format:", two line feeds, the path.
inline constexpr std::wstring_view kBadFormat = L"Incorrect Format:\n\n";

// A value read as text: the buffer's text as the read builds it (blanks around it and its last character
// gone; a NUL and leftovers may stay), or why there is none. Callers say what they show for each.
struct RegText {
  enum class Status { Read, NoRoot, Malformed, Unreadable };
  Status status = Status::Unreadable;
  std::wstring text;  // Read
  std::wstring path;  // Malformed: the path as given
  bool ok() const { return status == Status::Read; }
};
RegText ReadRegString(Platform& platform, std::wstring path, std::wstring_view valueName);

// A REG_DWORD value of four bytes as a number; nothing for any other value, or when it cannot be read.
std::optional<std::uint32_t> ReadRegDword(Platform& platform, const std::wstring& path, std::wstring_view valueName);

// Whether the key opens for reading.
bool RegKeyExists(Platform& platform, const std::wstring& path);

// The view of the registry a path is opened in: the build's own (a 32-bit build on 64-bit Windows sees
// HKLM\SOFTWARE through WOW6432Node), or the 64-bit one from either build, where Windows keeps what it
// shares with every program (MachineGuid among it).
enum class View { Own, Bits64 };

// A value's type and bytes as stored.
struct RegData {
  std::uint32_t type = 0;
  std::string bytes;
  bool operator==(const RegData& other) const = default;
};

// What each write stores: a DWORD's four bytes; a string's ANSI bytes and its NUL; a multi-string's ANSI
// bytes as given (the caller supplies its NULs).
RegData DwordData(std::int32_t value);
RegData SzData(TextCodec& text, const std::wstring& value);
RegData MultiSzData(TextCodec& text, const std::wstring& value);

struct RegRead {
  bool keyOpened = false;
  bool noKey = false;            // there is no such key (not the same as a key that refuses reading)
  bool absent = false;           // the key opened and holds no value of that name (not the same as empty)
  std::optional<RegData> value;  // none when the key or the value cannot be read
};
// The value as stored, read in full.
RegRead ReadRegData(Platform& platform, const std::wstring& path, std::wstring_view valueName, View view = View::Own);

// What a write did: stored the value; found no key there (a write never creates one); or failed otherwise
// (no root, the key refuses writing, the value is refused).
enum class Written { Yes, NoKey, Failed };
Written WriteRegData(Platform& platform, const std::wstring& path, std::wstring_view valueName, const RegData& data,
                     View view = View::Own);

// The key, created with every missing key above it; false when it cannot be.
bool CreateRegKey(Platform& platform, const std::wstring& path);
// The value gone: true when it was deleted or was not there (nor its key).
bool DeleteRegValue(Platform& platform, const std::wstring& path, std::wstring_view valueName, View view = View::Own);
// The key (without sub-keys) gone: true when it was deleted or was not there.
bool DeleteRegKey(Platform& platform, const std::wstring& path);

}  // namespace vexa::Reg
