#include "registry/reg.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/owned.h"

namespace vexa::Reg {

namespace {

constexpr std::size_t kReadBufferSize = 255;

constexpr std::array<std::pair<std::wstring_view, RegHandle>, kPredefinedRootCount> kRoots{{
    {L"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
    {L"HKEY_CURRENT_USER", kHkeyCurrentUser},
    {L"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {L"HKEY_USERS", kHkeyUsers},
    {L"HKEY_PERFORMANCE_DATA", kHkeyPerformanceData},
    {L"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
    {L"HKEY_DYN_DATA", kHkeyDynData},
}};

// Splits the path and opens its key; false when there is no root or the key does not open.
struct Opened {
  bool hasRoot = false;
  UniqueKey key;
  long result = status::kFileNotFound;  // RegOpenKeyExA's, when there is a root
};

Opened OpenPath(Platform& platform, const std::wstring& path, std::uint32_t access, View view = View::Own) {
  if (view == View::Bits64) access |= kKeyWow64_64Key;
  Opened opened{false, UniqueKey(platform.registry)};
  const SplitPath split = SplitRegPath(path);
  if (split.root == 0) return opened;
  opened.hasRoot = true;
  opened.result = opened.key.Open(split.root, platform.text.ToAnsi(split.subKey).c_str(), access);
  return opened;
}

}  // namespace

std::uint32_t RootKeyByName(std::wstring_view name) {
  for (const auto& [rootName, handle] : kRoots) {
    if (rootName == name) return static_cast<std::uint32_t>(handle);
  }
  return 0;
}

SplitPath SplitRegPath(std::wstring_view path) {
  SplitPath split;
  if (path.compare(0, 5, L"HKEY_") != 0 || path.size() < 5 || path.back() == L'\\') {
    split.malformed = true;
    return split;
  }
  const std::size_t slash = path.find(L'\\');
  if (slash == std::wstring_view::npos) {
    split.root = RootKeyByName(path);
    return split;
  }
  split.root = RootKeyByName(path.substr(0, slash));
  split.subKey = path.substr(slash + 1);
  return split;
}

RegText ReadRegString(Platform& platform, std::wstring path, std::wstring_view valueName) {
  RegText read;
  if (SplitRegPath(path).malformed) {
    read.status = RegText::Status::Malformed;
    read.path = std::move(path);
    return read;
  }
  Opened opened = OpenPath(platform, path, kKeyRead);
  if (!opened.hasRoot) {
    read.status = RegText::Status::NoRoot;
    return read;
  }
  if (!opened.key) return read;

  std::string buffer(kReadBufferSize, ' ');
  auto length = static_cast<std::uint32_t>(kReadBufferSize);
  std::uint32_t type = 0;
  long result = platform.registry.RegQueryValueExA(opened.key.get(), platform.text.ToAnsi(valueName).c_str(), &type,
                                                   reinterpret_cast<std::uint8_t*>(buffer.data()), &length);
  opened.key.reset();
  if (result != status::kSuccess) return read;

  // The whole buffer is taken back, whatever the query left after the data; blanks around it go, and so
  // does the last character (the terminator of a plain string).
  read.status = RegText::Status::Read;
  const std::wstring text = platform.text.FromAnsi(buffer);
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return read;
  const std::size_t last = text.find_last_not_of(L' ');
  read.text = text.substr(first, last - first);
  return read;
}

std::optional<std::uint32_t> ReadRegDword(Platform& platform, const std::wstring& path, std::wstring_view valueName) {
  Opened opened = OpenPath(platform, path, kKeyRead);
  if (!opened.key) return std::nullopt;
  std::uint8_t data[4] = {};
  std::uint32_t length = sizeof data;
  std::uint32_t type = 0;
  const long result = platform.registry.RegQueryValueExA(opened.key.get(), platform.text.ToAnsi(valueName).c_str(),
                                                         &type, data, &length);
  if (result != status::kSuccess || type != kRegDword || length != sizeof data) return std::nullopt;
  return static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);
}

bool RegKeyExists(Platform& platform, const std::wstring& path) {
  return static_cast<bool>(OpenPath(platform, path, kKeyRead).key);
}

RegData DwordData(std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  return {kRegDword,
          {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
           static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)}};
}

RegData SzData(TextCodec& text, const std::wstring& value) {
  std::string bytes = text.ToAnsi(value);
  bytes.push_back('\0');
  return {kRegSz, bytes};
}

RegData MultiSzData(TextCodec& text, const std::wstring& value) { return {kRegMultiSz, text.ToAnsi(value)}; }

Written WriteRegData(Platform& platform, const std::wstring& path, std::wstring_view valueName, const RegData& data,
                     View view) {
  const Opened opened = OpenPath(platform, path, kKeyWrite, view);
  if (!opened.key) return opened.hasRoot && opened.result == status::kFileNotFound ? Written::NoKey : Written::Failed;
  const long result = platform.registry.RegSetValueExA(
      opened.key.get(), platform.text.ToAnsi(valueName).c_str(), data.type,
      reinterpret_cast<const std::uint8_t*>(data.bytes.data()), static_cast<std::uint32_t>(data.bytes.size()));
  return result == status::kSuccess ? Written::Yes : Written::Failed;
}

RegRead ReadRegData(Platform& platform, const std::wstring& path, std::wstring_view valueName, View view) {
  RegRead read;
  Opened opened = OpenPath(platform, path, kKeyRead, view);
  if (!opened.key) {
    read.noKey = opened.hasRoot && opened.result == status::kFileNotFound;
    return read;
  }
  read.keyOpened = true;
  const std::string name = platform.text.ToAnsi(valueName);
  std::uint32_t length = 0;
  std::uint32_t type = 0;
  const long sized = platform.registry.RegQueryValueExA(opened.key.get(), name.c_str(), &type, nullptr, &length);
  if (sized != status::kSuccess) {
    read.absent = sized == status::kFileNotFound;
    return read;
  }
  std::string bytes(length, '\0');
  if (platform.registry.RegQueryValueExA(opened.key.get(), name.c_str(), &type,
                                         reinterpret_cast<std::uint8_t*>(bytes.data()), &length) != status::kSuccess) {
    return read;
  }
  bytes.resize(length);
  read.value = RegData{type, bytes};
  return read;
}

bool CreateRegKey(Platform& platform, const std::wstring& path) {
  const SplitPath split = SplitRegPath(path);
  if (split.root == 0) return false;
  RegHandle handle = 0;
  if (platform.registry.RegCreateKeyExA(split.root, platform.text.ToAnsi(split.subKey).c_str(), kKeyWrite, &handle) !=
      status::kSuccess) {
    return false;
  }
  platform.registry.RegCloseKey(handle);
  return true;
}

bool DeleteRegValue(Platform& platform, const std::wstring& path, std::wstring_view valueName, View view) {
  const Opened opened = OpenPath(platform, path, kKeyWrite, view);
  if (!opened.key) return opened.hasRoot && opened.result == status::kFileNotFound;
  const long result = platform.registry.RegDeleteValueA(opened.key.get(), platform.text.ToAnsi(valueName).c_str());
  return result == status::kSuccess || result == status::kFileNotFound;
}

bool DeleteRegKey(Platform& platform, const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return false;  // a root is never deleted
  const std::wstring name = path.substr(slash + 1);
  const Opened parent = OpenPath(platform, path.substr(0, slash), kKeyWrite);
  if (!parent.key) return parent.hasRoot && parent.result == status::kFileNotFound;
  const long result = platform.registry.RegDeleteKeyA(parent.key.get(), platform.text.ToAnsi(name).c_str());
  return result == status::kSuccess || result == status::kFileNotFound;
}

}  // namespace vexa::Reg
