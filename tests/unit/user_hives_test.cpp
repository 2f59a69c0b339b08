// The players' profiles as ProfileList names them, and their hives mounted for a run and unmounted after.
#include <gtest/gtest.h>

#include "registry/user_hives.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa {
namespace {

constexpr const char* kList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

class UserHivesTest : public ::testing::Test {
 protected:
  void Profile(const std::string& sid, std::uint32_t type, const std::string& folder) {
    sim.registry.SetValue(kHkeyLocalMachine, std::string(kList) + "\\" + sid, "ProfileImagePath", type, folder);
  }
  // Each profile as "name|hive file|hive key".
  std::vector<std::wstring> Listed() {
    std::vector<std::wstring> listed;
    for (const UserProfile& p : UserProfiles(platform)) listed.push_back(p.name + L"|" + p.hiveFile + L"|" + p.hiveKey);
    return listed;
  }
  sim::SimPlatform sim;
  Platform platform = sim.platform();
};

// Users' accounts only, their folders expanded; a folder that cannot be read still lists the account (its
// hive then fails to mount, and says so); the default profile last, as Vista names it or as XP does.
TEST_F(UserHivesTest, ProfilesOfPlayersAndTheDefaultOne) {
  Profile("S-1-5-18", kRegExpandSz, test::Sz("%systemroot%\\system32\\config\\systemprofile"));
  Profile("S-1-5-19", kRegExpandSz, test::Sz("C:\\Windows\\ServiceProfiles\\LocalService"));
  Profile("S-1-5-21-1-2-3-1001", kRegExpandSz, test::Sz("%SystemDrive%\\Users\\player"));
  Profile("S-1-5-21-1-2-3-1001.bak", kRegExpandSz, test::Sz("C:\\Users\\player.OLD"));
  Profile("S-1-5-21-1-2-3-1002", kRegSz, test::Sz("D:\\%NotExpanded%\\kid"));
  Profile("S-1-5-21-1-2-3-1003", kRegBinary, "C:\\Users\\odd");
  sim.registry.SetValue(kHkeyLocalMachine, kList, "ProfilesDirectory", kRegExpandSz,
                        test::Sz("%SystemDrive%\\Documents and Settings"));
  sim.registry.SetValue(kHkeyLocalMachine, kList, "DefaultUserProfile", kRegSz, test::Sz("Default User"));
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{
                          L"player|C:\\Users\\player\\NTUSER.DAT|HKEY_USERS\\S-1-5-21-1-2-3-1001",
                          L"kid|D:\\%NotExpanded%\\kid\\NTUSER.DAT|HKEY_USERS\\S-1-5-21-1-2-3-1002",
                          L"S-1-5-21-1-2-3-1003||HKEY_USERS\\S-1-5-21-1-2-3-1003",
                          L"Default User|C:\\Documents and Settings\\Default User\\NTUSER.DAT|"
                          L"HKEY_USERS\\VexaIpSet.Default",
                      }));
  sim.registry.SetValue(kHkeyLocalMachine, kList, "Default", kRegExpandSz, test::Sz("%SystemDrive%\\Users\\Default"));
  EXPECT_EQ(Listed().back(), L"Default|C:\\Users\\Default\\NTUSER.DAT|HKEY_USERS\\VexaIpSet.Default");
  sim.registry.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
  EXPECT_TRUE(Listed().empty());
}

// What is mounted already (a logged-on user) is left as it is; what it mounts goes when it goes; each
// failure is named in the operator's words.
TEST_F(UserHivesTest, MountsWhatIsNotMountedAndNamesWhatCannotBe) {
  const std::vector<UserProfile> profiles{
      {L"on", L"C:\\Users\\on\\NTUSER.DAT", L"HKEY_USERS\\S-1-5-21-9-1"},
      {L"off", L"C:\\Users\\off\\NTUSER.DAT", L"HKEY_USERS\\S-1-5-21-9-2"},
      {L"held", L"C:\\Users\\held\\NTUSER.DAT", L"HKEY_USERS\\S-1-5-21-9-3"},
      {L"broken", L"C:\\Users\\broken\\NTUSER.DAT", L"HKEY_USERS\\S-1-5-21-9-4"},
      {L"gone", L"C:\\Users\\gone\\NTUSER.DAT", L"HKEY_USERS\\S-1-5-21-9-5"},
      {L"nofolder", L"", L"HKEY_USERS\\S-1-5-21-9-6"},
  };
  sim.registry.CreateKey(kHkeyUsers, "S-1-5-21-9-1");
  for (const char* user : {"off", "held", "broken"})
    sim.registry.CreateHiveKey("C:\\Users\\" + std::string(user) + "\\NTUSER.DAT", "Software");
  sim.registry.FailHiveLoad("C:\\Users\\held\\NTUSER.DAT", status::kSharingViolation);
  sim.registry.FailHiveLoad("C:\\Users\\broken\\NTUSER.DAT", status::kBadDb);
  {
    const MountedHives hives(platform, profiles);
    EXPECT_TRUE(sim.registry.HiveMounted("C:\\Users\\off\\NTUSER.DAT"));
    EXPECT_TRUE(sim.registry.KeyExists(kHkeyUsers, "S-1-5-21-9-2\\Software"));
    std::vector<std::wstring> failed;
    for (const auto& f : hives.failed()) failed.push_back(f.profile.name + L": " + f.why);
    EXPECT_EQ(failed, (std::vector<std::wstring>{L"held: NTUSER.DAT 正被使用", L"broken: NTUSER.DAT 已损坏",
                                                 L"gone: 找不到 NTUSER.DAT", L"nofolder: 找不到 NTUSER.DAT"}));
  }
  EXPECT_FALSE(sim.registry.HiveMounted("C:\\Users\\off\\NTUSER.DAT"));
  EXPECT_TRUE(sim.registry.KeyExists(kHkeyUsers, "S-1-5-21-9-1"));  // not its to unmount
  EXPECT_FALSE(sim.registry.KeyExists(kHkeyUsers, "S-1-5-21-9-2"));
}

TEST(InHiveTest, AtItsTopOrBelowOnly) {
  EXPECT_TRUE(InHive(L"HKEY_USERS\\S-1-5-21-9-1", L"HKEY_USERS\\S-1-5-21-9-1"));
  EXPECT_TRUE(InHive(L"hkey_users\\s-1-5-21-9-1\\Software", L"HKEY_USERS\\S-1-5-21-9-1"));
  EXPECT_FALSE(InHive(L"HKEY_USERS\\S-1-5-21-9-10\\Software", L"HKEY_USERS\\S-1-5-21-9-1"));
  EXPECT_FALSE(InHive(L"HKEY_USERS\\S-1-5-21-9-2\\Software", L"HKEY_USERS\\S-1-5-21-9-1"));
  EXPECT_FALSE(InHive(L"HKEY_USERS\\S-1-5-21", L"HKEY_USERS\\S-1-5-21-9-1"));
}

}  // namespace
}  // namespace vexa
