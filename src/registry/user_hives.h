// Every player's account, for what each must hold (the game key): the profiles Windows keeps, and their
// registry hives mounted for the length of a run. A logged-on user's hive is mounted already, under its
// SID; the others are mounted there from their NTUSER.DAT and unmounted again (Windows keeps what was
// written in the file), so that a value's path is the same whether its user is logged on or not.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa {

struct UserProfile {
  std::wstring name;      // what the operator reads: the profile folder's own name ("player"), or "Default"
  std::wstring hiveFile;  // its NTUSER.DAT
  std::wstring hiveKey;   // its top while mounted: HKEY_USERS\<SID>, or kDefaultHiveKey
};
// Where the default profile's hive is mounted: no account's SID names it.
inline constexpr std::wstring_view kDefaultHiveKey = L"HKEY_USERS\\VexaIpSet.Default";

// The accounts' profiles ProfileList names (SIDs S-1-5-21-…: local and domain users, not SYSTEM's or the
// services'; not the ".bak" copies Windows keeps of a broken one), then the default profile. A profile
// whose folder cannot be read is still listed, its hive file "": mounting it fails and says so.
std::vector<UserProfile> UserProfiles(Platform& platform);

// The profiles' hives mounted while it lives: those not mounted already are mounted (with the backup and
// restore privileges they need) and unmounted when it goes. failed: each profile whose hive could not be
// mounted (its user logged on while Windows has not mounted it for us, a damaged file), and why.
class MountedHives {
 public:
  struct Failure {
    UserProfile profile;
    std::wstring why;
  };
  MountedHives(Platform& platform, const std::vector<UserProfile>& profiles);
  ~MountedHives();
  MountedHives(const MountedHives&) = delete;
  MountedHives& operator=(const MountedHives&) = delete;
  const std::vector<Failure>& failed() const { return failed_; }

 private:
  Platform& platform_;
  std::vector<std::string> mounted_;  // the sub-keys of HKEY_USERS it mounted (ANSI)
  std::vector<Failure> failed_;
};

// Whether path lies in hive (at its top or below it).
bool InHive(std::wstring_view path, std::wstring_view hiveKey);

}  // namespace vexa
