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

// What a read yields when the key cannot be opened or the value cannot be read.
inline constexpr std::wstring_view kReadFailure = L"Error";

// The handle of one of the seven root names (exact, case-sensitive), or 0.
std::uint32_t RootKeyByName(std::wstring_view name);

// Checks and splits a path. On success the path becomes the sub-key and the root handle is returned (0
// for a root name not in the table). A malformed path shows "Incorrect Format:" and yields 0, path unchanged.
std::uint32_t SplitRegPath(MessageBoxes& messages, std::wstring& path);

// The value as text: "Error" when the key or the value cannot be read, empty when the path has no root.
std::wstring ReadRegString(Platform& platform, std::wstring path, std::wstring_view valueName);

// A REG_DWORD value of four bytes as a number; nothing for any other value, or when it cannot be read.
std::optional<std::uint32_t> ReadRegDword(Platform& platform, std::wstring path, std::wstring_view valueName);

// Whether the key opens for reading.
bool RegKeyExists(Platform& platform, std::wstring path);

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
RegRead ReadRegData(Platform& platform, std::wstring path, std::wstring_view valueName);

// What a write did: stored the value; found no key there (a write never creates one); or failed otherwise
// (no root, the key refuses writing, the value is refused).
enum class Written { Yes, NoKey, Failed };
Written WriteRegData(Platform& platform, std::wstring path, std::wstring_view valueName, const RegData& data);

// The key, created with every missing key above it; false when it cannot be.
bool CreateRegKey(Platform& platform, std::wstring path);
// The value gone: true when it was deleted or was not there (nor its key).
bool DeleteRegValue(Platform& platform, std::wstring path, std::wstring_view valueName);
// The key (without sub-keys) gone: true when it was deleted or was not there.
bool DeleteRegKey(Platform& platform, const std::wstring& path);

}  // namespace vexa::Reg
