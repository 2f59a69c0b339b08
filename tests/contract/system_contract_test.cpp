// What the logic relies on from the clock, run against the simulated Windows and against the real calls
// under Wine (see registry_contract_test.cpp): the log's wait ends because sleeping moves the uptime on,
// and the boot time a pending rename is judged by lies in the past.
#include <gtest/gtest.h>

#include <cstdio>

#include "contract/fixture.h"
#include "log/run_log.h"
#include "registry/locations.h"
#include "registry/machine_guid.h"
#include "registry/reg.h"

namespace vexa::contract {
namespace {

TEST(SystemContract, SleepingMovesTheUptimeOn) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  const std::uint64_t before = platform.system.MillisecondsSinceBoot();
  platform.system.Sleep(40);
  const std::uint64_t after = platform.system.MillisecondsSinceBoot();
  // GetTickCount64 moves in steps of the timer's resolution (10-16 ms on Windows; Wine 8 was seen to count
  // 25 ms for a Sleep of 40): forward, and not by more than the sleep could take.
  EXPECT_GT(after, before);
  EXPECT_LT(after - before, 5000u);
}

TEST(SystemContract, TheLocalTimeIsValidAndTheBootLiesBeforeIt) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  const LocalTime now = platform.system.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour <= 23 && now.minute <= 59 && now.second <= 59);
  const std::int64_t boot = SecondsOf(now) - static_cast<std::int64_t>(platform.system.MillisecondsSinceBoot() / 1000);
  EXPECT_LE(boot, SecondsOf(now));
  EXPECT_GT(boot, SecondsOf(LocalTime{2000, 1, 1, 0, 0, 0}));
}

// A run without a window writes its report to what a batch file's "> file" handed over: byte for byte,
// without a code page conversion or LF turned into CR LF.
TEST(ConsoleContract, HandedOverOutputGetsTheBytesAsWritten) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  fixture->HandOverOutput();
  Platform platform = fixture->platform();
  ASSERT_TRUE(platform.console.Attach());
  platform.console.Write("15\n");
  platform.console.Write("\xCD\xF8\xB0\xC9\r\n");  // 网吧 in code page 936
  EXPECT_EQ(fixture->TakeOutput(), "15\n\xCD\xF8\xB0\xC9\r\n");
}

// Each line of the log names the machine by fingerprints of its identifiers: MachineGuid, read in the
// 64-bit view from either build (a 32-bit program's own view has none), and the machine SID.
TEST(SystemContract, TheMachinesIdentifiersAreRead) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  const std::string guid = platform.text.ToAnsi(ReadMachineGuid(platform));
  const std::string sid = platform.system.MachineSid();
  EXPECT_EQ(guid.size(), 36u) << guid;
  EXPECT_EQ(guid.find_first_not_of("0123456789abcdefABCDEF-"), std::string::npos) << guid;
  EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
  std::printf("[ IDENTITY ] MachineGuid %s, machine SID %s\n", guid.c_str(), sid.c_str());
}

// A clone's new MachineGuid is written where Windows keeps it, from either build, and read back there;
// the machine's own is put back at once.
TEST(SystemContract, ANewMachineGuidIsWrittenAndReadInThe64BitView) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  const std::wstring before = ReadMachineGuid(platform);
  ASSERT_FALSE(before.empty());
  const std::wstring renewed = NewMachineGuid(platform);
  ASSERT_EQ(renewed.size(), 36u);
  const std::wstring key(locations::kCryptography);
  ASSERT_EQ(
      Reg::WriteRegData(platform, key, locations::kMachineGuid, Reg::SzData(platform.text, renewed), Reg::View::Bits64),
      Reg::Written::Yes);
  EXPECT_EQ(ReadMachineGuid(platform), renewed);
  EXPECT_EQ(
      Reg::WriteRegData(platform, key, locations::kMachineGuid, Reg::SzData(platform.text, before), Reg::View::Bits64),
      Reg::Written::Yes);
  EXPECT_EQ(ReadMachineGuid(platform), before);
}

// The log and config.ini are named inside these folders: each is a full path (a drive's or a share's).
TEST(SystemContract, TheProgramsAndWindowsFoldersAreFullPaths) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  for (const std::string& folder : {platform.system.ModuleDirectory(), platform.system.WindowsDirectory()}) {
    const bool drive = folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\';
    EXPECT_TRUE(drive || folder.rfind("\\\\", 0) == 0) << folder;
    EXPECT_TRUE(platform.files.IsFolder(folder.c_str())) << folder;
  }
}

// Before it asks for the reboot the tool enables the shutdown privilege on its own token, naming the local
// machine by an empty string: every step of that succeeds, and the privilege has Windows' fixed LUID.
TEST(RestartContract, TheShutdownPrivilegeIsEnabledOnTheOwnToken) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Restart& restart = fixture->platform().restart;
  std::uintptr_t token = 0;
  ASSERT_TRUE(restart.OpenProcessToken(restart.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery, &token));
  Luid luid;
  EXPECT_TRUE(restart.LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid));
  EXPECT_EQ(luid.LowPart, 19u);
  EXPECT_EQ(luid.HighPart, 0);
  PrivilegeRecord enable{};
  enable.PrivilegeCount = 1;
  enable.Privileges[0].LowPart = luid.LowPart;
  enable.Privileges[0].Attributes = kSePrivilegeEnabled;
  PrivilegeRecord previous{};
  std::uint32_t length = 0;
  EXPECT_TRUE(restart.AdjustTokenPrivileges(token, false, &enable, sizeof enable, &previous, &length));
  EXPECT_TRUE(restart.CloseHandle(token));
}

}  // namespace
}  // namespace vexa::contract
