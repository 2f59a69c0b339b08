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

Opened OpenPath(Platform& platform, std::wstring path, std::uint32_t access) {
  Opened opened{false, UniqueKey(platform.registry)};
  std::uint32_t root = SplitRegPath(platform.messages, path);
  if (root == 0) return opened;
  opened.hasRoot = true;
  opened.result = opened.key.Open(root, platform.text.ToAnsi(path).c_str(), access);
  return opened;
}

}  // namespace

std::uint32_t RootKeyByName(std::wstring_view name) {
  for (const auto& [rootName, handle] : kRoots) {
    if (rootName == name) return static_cast<std::uint32_t>(handle);
  }
  return 0;
}

std::uint32_t SplitRegPath(MessageBoxes& messages, std::wstring& path) {
  if (path.compare(0, 5, L"HKEY_") != 0 || path.size() < 5 || path.back() == L'\\') {
    messages.Show(L"Incorrect Format:\n\n" + path, std::nullopt, MsgButtons::Ok, MsgIcon::None);
    return 0;
  }
  std::size_t slash = path.find(L'\\');
  if (slash == std::wstring::npos) {
    std::uint32_t root = RootKeyByName(path);
    path.clear();
    return root;
  }
  std::uint32_t root = RootKeyByName(std::wstring_view(path).substr(0, slash));
  path.erase(0, slash + 1);
  return root;
}

std::wstring ReadRegString(Platform& platform, std::wstring path, std::wstring_view valueName) {
  Opened opened = OpenPath(platform, std::move(path), kKeyRead);
  if (!opened.hasRoot) return L"";
  if (!opened.key) return std::wstring(kReadFailure);

  std::string buffer(kReadBufferSize, ' ');
  auto length = static_cast<std::uint32_t>(kReadBufferSize);
  std::uint32_t type = 0;
  long result = platform.registry.RegQueryValueExA(opened.key.get(), platform.text.ToAnsi(valueName).c_str(), &type,
                                                   reinterpret_cast<std::uint8_t*>(buffer.data()), &length);
  opened.key.reset();
  if (result != status::kSuccess) return std::wstring(kReadFailure);

  // The whole buffer is taken back, whatever the query left after the data; blanks around it go, and so
  // does the last character (the terminator of a plain string).
  std::wstring text = platform.text.FromAnsi(buffer);
  std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return L"";
  std::size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first);
}

std::optional<std::uint32_t> ReadRegDword(Platform& platform, std::wstring path, std::wstring_view valueName) {
  Opened opened = OpenPath(platform, std::move(path), kKeyRead);
  if (!opened.key) return std::nullopt;
  std::uint8_t data[4] = {};
  std::uint32_t length = sizeof data;
  std::uint32_t type = 0;
  const long result = platform.registry.RegQueryValueExA(opened.key.get(), platform.text.ToAnsi(valueName).c_str(),
                                                         &type, data, &length);
  if (result != status::kSuccess || type != kRegDword || length != sizeof data) return std::nullopt;
  return static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);
}

bool RegKeyExists(Platform& platform, std::wstring path) {
  return static_cast<bool>(OpenPath(platform, std::move(path), kKeyRead).key);
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

Written WriteRegData(Platform& platform, std::wstring path, std::wstring_view valueName, const RegData& data) {
  const Opened opened = OpenPath(platform, std::move(path), kKeyWrite);
  if (!opened.key) return opened.hasRoot && opened.result == status::kFileNotFound ? Written::NoKey : Written::Failed;
  const long result = platform.registry.RegSetValueExA(
      opened.key.get(), platform.text.ToAnsi(valueName).c_str(), data.type,
      reinterpret_cast<const std::uint8_t*>(data.bytes.data()), static_cast<std::uint32_t>(data.bytes.size()));
  return result == status::kSuccess ? Written::Yes : Written::Failed;
}

RegRead ReadRegData(Platform& platform, std::wstring path, std::wstring_view valueName) {
  RegRead read;
  Opened opened = OpenPath(platform, std::move(path), kKeyRead);
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

bool CreateRegKey(Platform& platform, std::wstring path) {
  const std::uint32_t root = SplitRegPath(platform.messages, path);
  if (root == 0) return false;
  RegHandle handle = 0;
  if (platform.registry.RegCreateKeyExA(root, platform.text.ToAnsi(path).c_str(), kKeyWrite, &handle) !=
      status::kSuccess) {
    return false;
  }
  platform.registry.RegCloseKey(handle);
  return true;
}

bool DeleteRegValue(Platform& platform, std::wstring path, std::wstring_view valueName) {
  const Opened opened = OpenPath(platform, std::move(path), kKeyWrite);
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
