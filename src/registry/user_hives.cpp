#include "registry/user_hives.h"

#include <algorithm>

#include "common/text.h"
#include "platform/owned.h"
#include "platform/privileges.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

namespace {

constexpr std::uint32_t kNameBufferSize = 256;

// A string value up to its NUL with its %variables% replaced; "" when it is no string or cannot be read.
std::wstring ExpandedPath(Platform& platform, const std::wstring& path, std::wstring_view valueName) {
  const Reg::RegRead read = Reg::ReadRegData(platform, path, valueName);
  if (!read.value || (read.value->type != kRegSz && read.value->type != kRegExpandSz)) return L"";
  const std::string& bytes = read.value->bytes;
  const std::string text = bytes.substr(0, bytes.find('\0'));
  return platform.text.FromAnsi(read.value->type == kRegExpandSz ? platform.system.ExpandEnvironment(text.c_str())
                                                                 : text);
}

std::wstring LastPart(const std::wstring& folder) {
  const std::size_t slash = folder.find_last_of(L'\\');
  return slash == std::wstring::npos ? folder : folder.substr(slash + 1);
}

UserProfile ProfileIn(const std::wstring& folder, std::wstring name, std::wstring hiveKey) {
  return {std::move(name), folder.empty() ? L"" : folder + L"\\NTUSER.DAT", std::move(hiveKey)};
}

// The SIDs ProfileList holds a key for, in its order.
std::vector<std::wstring> ProfileSids(Platform& platform) {
  std::vector<std::wstring> sids;
  UniqueKey list(platform.registry);
  const Reg::SplitPath split = Reg::SplitRegPath(locations::kProfileList);
  list.Open(split.root, platform.text.ToAnsi(split.subKey).c_str(), kKeyRead);
  if (!list) return sids;
  for (std::uint32_t index = 0;; ++index) {
    std::string name(kNameBufferSize, '\0');
    if (platform.registry.RegEnumKeyA(list.get(), index, name.data(), kNameBufferSize) != status::kSuccess) break;
    name.resize(name.find('\0'));
    if (name.starts_with("S-1-5-21-") && name.find('.') == std::string::npos) {
      sids.push_back(platform.text.FromAnsi(name));
    }
  }
  return sids;
}

// Why a hive could not be mounted, as the operator reads it.
std::wstring MountProblem(long code) {
  switch (code) {
    case status::kSharingViolation: return L"NTUSER.DAT 正被使用";
    case status::kFileNotFound:
    case 3: return L"找不到 NTUSER.DAT";
    case status::kAccessDenied:
    case status::kPrivilegeNotHeld: return L"没有加载用户配置的权限(需要以管理员或 SYSTEM 运行)";
    case status::kBadDb:
    case status::kRegistryCorrupt: return L"NTUSER.DAT 已损坏";
    default: break;
  }
  return L"无法加载 NTUSER.DAT(错误 " + IntText(code) + L")";
}

// The sub-key of HKEY_USERS a hive key names.
std::wstring BelowUsers(const std::wstring& hiveKey) { return hiveKey.substr(locations::kUsers.size() + 1); }

}  // namespace

std::vector<UserProfile> UserProfiles(Platform& platform) {
  std::vector<UserProfile> profiles;
  const std::wstring list(locations::kProfileList);
  for (const std::wstring& sid : ProfileSids(platform)) {
    std::wstring key = list;
    key += L"\\";
    key += sid;
    const std::wstring folder = ExpandedPath(platform, key, locations::kProfileImagePath);
    std::wstring hiveKey(locations::kUsers);
    hiveKey += L"\\";
    hiveKey += sid;
    profiles.push_back(ProfileIn(folder, folder.empty() ? sid : LastPart(folder), std::move(hiveKey)));
  }
  std::wstring folder = ExpandedPath(platform, list, locations::kDefaultProfile);
  if (folder.empty()) {
    const std::wstring all = ExpandedPath(platform, list, locations::kProfilesDirectory);
    const std::wstring name = ExpandedPath(platform, list, locations::kDefaultUserProfile);
    if (!all.empty() && !name.empty()) folder = all + L"\\" + name;
  }
  if (!folder.empty()) profiles.push_back(ProfileIn(folder, LastPart(folder), std::wstring(kDefaultHiveKey)));
  return profiles;
}

MountedHives::MountedHives(Platform& platform, const std::vector<UserProfile>& profiles) : platform_(platform) {
  bool privileged = false;
  for (const UserProfile& profile : profiles) {
    if (Reg::RegKeyExists(platform, profile.hiveKey)) continue;  // logged on, or mounted by another program
    if (!privileged) EnablePrivileges(platform.restart, {"SeBackupPrivilege", "SeRestorePrivilege"});
    privileged = true;
    const std::string name = platform.text.ToAnsi(BelowUsers(profile.hiveKey));
    const long result =
        profile.hiveFile.empty()
            ? status::kFileNotFound
            : platform.registry.RegLoadKeyA(kHkeyUsers, name.c_str(), platform.text.ToAnsi(profile.hiveFile).c_str());
    if (result == status::kSuccess) {
      mounted_.push_back(name);
    } else {
      failed_.push_back({profile, MountProblem(result)});
    }
  }
}

MountedHives::~MountedHives() {
  // In the reverse order; one that cannot be unmounted stays mounted until Windows restarts, its values
  // written all the same.
  for (auto name = mounted_.rbegin(); name != mounted_.rend(); ++name) {
    platform_.registry.RegUnLoadKeyA(kHkeyUsers, name->c_str());
  }
}

bool InHive(std::wstring_view path, std::wstring_view hiveKey) {
  if (path.size() < hiveKey.size() || !SameName(path.substr(0, hiveKey.size()), hiveKey)) return false;
  return path.size() == hiveKey.size() || path[hiveKey.size()] == L'\\';
}

}  // namespace vexa
