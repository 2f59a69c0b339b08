// The start-up service: a copy under Program Files registered with its path quoted, never the file /install
// ran from, never two services; removed with its copy; refused in the system's words. What the service
// control manager starts waits for its card, runs /auto, and names the machine when it gives up.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/exit_codes.h"
#include "config/config_file.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;

const std::string kProgramFiles = "C:\\Program Files";
const std::string kCopy = kProgramFiles + "\\VexaIpSet";

class StartupTest : public DeploymentTest {
 protected:
  StartupTest() {
    sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", kRegSz,
                          std::string("C:\\Program Files\0", 17));
    sim.files.AddFolder(kProgramFiles);
  }
  // The tool as /install finds it: its executable in a folder anyone may write.
  void ToolIn(const std::wstring& folder, const std::string& bytes = "MZ tool") {
    sim.system.moduleDirectory = sim.text.ToAnsi(folder);
    sim.files.AddFolder(sim.system.moduleDirectory);
    sim.files.Put(sim.system.ModulePath(), bytes);
  }
  std::string Copied(const std::string& name) { return sim.files.Get(kCopy + "\\" + name).value_or("(none)"); }
};

TEST_F(StartupTest, InstallRegistersACopyUnderProgramFilesNeverTheOriginal) {
  ToolIn(L"D:\\网吧 工具");
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/install"), exit_code::kDone) << ToUtf8(Output());
  const auto& service = sim.services.installed.at("VexaIpSet");
  EXPECT_EQ(service.command, "\"C:\\Program Files\\VexaIpSet\\VexaIpSet.exe\" /service");
  EXPECT_EQ(service.dependsOn, "Tcpip");
  EXPECT_EQ(Copied("VexaIpSet.exe"), "MZ tool");
  // The copy's log is the operator's: the folder /install ran from.
  EXPECT_EQ(IniFile::DecodeText(sim.text, Copied("config.ini"), IniFile::Encoding::Utf16Le),
            L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n[Log]\r\nFolder=D:\\网吧 工具\r\n");
  EXPECT_NE(Output().find(L"VexaIpSet.exe 和 config.ini 已复制到 C:\\Program Files\\VexaIpSet(只有管理员能修改)"),
            std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_NE(Output().find(L"\r\n日志写在 D:\\网吧 工具(复制的 config.ini 的 [Log] Folder=)。"), std::wstring::npos);
  EXPECT_NE(Log().find(ToUtf8(L"\t/install\t已装上开机服务 VexaIpSet\t")), std::string::npos) << Log();
  // Again, after a new version was put beside config.ini: the copy refreshed, the one service changed.
  sim.files.Put(sim.system.ModulePath(), "MZ tool 2");
  EXPECT_EQ(Run(L"/install /force"), exit_code::kDone);
  ASSERT_EQ(sim.services.installed.size(), 1u);
  EXPECT_TRUE(sim.services.installed.at("VexaIpSet").command.ends_with("\" /service /force"));
  EXPECT_EQ(Copied("VexaIpSet.exe"), "MZ tool 2");
  EXPECT_EQ(Output().find(L"开机服务 VexaIpSet 已存在,已改为这次的设置"), 0u) << ToUtf8(Output());
  // Removed with its copy; the log stays where it was.
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_TRUE(sim.services.installed.empty());
  EXPECT_FALSE(sim.files.Exists(kCopy + "\\VexaIpSet.exe"));
  EXPECT_FALSE(sim.files.Exists(kCopy + "\\config.ini"));
  EXPECT_FALSE(sim.files.IsFolder(kCopy.c_str()));
  EXPECT_NE(Output().find(L"\r\n已删除 C:\\Program Files\\VexaIpSet 中的 VexaIpSet.exe 和 config.ini(日志没有删除)。"),
            std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_NE(Log().find(ToUtf8(L"\t/uninstall\t已删除开机服务 VexaIpSet\t")), std::string::npos) << Log();
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone);
  EXPECT_EQ(Output(), L"没有开机服务 VexaIpSet,不用删除。\r\n");
  EXPECT_EQ(Run(L"/table"), exit_code::kDone) << ToUtf8(Output());
}

// Run from the copy itself (a share's path in the registry would be written over by anyone): nothing is
// copied onto the running file, and the service stays on the copy.
TEST_F(StartupTest, InstallFromTheCopyItselfCopiesNothing) {
  ToolIn(L"C:\\PROGRAM FILES\\VexaIpSet");
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  const std::string config = *sim.files.Get(sim.ConfigPath());
  EXPECT_EQ(Run(L"/install"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(*sim.files.Get(sim.ConfigPath()), config);
  EXPECT_EQ(sim.files.TempFilesMade(), 0u);
  EXPECT_NE(Output().find(L"这就是开机服务运行的副本"), std::wstring::npos) << ToUtf8(Output());
}

// A copy that cannot be made registers nothing: the service would run a file anyone may replace.
class NoCopyTest : public StartupTest {
 protected:
  NoCopyTest() {
    ToolIn(L"D:\\tools");
    Config(L"");
  }
  void ExpectNoService(const std::wstring& why) {
    EXPECT_EQ(Run(L"/install"), exit_code::kRefused);
    EXPECT_TRUE(sim.services.installed.empty());
    EXPECT_EQ(Output().find(L"拒绝: 没有装上开机服务 VexaIpSet: "), 0u) << ToUtf8(Output());
    EXPECT_NE(Output().find(why), std::wstring::npos) << ToUtf8(Output());
  }
};

TEST_F(NoCopyTest, ProgramFilesReadOnly) {
  sim.files.ReadOnlyFolder(kProgramFiles);
  ExpectNoService(L"无法建立文件夹 C:\\Program Files\\VexaIpSet");
}

TEST_F(NoCopyTest, TheExecutableUnreadable) {
  sim.files.Hold(sim.system.ModulePath(), true);
  ExpectNoService(L"D:\\tools\\VexaIpSet.exe 被其他程序占用");
}

TEST_F(NoCopyTest, TheCopyHeldOpen) {
  sim.files.Put(kCopy + "\\VexaIpSet.exe", "MZ old");
  sim.files.Hold(kCopy + "\\VexaIpSet.exe", true);
  ExpectNoService(L"C:\\Program Files\\VexaIpSet\\VexaIpSet.exe 被其他程序打开着");
  EXPECT_EQ(sim.files.CountIn(kCopy), 1u);  // no temporary file left
}

TEST_F(NoCopyTest, NoProgramFiles) {
  sim.registry.DenyOpen(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  ExpectNoService(L"注册表中没有 Program Files 文件夹");
}

TEST_F(NoCopyTest, ProgramFilesNotAText) {
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", kRegDword,
                        std::string("\1\0\0\0", 4));
  ExpectNoService(L"注册表中没有 Program Files 文件夹");
}

// Without a config.ini to copy the start-up run could never set the machine.
TEST_F(NoCopyTest, NoConfig) {
  sim.files.RemoveFile(sim.ConfigPath().c_str());
  ExpectNoService(L"没有 config.ini");
}

TEST_F(StartupTest, ARefusedServiceChangeSaysWhyWithExit2) {
  ToolIn(L"D:\\tools");
  Config(L"");
  sim.services.refusal = L"拒绝访问。(错误 5)";
  EXPECT_EQ(Run(L"/install"), exit_code::kRefused);
  EXPECT_EQ(Output(), L"拒绝: 无法装上开机服务 VexaIpSet: 拒绝访问。(错误 5)\r\n请以管理员身份运行。\r\n");
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kRefused);
  EXPECT_NE(Log().find(ToUtf8(L"\t/uninstall\t拒绝: 无法删除开机服务 VexaIpSet: 拒绝访问。(错误 5)\t")),
            std::string::npos)
      << Log();
}

// The change is Windows' record too: made, and where its line could not go is said.
TEST_F(StartupTest, AServiceChangeWithoutItsLineSaysSo) {
  ToolIn(L"D:\\tools");
  Config(L"");
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  EXPECT_EQ(Run(L"/install"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n日志 D:\\tools\\VexaIpSet.log 无法写入,这次没有记录。"), std::wstring::npos)
      << ToUtf8(Output());
  sim.PutConfig(L"[二楼 ]\r\nIP=10.0.0\r\n");
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\nconfig.ini 不能用,这次没有记在日志里: "), std::wstring::npos) << ToUtf8(Output());
  EXPECT_TRUE(sim.services.installed.empty());
}

TEST_F(StartupTest, OnlyTheServiceManagerStartsTheServiceRun) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/service"), exit_code::kBadArguments);
  EXPECT_EQ(Output().find(L"命令行参数错误: /service 只由 Windows 的服务管理器启动"), 0u) << ToUtf8(Output());
  EXPECT_TRUE(sim.registry.Writes().empty());
}

// The network driver lists the cards some seconds into the boot: the start-up run asks every second until
// its card is there, then writes the seat's values.
TEST_F(StartupTest, TheBootsRunWaitsForItsCardAndWrites) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  const std::vector<AdapterAddress> cards = sim.adapters.list;
  sim.adapters.list.clear();
  sim.system.onSleep = [&] {
    if (sim.system.pauses.size() == 4) sim.adapters.list = cards;
  };
  sim.services.startedAs = "VexaIpSet";
  EXPECT_EQ(Run(L"/service"), exit_code::kDone);
  EXPECT_EQ(sim.services.exitCode, exit_code::kDone);
  EXPECT_EQ(sim.system.pauses, (std::vector<std::uint32_t>{1000, 1000, 1000, 1000}));
  EXPECT_EQ(
      sim.registry.GetValue(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{11111111-AAAA}", "IPAddress")
          ->data,
      std::string("192.168.0.15\0\0", 14));
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已写入")), std::string::npos) << Log();
}

// A card that never comes: the run gives up at [Startup] WaitSeconds=, naming the machine and every card
// address it saw; /table names the machine until a good run of it.
TEST_F(StartupTest, ARunThatGivesUpNamesTheMachine) {
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Startup]\r\nWaitSeconds=3\r\n[Machines]\r\n00-AA-00-00-00-01=15\r\n");
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid", kRegSz,
                        std::string("6b29fc40-ca47-4e13-8a2f-1d3c5e7f9a0b\0", 37));
  sim.services.startedAs = "VexaIpSet";
  EXPECT_EQ(Run(L"/service"), exit_code::kRefused);
  EXPECT_EQ(sim.system.pauses.size(), 3u);
  EXPECT_TRUE(sim.registry.Writes().empty());
  const std::string line = ToUtf8(
      L"\t/auto\t拒绝: 本机网卡的地址不在 config.ini 的 [Machines] 中: 00-1A-2B-3C-4D-5E, "
      L"00-1A-2B-3C-4D-5F(开机后等了 3 秒)\t机号=\t计算机名=MASTER\t");
  EXPECT_NE(Log().find(line), std::string::npos) << Log();
  sim.services.startedAs.reset();
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"; 没能自动设置的机器: MASTER(机器码 "), std::wstring::npos) << ToUtf8(Output());
  EXPECT_EQ(Run(L"/report"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_NE(FileBeside("VexaIpSet.html").find(ToUtf8(L"没能自动设置的机器</h2>")), std::string::npos);
  EXPECT_NE(FileBeside("VexaIpSet.html").find(ToUtf8(L"<tr><td>MASTER</td>")), std::string::npos);
  EXPECT_EQ(Run(L"/check /n 15 /card 1"), exit_code::kRegistryDiffers);
  EXPECT_NE(Output().find(L"\r\n没能自动设置: MASTER(机器码 "), std::wstring::npos) << ToUtf8(Output());
  // The right row added, the machine set by hand: no longer listed.
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_EQ(Output().find(L"没能自动设置"), std::wstring::npos) << ToUtf8(Output());
}

// The players' accounts as ProfileList names them: SYSTEM's (no player), one logged on (its hive mounted
// under its SID already), one not (its NTUSER.DAT), and the default profile new accounts are copied from.
class PlayersTest : public StartupTest {
 protected:
  static constexpr const char* kList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  static constexpr const char* kBob = "C:\\Users\\bob\\NTUSER.DAT";
  static constexpr const char* kDefault = "C:\\Users\\Default\\NTUSER.DAT";
  PlayersTest() {
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    sim.PutConfig(
        L"[NetWork]\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey15=SEAT15KEY\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n");
    Profile("S-1-5-18", "%systemroot%\\system32\\config\\systemprofile");
    Profile("S-1-5-21-7-7-7-1001", "%SystemDrive%\\Users\\" + sim.text.ToAnsi(L"玩家"));
    Profile("S-1-5-21-7-7-7-1002", "C:\\Users\\bob");
    sim.registry.SetValue(kHkeyLocalMachine, kList, "Default", kRegExpandSz, test::Sz("%SystemDrive%\\Users\\Default"));
    sim.registry.SetValue(kHkeyUsers, std::string("S-1-5-21-7-7-7-1001\\") + test::kGameKey, "Key", kRegSz,
                          test::Sz("IMAGEKEY"));
    sim.registry.SetHiveValue(kBob, test::kGameKey, "Key", kRegSz, test::Sz("IMAGEKEY"));
    sim.registry.SetHiveValue(kDefault, test::kGameKey, "Key", kRegSz, test::Sz("IMAGEKEY"));
    sim.services.startedAs = "VexaIpSet";
  }
  void Profile(const std::string& sid, const std::string& folder) {
    sim.registry.SetValue(kHkeyLocalMachine, std::string(kList) + "\\" + sid, "ProfileImagePath", kRegExpandSz,
                          test::Sz(folder));
  }
  std::string PlayerKey(const char* hive) { return sim.registry.HiveValue(hive, test::kGameKey, "Key")->data; }
  std::string LoggedOnKey() {
    return sim.registry.GetValue(kHkeyUsers, std::string("S-1-5-21-7-7-7-1001\\") + test::kGameKey, "Key")->data;
  }
};

// The boot's run gives every player the seat's key, the logged-on one and those mounted for it, and the
// default profile; SYSTEM's own is no player's. Every hive it mounted is unmounted; /undo puts each back.
TEST_F(PlayersTest, TheBootsRunWritesEveryPlayersKeyAndUndoPutsThemBack) {
  EXPECT_EQ(Run(L"/service"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(LoggedOnKey(), test::Sz("SEAT15KEY"));
  EXPECT_EQ(PlayerKey(kBob), test::Sz("SEAT15KEY"));
  EXPECT_EQ(PlayerKey(kDefault), test::Sz("SEAT15KEY"));
  EXPECT_EQ(sim.registry.GetValue(kHkeyCurrentUser, test::kGameKey, "Key")->data, test::Sz("OLDKEY"));
  EXPECT_FALSE(sim.registry.HiveMounted(kBob));
  EXPECT_FALSE(sim.registry.HiveMounted(kDefault));
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t已写入")), std::string::npos) << Log();
  // Mounting needs both privileges enabled.
  const auto& calls = sim.restart.calls;
  EXPECT_NE(std::find(calls.begin(), calls.end(), "LookupPrivilegeValueA \"\" SeRestorePrivilege"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "LookupPrivilegeValueA \"\" SeBackupPrivilege"), calls.end());

  sim.services.startedAs.reset();
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"CS 序列号 (玩家), CS 序列号 (bob), CS 序列号 (Default)"), std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_EQ(LoggedOnKey(), test::Sz("IMAGEKEY"));
  EXPECT_EQ(PlayerKey(kBob), test::Sz("IMAGEKEY"));
  EXPECT_EQ(PlayerKey(kDefault), test::Sz("IMAGEKEY"));
  EXPECT_FALSE(sim.registry.HiveMounted(kBob));
}

// A hive that cannot be mounted (its user logged on meanwhile, a damaged file) gets no key: named with why,
// exit 3, never "in place"; the others are written. The window's and /n's runs keep the running user's key.
TEST_F(PlayersTest, AHiveThatCannotBeMountedIsNamedAndNotWritten) {
  sim.registry.FailHiveLoad(kBob, status::kSharingViolation);
  EXPECT_EQ(Run(L"/service"), exit_code::kNotAllWritten) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"CS 序列号 (bob) (NTUSER.DAT 正被使用)"), std::wstring::npos) << ToUtf8(Output());
  EXPECT_EQ(PlayerKey(kBob), test::Sz("IMAGEKEY"));
  EXPECT_EQ(PlayerKey(kDefault), test::Sz("SEAT15KEY"));
  // Every other value in place: no second write, no second restart, bob named again.
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/service"), exit_code::kNotAllWritten) << ToUtf8(Output());
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_NE(Output().find(L"\r\n未写入: CS 序列号 (bob) (NTUSER.DAT 正被使用)"), std::wstring::npos)
      << ToUtf8(Output());

  sim.services.startedAs.reset();
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(sim.registry.GetValue(kHkeyCurrentUser, test::kGameKey, "Key")->data, test::Sz("SEAT15KEY"));
}

}  // namespace
}  // namespace vexa
