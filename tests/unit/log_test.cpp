// The shared log as runs use it: where it lives, one line a run, and that no run loses its line silently.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ok_action.h"
#include "common/exit_codes.h"
#include "common/fingerprint.h"
#include "common/text.h"
#include "common/utf8.h"
#include "common/version.h"
#include "log/number_claims.h"
#include "log/run_log.h"
#include "platform/sim/sim_window.h"
#include "row.h"
#include "sim_machine.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;
using test::kA;
using test::kB;
using test::Line;

// One log for the whole cafe: config.ini may put it in a shared folder; every mode, /table and /report use
// it there. There it is the guard: a number a person gives (/n) is written only under its lock, refused
// with nothing written when the folder cannot be reached or the log cannot be held; a run whose number
// [Machines] decides (/auto) goes on and keeps its line beside config.ini, saying both places. A relative
// folder is config.ini's.
// How the cafe's share stands for a row.
void Reachable(sim::SimFiles&, const std::string&) {}
void Linked(sim::SimFiles& f, const std::string& l) { f.Put(l, ""), f.Links(l, 2); }
void Held(sim::SimFiles& f, const std::string& l) { f.Put(l, ""), f.Hold(l, true); }
void AFolder(sim::SimFiles& f, const std::string& l) { f.Put(l + "\\x", ""); }  // not a plain file

struct FolderRow {
  int line;
  const wchar_t* folder;
  void (*set)(sim::SimFiles&, const std::string&);
  const wchar_t* run;
  int exitCode;
  const char* logged;   // where the line went, or nullptr
  const wchar_t* says;  // nullptr: nothing about the log
};
const FolderRow kFolderRows[] = {
    ROW(L"\\\\server\\vexa", Reachable, L"/n 15 /card 1 /noreboot", 0, "\\\\server\\vexa\\VexaIpSet.log", nullptr),
    ROW(L"\\\\server\\gone", Reachable, L"/n 15 /card 1 /noreboot", 2, nullptr,
        L"网吧的日志 \\\\server\\gone\\VexaIpSet.log 无法访问。config.ini 的 [Log] Folder= 指定了它"),
    ROW(L"\\\\server\\gone", Reachable, L"/auto /noreboot", 0, "C:\\VexaIpSet\\VexaIpSet.log",
        L"日志文件夹 \\\\server\\gone 无法访问,这次记在 C:\\VexaIpSet\\VexaIpSet.log。"),
    ROW(L"\\\\server\\vexa", Linked, L"/n 15 /card 1 /noreboot", 2, nullptr,
        L"网吧的日志 \\\\server\\vexa\\VexaIpSet.log 是链接"),
    ROW(L"\\\\server\\vexa", Linked, L"/auto /noreboot", 0, "C:\\VexaIpSet\\VexaIpSet.log",
        L"网吧的日志 \\\\server\\vexa\\VexaIpSet.log 是链接(硬链接、符号链接或重解析点),为安全起见没有写入,"
        L"这次记在 C:\\VexaIpSet\\VexaIpSet.log。"),
    ROW(L"\\\\server\\vexa", AFolder, L"/n 15 /card 1 /noreboot", 2, nullptr,
        L"网吧的日志 \\\\server\\vexa\\VexaIpSet.log 不是普通文件"),
    ROW(L"\\\\server\\vexa", Held, L"/auto /noreboot", 0, "C:\\VexaIpSet\\VexaIpSet.log",
        L"网吧的日志 \\\\server\\vexa\\VexaIpSet.log 正被其他机器或程序占用,等了 120 秒仍没能锁定,这次记在"),
    // A start-up task runs in System32: a relative folder is config.ini's.
    ROW(L".\\", Reachable, L"/n 15 /card 1 /noreboot", 0, "C:\\VexaIpSet\\VexaIpSet.log", nullptr),
    ROW(L"..\\VexaIpSet\\.", Reachable, L"/n 15 /card 1 /noreboot", 0, "C:\\VexaIpSet\\VexaIpSet.log", nullptr),
    // A name ANSI calls cannot carry is refused by its character, not turned into "?" and looked for.
    ROW(L"\\\\server\\caf\u00C9", Reachable, L"/n 15 /card 1 /noreboot", 2, nullptr,
        L"含有 Windows(代码页 936)无法表示的字符“é”(U+00C9)。"),
};

TEST_F(DeploymentTest, TheLogFolderConfigIniNames) {
  const std::string share = "\\\\server\\vexa";
  const std::string there = share + "\\VexaIpSet.log";
  const std::string here = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.AddFolder(share);
  for (const FolderRow& c : kFolderRows) {
    TRACE_ROW(c);
    for (const std::string& log : {there, here}) sim.files.RemoveFile(log.c_str());
    sim.files.RemoveFile((there + "\\x").c_str());
    c.set(sim.files, there);
    sim.registry.ClearWrites();
    // Saved as UTF-8: a name GBK cannot hold reaches the tool as typed.
    sim.PutConfigBytes("\xEF\xBB\xBF" + ToUtf8(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=" +
                                               std::wstring(c.folder) + L"\r\n[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n"));
    EXPECT_EQ(Run(c.run), c.exitCode) << sim.console.output;
    if (c.exitCode != 0) {
      EXPECT_TRUE(test::MachineWrites(sim).empty());
    }
    for (const std::string& log : {there, here}) {
      EXPECT_EQ(sim.files.Get(log).value_or("").find("\t机号=15\t") != std::string::npos,
                c.logged != nullptr && log == c.logged)
          << log;
    }
    EXPECT_EQ(c.says == nullptr, Output().find(L"日志") == std::wstring::npos) << sim.console.output;
    if (c.says != nullptr) {
      EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    }
    sim.files.Links(there, 1);
    sim.files.Hold(there, false);
  }
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=\\\\server\\vexa\r\n");
  sim.files.RemoveFile(there.c_str());
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"00-1A-2B-3C-4D-5E=15"), std::wstring::npos);
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_TRUE(sim.files.Get(share + "\\VexaIpSet.html").has_value());
}

// Each line names the machine that wrote it by the fingerprints of its identifiers, never the identifiers.
TEST_F(DeploymentTest, ALineCarriesTheMachinesFingerprints) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  const std::string guid = "{4c4c4544-0042-3510-8052-b4c04f565931}";
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid", kRegSz, guid + '\0');
  sim.system.machineSid = "S-1-5-21-1004336348-1177238915-682003330";
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_NE(Log().find(ToUtf8(L"\t机器码=" + Fingerprint(guid) + L"\tSID=" + Fingerprint(sim.system.machineSid) +
                              L"\t00-1A-2B-3C-4D-5E=15\r\n")),
            std::string::npos)
      << Log();
  EXPECT_EQ(Log().find("4c4c4544"), std::string::npos);
  EXPECT_EQ(Log().find("1004336348"), std::string::npos);
}

// One line a run and a press of OK, UTF-8 behind a byte-order mark; a [Machines] line at the end of each
// line that wrote; a new log past 1 MB; a folder that cannot be written changes nothing.
TEST_F(DeploymentTest, TheLog) {
  Config(L"00-1A-2B-3C-4D-5E=007\r\n");
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  CardInventory inventory;
  EnumNetworkCards(platform, inventory);
  RunOkAction(platform, inventory, L"", L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
  // Each line ends with the version of the tool that wrote it, before the [Machines] tail.
  const std::wstring version = L"\t版本=" + std::wstring(kProductVersion);
  const std::string expected =
      "\xEF\xBB\xBF" +
      ToUtf8(
          L"2026-12-08 09:30:05\t/auto\t已写入\t机号=007\t计算机名=WB-007\tIP=192.168.0.7\t"
          L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=00-1A-2B-3C-4D-5E\t未写入=\t退出码=0" +
          version + L"\t00-1A-2B-3C-4D-5E=007\r\n" +
          L"2026-12-08 09:30:05\t窗口\t拒绝: 请输入本机号,在按回车键呀！！\t机号=\t计算机名=\tIP=\t"
          L"网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=\t未写入=\t退出码=2" +
          version + L"\r\n");
  EXPECT_EQ(Log(), expected);

  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.Put(log, std::string(kLogLimit + 1, 'x'));
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(sim.files.Get(log + ".old")->size(), kLogLimit + 1);
  EXPECT_EQ(Log().rfind("\xEF\xBB\xBF", 0), 0u);

  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  const std::string before = Log();
  EXPECT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  EXPECT_EQ(Log(), before);
  EXPECT_NE(Output().find(L"日志 C:\\VexaIpSet\\VexaIpSet.log 无法写入(文件夹只读或没有权限),这次没有记入日志。"),
            std::wstring::npos);
}

// The log as the run finds it, and what the run must do with it.
struct LogStateRow {
  int line;
  std::string before;  // the log's bytes before the run
  void (*set)(sim::SimFiles&, const std::string&);
  bool busy;                // nobody lets go of it: nothing is written, the run waited its whole turn
  const wchar_t* says;      // nullptr: nothing said about the log
  bool appended;            // the run's line is in the log
  const char* old;          // the bytes .old holds afterwards, or nullptr for none
  std::size_t maxLogBytes;  // the log's size afterwards is at most this
};
void Leave(sim::SimFiles&, const std::string&) {}
const std::string kPastTheLimit(kLogLimit + 10, 'x');
const std::string kPastTwiceTheLimit(2 * kLogLimit + 10, 'x');
const std::string kUtf16(
    "\xFF\xFE"
    "a\0b\0",
    6);
const std::string kOneLine = "\xEF\xBB\xBFx\r\n";
const LogStateRow kLogStateRows[] = {
    ROW("", Leave, false, nullptr, true, nullptr, 1000),
    // Without the lock nothing is written, /force or not: the run waited its turn and says who to look for.
    ROW(
        kOneLine, [](sim::SimFiles& f, const std::string& l) { f.Hold(l, true); }, true,
        L"拒绝: 日志 C:\\VexaIpSet\\VexaIpSet.log 正被其他机器或程序占用,等了 120 秒仍没能锁定它。"
        L"没有日志里的这一行就不改本机:什么也没有写入,也不重启。\r\n"
        L"请找出占用它的程序(打开着它的编辑器、挂起的 VexaIpSet)并关闭,或等一会儿再运行。",
        false, nullptr, 1000),
    ROW(
        kOneLine, [](sim::SimFiles& f, const std::string& l) { f.LockByOther(l, true); }, true,
        L"正被其他机器或程序占用", false, nullptr, 1000),
    ROW(
        kOneLine, [](sim::SimFiles& f, const std::string& l) { f.Links(l, 2); }, false,
        L"是链接(硬链接、符号链接或重解析点),为安全起见没有写入。", false, nullptr, 1000),
    ROW(
        "", [](sim::SimFiles& f, const std::string& l) { f.RemoveFile(l.c_str()), f.DanglingLink(l); }, false,
        L"是链接(硬链接、符号链接或重解析点),为安全起见没有写入。", false, nullptr, 0),
    ROW(kUtf16, Leave, false, nullptr, true,
        "\xFF\xFE"
        "a",
        1000),  // re-saved by Notepad
    ROW(kPastTheLimit, Leave, false, nullptr, true, "xxxx", 1000),
    // .old blocked: under twice the limit, past it, a UTF-16 log.
    ROW(
        kPastTheLimit, [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); }, false, nullptr, true,
        nullptr, kLogLimit + 1000),
    ROW(
        kPastTwiceTheLimit, [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); }, false, nullptr,
        true, nullptr, 1000),
    ROW(
        kUtf16, [](sim::SimFiles& f, const std::string& l) { f.BlockReplace(l + ".old"); }, false, nullptr, true,
        nullptr, 1000),
};

// The log is shared by every machine of the cafe: nothing is lost silently, nothing is written through a
// link, it stays readable and bounded.
TEST_F(DeploymentTest, TheLogNeverLosesALineSilently) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  for (const LogStateRow& row : kLogStateRows) {
    TRACE_ROW(row);
    sim.files.RemoveFile(log.c_str());
    sim.files.RemoveFile((log + ".old").c_str());
    sim.files.Put(log, row.before);
    row.set(sim.files, log);
    sim.system.slept = 0;
    test::CloneImage(sim);
    sim.registry.ClearWrites();
    // /force: a log that cannot be read leaves the number unconfirmed (the guard's rows are elsewhere).
    EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot /force"), row.busy ? exit_code::kRefused : exit_code::kDone);
    EXPECT_EQ(test::MachineWrites(sim).empty(), row.busy);
    EXPECT_EQ(sim.system.slept, row.busy ? kLogQueueMilliseconds : 0u) << "a whole cafe's turn, no pause past it";
    const std::string after = Log();
    EXPECT_EQ(after.find("\t/n\t") != std::string::npos, row.appended);
    if (row.appended && row.maxLogBytes < kLogLimit) {
      EXPECT_EQ(after.rfind("\xEF\xBB\xBF", 0), 0u) << "a new log begins with the UTF-8 mark";
    }
    EXPECT_LE(after.size(), row.maxLogBytes);
    EXPECT_EQ(Output().find(row.says != nullptr ? row.says : L"日志") != std::wstring::npos, row.says != nullptr)
        << sim.console.output;
    const auto old = sim.files.Get(log + ".old");
    EXPECT_EQ(old.has_value(), row.old != nullptr);
    if (old && row.old != nullptr) {
      EXPECT_EQ(old->rfind(row.old, 0), 0u);
    }
    EXPECT_EQ(sim.files.OpenHandles(), 0u);
    sim.files.Hold(log, false);
    sim.files.LockByOther(log, false);
  }
}

// A run without a window waits its turn behind a whole cafe: it keeps its handle and asks for the lock
// again after pauses that grow to a quarter second, differ from machine to machine, and never run past the
// wait; once the holder lets go the run writes.
TEST_F(DeploymentTest, ARunWaitsItsTurnForTheLog) {
  Config(L"");
  sim.files.Put(log, "\xEF\xBB\xBF");
  sim.files.LockByOther(log, true);
  sim.system.onSleep = [&] {
    if (sim.system.slept >= 30000) sim.files.LockByOther(log, false);
  };
  sim.files.opens = 0;
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  sim.system.onSleep = nullptr;
  EXPECT_NE(Log().find(ToUtf8(L"\t已写入\t")), std::string::npos);
  const std::vector<std::uint32_t> pauses = sim.system.pauses;
  EXPECT_GE(sim.system.slept, 30000u);
  EXPECT_LT(sim.system.slept, 30000u + 250u);
  EXPECT_LE(*std::max_element(pauses.begin(), pauses.end()), 250u);
  EXPECT_LE(pauses.front(), 10u);
  EXPECT_LT(pauses.size(), 30000u / 125u + 20u) << "a pause grows to between 125 and 250 ms";
  EXPECT_EQ(sim.files.opens, 1) << "one handle for the whole wait";
  // Another machine started in the same millisecond pauses otherwise.
  test::CloneImage(sim);
  sim.system.pauses.clear();
  sim.system.slept = 0;
  sim.system.sinceBoot = 600000;
  sim.system.processId = 4243;
  sim.files.LockByOther(log, true);
  EXPECT_EQ(Run(L"/n 16 /card 1 /noreboot"), exit_code::kRefused);
  EXPECT_EQ(sim.system.slept, kLogQueueMilliseconds);
  EXPECT_NE(std::vector<std::uint32_t>(sim.system.pauses.begin(), sim.system.pauses.begin() + 10),
            std::vector<std::uint32_t>(pauses.begin(), pauses.begin() + 10));
  sim.files.LockByOther(log, false);
}

// Another run moved the log to .old while this one waited for its lock: the line goes to the new log.
TEST_F(DeploymentTest, ARunThatWaitedWritesToTheLogItsNameLeadsToNow) {
  Config(L"");
  const std::string first =
      "\xEF\xBB\xBF" + ToUtf8(Line(L"/n", L"已写入", L"9", kB, L"0", std::wstring(kB) + L"=9")) + "\r\n";
  sim.files.Put(log, first);
  sim.files.LockByOther(log, true);
  sim.system.onSleep = [&] {
    if (sim.system.pauses.size() != 3) return;
    sim.files.LockByOther(log, false);
    sim.files.MoveOver(log.c_str(), (log + ".old").c_str());  // its handle follows the file
    sim.files.Put(log, "\xEF\xBB\xBF");
  };
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  sim.system.onSleep = nullptr;
  EXPECT_EQ(sim.files.Get(log + ".old"), first);
  EXPECT_NE(Log().find(ToUtf8(L"\t机号=15\t")), std::string::npos);
  EXPECT_LT(sim.system.slept, 1000u);
}

}  // namespace
}  // namespace vexa
