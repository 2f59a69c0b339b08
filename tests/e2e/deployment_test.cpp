// Unattended deployment on real network interfaces: run by tests/e2e/netns inside a network namespace of
// its own, whose interfaces (with chosen hardware addresses) Wine's NDIS service lists as network cards and
// GetAdaptersAddresses reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e/deployment_fixture.h"

namespace vexa::e2e {
namespace {

using namespace vexa::frm;

TEST_F(Deployment, AutoWritesTheListedCardOnceAndTheSecondRunNothing) {
  Machines(L"00-aa-aa-aa-aa-aa=3\r\n00:1A:2B:3C:4D:5F=16\r\n");  // vxa
  EXPECT_EQ(RunTool(tool_, L"/auto /noreboot"), 0);
  EXPECT_EQ(Address("vxa"), std::string("10.9.8.16\0\0", 11));
  EXPECT_EQ(Address("vx0"), "<missing>");
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName")->data, Sz("NS-16"));
  // /noreboot: Wine still runs under the namespace's own name, so without it the tool would ask for the
  // restart that the rename still needs, and Wine would end every process of this prefix, this test's too.
  const Snapshot before = TakeSnapshot();
  EXPECT_EQ(RunTool(tool_, L"/auto /noreboot"), 0);
  EXPECT_TRUE(TakeSnapshot() == before);
}

TEST_F(Deployment, NumberWithTheCardByPositionOrDescription) {
  Machines(L"");
  EXPECT_EQ(RunTool(tool_, L"/n 21 /card \"vxa\" /noreboot"), 0);
  EXPECT_EQ(Address("vxa"), std::string("10.9.8.21\0\0", 11));
  EXPECT_EQ(RunTool(tool_, L"/n 22 /card " + std::to_wstring(Position("vx0")) + L" /noreboot"), 0);
  EXPECT_EQ(Address("vx0"), std::string("10.9.8.22\0\0", 11));
  EXPECT_EQ(RunTool(tool_, L"/n 3 /card 99 /noreboot"), 2);
  EXPECT_EQ(RunTool(tool_, L"/n 23 /noreboot"), 2);  // several cards: /card is needed
  // By hardware address, in either spelling and any case: the surest name in a script.
  EXPECT_EQ(RunTool(tool_, L"/n 24 /card 00:1A:2b:3c:4d:61 /noreboot"), 0);
  EXPECT_EQ(Address("vx1"), std::string("10.9.8.24\0\0", 11));
  std::string output;
  EXPECT_EQ(RunWithOutput(L"/n 25 /card 00-1a-2b-3c-4d-99 /noreboot", output), 2);
  EXPECT_NE(output.find(Ansi(L"没有网卡地址为 00-1A-2B-3C-4D-99 的网卡(用 /cards 查看本机的网卡)。")),
            std::string::npos)
      << output;
  // /cards: each card under the number /card takes, with its address and what the runs wrote.
  EXPECT_EQ(RunWithOutput(L"/cards", output), 0);
  EXPECT_NE(output.find(Ansi(L"\r\n  " + std::to_wstring(Position("vx1")) +
                             L"  vx1  00-1A-2B-3C-4D-61  10.9.8.24 / "
                             L"255.255.255.0")),
            std::string::npos)
      << output;
  EXPECT_NE(output.find(Ansi(L"\r\n  " + std::to_wstring(Position("vxb")) + L"  vxb  00-1A-2B-3C-4D-60  DHCP")),
            std::string::npos)
      << output;
}

TEST_F(Deployment, AMachineNotInTheTableIsRefusedAndNothingIsWritten) {
  Machines(L"00-AA-AA-AA-AA-AA=15\r\n");
  const Snapshot before = TakeSnapshot();
  EXPECT_EQ(RunTool(tool_, L"/auto"), 2);
  EXPECT_TRUE(TakeSnapshot() == before);
}

// Two cards with one description: the listed card is written through its own entry and logs its own
// address; a /card description that names both is refused.
TEST_F(Deployment, TwoCardsWithOneDescription) {
  const std::wstring vxa = Interface("vxa");
  const std::wstring vx0 = Interface("vx0");
  SameDescription("Onboard NIC");
  Machines(L"00:1A:2B:3C:4D:5F=16\r\n");  // vxa
  EXPECT_EQ(RunTool(tool_, L"/auto /noreboot"), 0);
  auto ip = [](const std::wstring& key) {
    auto v = GetValue(HKEY_LOCAL_MACHINE, key, L"IPAddress");
    return v ? v->data : "<missing>";
  };
  EXPECT_EQ(ip(vxa), std::string("10.9.8.16\0\0", 11));
  EXPECT_EQ(ip(vx0), "<missing>");
  const std::string log = ReadLog(tool_);
  EXPECT_NE(log.find("\t00-1A-2B-3C-4D-5F=16\r\n"), std::string::npos) << log;
  const Snapshot before = TakeSnapshot();
  EXPECT_EQ(RunTool(tool_, L"/n 60 /card \"Onboard NIC\" /noreboot"), 2);
  EXPECT_TRUE(TakeSnapshot() == before);
}

// A run without a window writes nothing without config.ini or with a value Windows could not use.
TEST_F(Deployment, NoConfigurationOrABadMaskIsRefused) {
  const Snapshot before = TakeSnapshot();
  RemoveConfig(tool_);
  EXPECT_EQ(RunTool(tool_, L"/n 15 /card 1 /noreboot"), 2);
  WriteConfig(tool_, L"[NetWork]\r\nIP=10.9.8\r\nMask=255.255.255.O\r\n");
  EXPECT_EQ(RunTool(tool_, L"/n 15 /card 1 /noreboot"), 2);
  EXPECT_TRUE(TakeSnapshot() == before);
}

// A venue of two floors: /n 215 takes the second floor's address, gateway and host name on the card; a
// number no floor holds is refused and writes nothing.
TEST_F(Deployment, AVenueOfTwoFloors) {
  WriteConfig(tool_,
              L"[NetWork]\r\nIP=192.168.0\r\nGateWay=192.168.0.254\r\nNetPrefix=NS-\r\n"
              L"[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n"
              L"[二楼]\r\nIP=192.168.1\r\nIPOffset=-200\r\nGateWay=192.168.1.1\r\nNetPrefix=F2-\r\n");
  EXPECT_EQ(RunTool(tool_, L"/n 215 /card " + std::to_wstring(Position("vxa")) + L" /noreboot"), 0);
  EXPECT_EQ(Address("vxa"), std::string("192.168.1.15\0\0", 14));
  const auto gateway = GetValue(HKEY_LOCAL_MACHINE, Interface("vxa"), L"DefaultGateway");
  EXPECT_EQ(gateway ? gateway->data : "<missing>", std::string("192.168.1.1\0\0", 13));
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName")->data, Sz("F2-215"));
  EXPECT_NE(ReadLog(tool_).find("\t00-1A-2B-3C-4D-5F=215\r\n"), std::string::npos);
  const Snapshot before = TakeSnapshot();
  EXPECT_EQ(RunTool(tool_, L"/n 401 /card " + std::to_wstring(Position("vx0")) + L" /noreboot"), 1);
  EXPECT_TRUE(TakeSnapshot() == before);
}

// config.ini that Windows' readers could read two ways, or whose zones plan one address, host name or
// network twice, is refused by every run before anything is written: no registry value changes and no line
// claims a number. A number no zone holds is a bad argument naming the zones; /table offers only numbers
// config.ini allows.
TEST_F(Deployment, AConfigReadTwoWaysWritesNothing) {
  const std::wstring card = L" /card " + std::to_wstring(Position("vxa")) + L" /noreboot";
  const std::string floors = "[NetWork]\r\nIP=10.1.0\r\nNetPrefix=NS-\r\n[Zones]\r\n";
  const struct {
    std::string config;  // UTF-8 with Notepad's mark
    const wchar_t* run;
    int code;
    const wchar_t* says;
  } cases[] = {
      {floors + "\xC3\x89tage=201-400\r\n[\xC3\x89tage]\r\nIP=10.2.0\r\nIPOffset=-200\r\n", L"/n 215", 2,
       L"tage 的名字含有 Windows(代码页 936)无法表示的字符"},
      {floors + "\xF0\x9F\x8E\xAE\xE5\x8C\xBA=201-400\r\n[\xF0\x9F\x8E\xAE\xE5\x8C\xBA]\r\nIP=10.2.0\r\n", L"/n 215", 2,
       L"无法表示的字符"},
      {floors + "F2=201-400\r\n[F2] ; 201-400 [new]\r\nIP=10.2.0\r\nIPOffset=-200\r\n", L"/n 215", 2,
       L"第 6 行(区 F2 的节头): [F2] ; 201-400 [new]"},
      {floors + "F2=201-400\r\n[F2\r\nIP=10.2.0\r\nIPOffset=-200\r\n", L"/n 215", 2, L"缺少 ]"},
      {floors + "A=1-100\r\nB=101-200\r\n[A]\r\nIP=10.4.0\r\n[B]\r\nIP=10.4.0\r\nIPOffset=-100\r\n", L"/n 101", 2,
       L"区 A 的机号 1 和区 B 的机号 101 都会得到 IP 地址 10.4.0.1"},
      {floors + "A=1-20\r\nB=21-40\r\n[A]\r\nIP=10.60.0\r\n[B]\r\nIP=10.60.0\r\nMask=255.255.255.128\r\n",
       L"/export kea", 2, L"区 A(10.60.0.0/24)和区 B(10.60.0.0/25)是同一个网络,掩码却不同"},
      {floors + "A=1-20\r\n[A]\r\n", L"/n 0", 1, L"/n 后面应是 1-20(A) 的机号(只用数字): 0"},
      {floors + "A=1-20\r\n[A]\r\n", L"/n 10000", 1, L"/n 后面应是 1-20(A) 的机号(只用数字): 10000"},
  };
  const Snapshot before = TakeSnapshot();
  const std::string logBefore = ReadLog(tool_);
  for (const auto& c : cases) {
    WriteConfigBytes(tool_, "\xEF\xBB\xBF" + c.config);
    const std::wstring run = c.run + std::wstring(std::wstring_view(c.run).starts_with(L"/n") ? card : L"");
    std::string output;
    EXPECT_EQ(RunWithOutput(run, output), c.code) << Ansi(run) << "\n" << output;
    EXPECT_NE(output.find(Ansi(c.says)), std::string::npos) << output;
  }
  EXPECT_TRUE(TakeSnapshot() == before);
  const std::string log = ReadLog(tool_);
  for (const char* number : {"=215\r\n", "=101\r\n", "=1\r\n"})
    EXPECT_EQ(log.find(number, logBefore.size()), std::string::npos);
  // Without [Zones] a number past 254 is none a machine may have: /table does not offer its line.
  const std::wstring folder = tool_.substr(0, tool_.find_last_of(L'\\'));
  WriteConfig(tool_, L"[NetWork]\r\nNetPrefix=NS-\r\n");
  const std::string line = ToUtf8(
      L"2026-12-01 10:00:00\t/n\t已写入\t机号=255\t计算机名=NS-255\tIP=10.1.0.255\t网卡=vxa\t"
      L"地址=00-1A-2B-3C-4D-7F\t未写入=\t退出码=0\t00-1A-2B-3C-4D-7F=255\r\n");
  AppendFileBytes(folder + L"\\VexaIpSet.log", line);
  std::string table;
  EXPECT_EQ(RunWithOutput(L"/table", table), 0) << table;
  EXPECT_EQ(table.find("00-1A-2B-3C-4D-7F=255\r\n"), std::string::npos) << table;
  EXPECT_NE(table.find(Ansi(L"; 没有列出 00-1A-2B-3C-4D-7F=255: 机号不在 config.ini 允许的 1-254 中")),
            std::string::npos);
}

// The cafe's log that cannot be held: the netns script points VEXA_E2E_CAFE_FOLDER at a share made
// read-only, then at one whose server was stopped. Its own suite, run by the script for each.
class CafeLog : public Deployment {};

// A number a person gives is not written without the lock of the cafe's log: exit 2, the registry as it
// was. A run whose number [Machines] decides writes, keeps its line beside config.ini and says both places.
TEST_F(CafeLog, ANumberAPersonGivesWaitsForTheCafesLog) {
  wchar_t value[256] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"VEXA_E2E_CAFE_FOLDER", value, 256);
  ASSERT_TRUE(n > 0 && n < 256) << "VEXA_E2E_CAFE_FOLDER names the cafe's folder";
  const std::wstring folder(value);
  WriteConfig(tool_, L"[NetWork]\r\nIP=10.9.8\r\nGateWay=10.9.8.254\r\nNetPrefix=NS-\r\n[Log]\r\nFolder=" + folder +
                         L"\r\n[Machines]\r\n00:1A:2B:3C:4D:5F=16\r\n");
  const std::wstring here = tool_.substr(0, tool_.find_last_of(L'\\')) + L"\\VexaIpSet.log";
  const std::string logBefore = ReadFileBytes(here);
  const Snapshot before = TakeSnapshot();
  std::string output;
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(RunWithOutput(L"/n 16 /card " + std::to_wstring(Position("vxa")) + L" /noreboot", output, 180000), 2)
      << output;
  std::printf("[ MEASURED ] /n refused after %lu ms: %s\n", ::GetTickCount() - start, output.c_str());
  EXPECT_NE(output.find(Ansi(L"网吧的日志 " + folder + L"\\VexaIpSet.log")), std::string::npos) << output;
  EXPECT_TRUE(TakeSnapshot() == before);
  EXPECT_EQ(ReadFileBytes(here), logBefore);
  EXPECT_EQ(RunWithOutput(L"/auto /noreboot", output, 180000), 0) << output;
  std::printf("[ MEASURED ] /auto: %s\n", output.c_str());
  EXPECT_EQ(Address("vxa"), std::string("10.9.8.16\0\0", 11));
  EXPECT_NE(output.find(Ansi(L",这次记在 " + here + L"。")), std::string::npos) << output;
  EXPECT_NE(output.find(Ansi(folder)), std::string::npos) << output;
  const std::string log = ReadFileBytes(here);
  EXPECT_NE(log.find("\t00-1A-2B-3C-4D-5F=16\r\n", logBefore.size()), std::string::npos);
}

// Runs at once, with the log in a folder of the cafe's own, then /report: the netns script has the browser
// read the page (refused 22, pending 21, 20 on two cards).
TEST_F(Deployment, ACafeOnOnePage) {
  const std::wstring folder = L"C:\\e2e\\cafe";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* name : {L"\\VexaIpSet.log", L"\\VexaIpSet.log.old", L"\\VexaIpSet.html"}) {
    ::DeleteFileW((folder + name).c_str());
  }
  WriteConfig(tool_,
              L"[NetWork]\r\nIP=10.9.8\r\nGateWay=10.9.8.254\r\nNetPrefix=NS-\r\n[Log]\r\nFolder=" + folder + L"\r\n");
  const std::wstring vx0 = std::to_wstring(Position("vx0"));
  const std::wstring vxa = std::to_wstring(Position("vxa"));
  const std::size_t before = ReadLog(tool_).size();
  const HANDLE runs[] = {StartRun(tool_, L"/n 20 /card " + vx0 + L" /noreboot"),
                         StartRun(tool_, L"/n 21 /card " + vxa + L" /noreboot"),
                         StartRun(tool_, L"/n 22 /card 99 /noreboot")};
  const int codes[] = {0, 0, 2};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FinishRun(runs[i], 60000), codes[i]) << i;
  EXPECT_EQ(RunTool(tool_, L"/n 20 /card " + vxa + L" /noreboot"), 2) << "vx0 holds 20";
  EXPECT_EQ(RunTool(tool_, L"/n 20 /card " + vxa + L" /noreboot /force"), 0);
  EXPECT_EQ(RunTool(tool_, L"/report"), 0);
  const std::string page = ReadFileBytes(folder + L"\\VexaIpSet.html");
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_EQ(ReadLog(tool_).size(), before) << "nothing logged beside the tool";
}

// Runs at once that want one number on different cards: the log is read, the registry written and the
// line appended under one lock, so exactly one of them writes and the others name it. 20 tries of two at
// once and of four at once, each try with a log of its own: in a folder of the machine, or on the cafe
// server's share when the netns script gives one (VEXA_E2E_RACE_FOLDER).
TEST_F(Deployment, RunsAtOnceNeverGiveOneNumberToTwoCards) {
  wchar_t given[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"VEXA_E2E_RACE_FOLDER", given, MAX_PATH);
  const std::wstring folder = length > 0 && length < MAX_PATH ? std::wstring(given) : L"C:\\e2e\\race";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::string cards[] = {"vx0", "vxa", "vxb", "vx1"};
  for (const std::string& card : cards) ASSERT_GT(Position(card), 0u) << card;
  for (const std::size_t atOnce : {std::size_t{2}, std::size_t{4}}) {
    int tries = 0;
    int oneWrote = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
      // A new folder of its own: a log on a share is not always deleted at once, and Wine gives the next
      // build's driver the same process id, so a name taken already is passed over.
      std::wstring log;
      for (int taken = 0; log.empty(); ++taken) {
        ASSERT_LT(taken, 100);
        const std::wstring name = folder + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(atOnce) + L"-" + std::to_wstring(attempt) + L"-" +
                                  std::to_wstring(taken);
        if (::CreateDirectoryW(name.c_str(), nullptr)) {
          log = name;
        } else {
          ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        }
      }
      WriteConfig(tool_,
                  L"[NetWork]\r\nIP=10.9.8\r\nGateWay=10.9.8.254\r\nNetPrefix=NS-\r\n[Log]\r\nFolder=" + log + L"\r\n");
      std::vector<HANDLE> runs;
      for (std::size_t i = 0; i < atOnce; ++i) {
        runs.push_back(StartRun(tool_, L"/n 40 /card " + std::to_wstring(Position(cards[i])) + L" /noreboot"));
      }
      int wrote = 0;
      int refused = 0;
      for (HANDLE run : runs) {
        const int code = FinishRun(run, 60000);
        wrote += code == 0 ? 1 : 0;
        refused += code == 2 ? 1 : 0;
      }
      ++tries;
      oneWrote += wrote == 1 && refused == static_cast<int>(atOnce) - 1 ? 1 : 0;
      // The log vouches for 40 once: one line ends in "=40".
      const std::string lines = ReadFileBytes(log + L"\\VexaIpSet.log");
      std::size_t claims = 0;
      for (std::size_t at = lines.find("=40\r\n"); at != std::string::npos; at = lines.find("=40\r\n", at + 1)) {
        ++claims;
      }
      EXPECT_EQ(claims, 1u) << atOnce << " at once, try " << attempt << ":\n" << lines;
    }
    EXPECT_EQ(oneWrote, tries) << atOnce << " at once: tries in which exactly one wrote";
    std::printf("[ RACE     ] %zu runs at once, %d tries: exactly one wrote in %d (%ls)\n", atOnce, tries, oneWrote,
                folder.c_str());
  }
}

// The log as a cafe leaves it: re-saved by a person as ANSI, cut by a crash that left NUL bytes, or holding
// a later version's line with columns this one does not know. Each is read, and the number stays the
// other card's. (A log nobody lets go of is tests/e2e/share's, with the real wait.)
TEST_F(Deployment, ALogReSavedCutOrWrittenByALaterVersionStillGuardsTheNumber) {
  const std::wstring folder = L"C:\\e2e\\held";
  const std::wstring log = folder + L"\\VexaIpSet.log";
  const std::wstring output = folder + L"\\output.txt";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  WriteConfig(tool_,
              L"[NetWork]\r\nIP=10.9.8\r\nGateWay=10.9.8.254\r\nNetPrefix=NS-\r\n[Log]\r\nFolder=" + folder + L"\r\n");
  const std::wstring vx0 = std::to_wstring(Position("vx0"));
  const std::wstring vxa = std::to_wstring(Position("vxa"));
  auto fresh = [&] {
    ::DeleteFileW(log.c_str());
    ::DeleteFileW((log + L".old").c_str());
  };
  auto rewrite = [&](const std::string& bytes) {
    HANDLE file = ::CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
  };
  auto refusedAsHeld = [&](const wchar_t* number) {
    EXPECT_EQ(FinishRun(StartRun(tool_, L"/n " + std::wstring(number) + L" /card " + vx0 + L" /noreboot", output)), 2);
    EXPECT_NE(ReadFileBytes(output).find(
                  Ansi(L"日志显示机号 " + std::wstring(number) + L" 已经给了另一块网卡 00-1A-2B-3C-4D-5F")),
              std::string::npos)
        << ReadFileBytes(output);
  };
  // Notepad's "ANSI": the same text in code page 936, without the UTF-8 mark; moved to .old, read there.
  fresh();
  ASSERT_EQ(RunTool(tool_, L"/n 41 /card " + vxa + L" /noreboot"), 0);
  const std::string gbk = Ansi(FromUtf8(ReadFileBytes(log).substr(3)));
  rewrite(gbk);
  refusedAsHeld(L"41");
  EXPECT_EQ(ReadFileBytes(log + L".old"), gbk) << "the re-saved log was moved to .old before the next line";
  // A machine switched off while writing: NUL bytes where its line was. The lines before are read.
  fresh();
  ASSERT_EQ(RunTool(tool_, L"/n 42 /card " + vxa + L" /noreboot"), 0);
  const std::string cut = ReadFileBytes(log) + "2026-12-09 10:00:00\t/n\t" + std::string(4096, '\0');
  rewrite(cut);
  refusedAsHeld(L"42");
  EXPECT_EQ(ReadFileBytes(log + L".old"), cut) << "moved to .old, never appended to";
  // A later version's line: a column before the tail and one after it.
  fresh();
  rewrite("\xEF\xBB\xBF" + ToUtf8(L"2026-12-09 10:00:00\t/n\t已写入\t机号=43\t计算机名=NS-43\tIP=10.9.8.43\t网卡=X\t"
                                  L"地址=00-1A-2B-3C-4D-5F\t未写入=\t退出码=0\t版本=2.0.0\t区=一楼\t"
                                  L"00-1A-2B-3C-4D-5F=43\t撤销=否\r\n"));
  refusedAsHeld(L"43");
  ::DeleteFileW(output.c_str());
}

// Run by the netns script after it gave the namespace the host name NS-16, put 10.9.8.16 on vxa and
// restarted Wine: the registry holds the plan, the name is active and the address live.
TEST(DeploymentInEffect, CheckSaysInEffect) {
  const std::wstring tool = ToolPath();
  ASSERT_FALSE(tool.empty());
  EXPECT_EQ(RunTool(tool, L"/check"), 0);
}

TEST_F(Deployment, TheWindowStartsWithTheCardChosenAndTheNumberTyped) {
  Machines(L"00-1a-2b-3c-4d-5e=007\r\n");  // vx0
  Tool tool(tool_);
  ASSERT_TRUE(tool.Started()) << tool.WhyNotStarted();
  EXPECT_EQ(tool.ComboShown(), L"vx0");
  EXPECT_EQ(tool.Text(txtNum), L"007");
  EXPECT_TRUE(tool.Focused(txtNum));
  EXPECT_FALSE(tool.Visible(Label13));
  tool.Key(txtNum, VK_RETURN);
  Box box;
  ASSERT_TRUE(tool.WaitBox(box));
  EXPECT_EQ(box.title, L"网络设置信息");
  tool.Answer(box, IDOK);
  ASSERT_TRUE(tool.WaitBox(box));
  tool.Answer(box, IDNO);
  EXPECT_EQ(Address("vx0"), std::string("10.9.8.7\0\0", 10));
}

}  // namespace
}  // namespace vexa::e2e
