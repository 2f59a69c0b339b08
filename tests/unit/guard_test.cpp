// One number never on two cards: the log read under its lock before a write, whatever state it is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/exit_codes.h"
#include "common/utf8.h"
#include "common/version.h"
#include "log/log_text.h"
#include "log/number_claims.h"
#include "platform/sim/sim_window.h"
#include "row.h"
#include "sim_machine.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;

// No number given twice: a number whose last vouching line names another card that still holds it.
TEST_F(DeploymentTest, ANumberAnotherCardHoldsIsNotGivenTwice) {
  const std::wstring other = L"00-1A-2B-3C-4D-5F";
  const std::wstring mine = L"00-1A-2B-3C-4D-5E";
  auto line = [](const std::wstring& address, const std::wstring& number) {
    return L"2026-12-01 10:00:00\t/n\t已写入\t机号=" + number + L"\t计算机名=WB-" + number + L"\tIP=\t网卡=NIC\t地址=" +
           address + L"\t未写入=\t退出码=0\t" + address + L"=" + number + L"\r\n";
  };
  const struct {
    int line;
    std::wstring log;
    const wchar_t* command;
    int code;
    const wchar_t* says;
  } cases[] = {
      ROW(line(other, L"120"), L"/n 120 /card 1 /noreboot", exit_code::kRefused,
          L"拒绝: 日志显示机号 120 已经给了另一块网卡"),
      ROW(line(other, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kRefused,
          L"拒绝: 日志显示机号 15 已经给了另一块网卡 00-1A-2B-3C-4D-5F(2026-12-01 10:00:00 的运行,计算机名 WB-15),"
          L"那块网卡最后一次运行仍是这个机号。\r\n要仍然写入,请加 /force。"),
      ROW(line(other, L"15"), L"/auto /noreboot", exit_code::kDone, L"\r\n注意: 日志显示机号 15 已经给了另一块网卡"),
      ROW(line(other, L"15") + line(other, L"16"), L"/n 15 /card 1 /noreboot", exit_code::kDone,
          L"已写入"),  // moved on
      // Later lines that do not move it on: another card's, and its own refusal.
      ROW(line(other, L"15") + line(L"00-1A-2B-3C-4D-60", L"20") +
              L"2026-12-02 10:00:00\t/n\t拒绝: x\t机号=16\t计算机名=WB-16\tIP=\t网卡=NIC\t地址=" + other +
              L"\t未写入=\t退出码=2\r\n",
          L"/n 15 /card 1 /noreboot", exit_code::kRefused, L"日志显示机号 15 已经给了另一块网卡"),
      ROW(line(other, L"15") + line(mine, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kDone, L"已写入"),
      ROW(line(mine, L"15"), L"/n 15 /card 1 /noreboot", exit_code::kDone, L"已写入"),  // the same card, re-cloned
      ROW(line(other, L"15"), L"/n 15 /card 1 /noreboot /force", exit_code::kDone, L"\r\n/force: 日志显示机号 15"),
  };
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  for (const auto& c : cases) {
    TRACE_ROW(c);
    test::CloneImage(sim);
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    sim.files.Put(log, ToUtf8(c.log));
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(c.command), c.code);
    EXPECT_EQ(test::MachineWrites(sim).size(), c.code == exit_code::kDone ? counts.all : 0u);
    EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
  }
  EXPECT_NE(Log().find(ToUtf8(L"\t已写入, /force: 日志显示机号 15")), std::string::npos);
}

// Who holds a number, from the log's lines as every version wrote them: a later version's line is read by
// its columns' names; a line naming the number that this version cannot trust leaves it unknown, unless
// a vouching line for the number came after it.
TEST(ClaimOnTest, EveryVersionsLinesAndTheOnesThatCannotBeTrusted) {
  const std::wstring a(test::kA);
  const std::wstring b(test::kB);
  const auto vouch = [](const std::wstring& card, const std::wstring& number, const std::wstring& more = L"") {
    return test::Line(L"/n", L"已写入", number, card, L"0" + more, card + L"=" + number) + L"\r\n";
  };
  const std::wstring laterVersion = test::Line(L"/n", L"已写入", L"15", b, L"0\t版本=2.0\t区=一楼", b + L"=15\t新=1");
  const std::wstring doubled = test::Line(L"/n", L"已写入", L"15", b, L"0\t版本=2\t版本=3", b + L"=15");
  const std::wstring twoNumbers = test::Line(L"/n", L"已写入", L"16", b, L"0\t机号=015", L"");
  const std::wstring unknownRun = test::Line(L"/撤销", L"已撤销", L"15", b, L"0", L"");
  const auto undo = [](const std::wstring& card, const wchar_t* code) {
    return test::Line(L"/undo", L"已撤销", L"15", card, code, L"") + L"\r\n";
  };
  const struct {
    int line;
    std::wstring log;
    const wchar_t* holder;  // nullptr: nobody
    bool unknown;
  } rows[] = {
      ROW(vouch(b, L"15"), test::kB, false),
      ROW(vouch(b, L"15") + vouch(b, L"16"), nullptr, false),  // moved on
      ROW(vouch(b, L"15") + test::Line(L"/n", L"拒绝: x", L"16", b, L"2", L"") + L"\r\n", test::kB, false),
      ROW(vouch(a, L"15"), nullptr, false),                                     // this card's own
      ROW(vouch(b, L"15") + undo(b, L"0"), nullptr, false),                     // its /undo ended the claim
      ROW(vouch(b, L"15") + undo(b, L"3"), test::kB, false),                    // not all put back: still held
      ROW(vouch(b, L"15") + undo(a, L"0"), test::kB, false),                    // another card's /undo
      ROW(vouch(b, L"15") + undo(b, L"0") + vouch(b, L"15"), test::kB, false),  // taken again
      ROW(laterVersion + L"\r\n", test::kB, false),
      ROW(vouch(b, L"15") + vouch(b, L"16", L"\t版本=2.0\t新=x"), nullptr, false),
      ROW(vouch(b, L"15") + doubled + L"\r\n", test::kB, true),
      ROW(doubled + L"\r\n", nullptr, true),
      ROW(doubled + L"\r\n" + vouch(b, L"15"), test::kB, false),  // a vouching line after it decides
      ROW(doubled + L"\r\n" + vouch(a, L"15"), nullptr, false),
      ROW(twoNumbers + L"\r\n", nullptr, true),
      ROW(unknownRun + L"\r\n", nullptr, true),
      ROW(test::Line(L"/n", L"已写入", L"16", b, L"0\t版本=2\t版本=3", b + L"=16") + L"\r\n", nullptr, false),
      ROW(test::Line(L"/n", L"已写入", L"15", b, L"0", a + L"=15") + L"\r\n", nullptr, true),  // a tail that lies
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const LogText text{{ToUtf8(row.log)}, {}};
    const NumberClaim claim = ClaimOn(text, 15, a);
    EXPECT_EQ(claim.holder ? claim.holder->record.address : L"", row.holder ? row.holder : L"");
    EXPECT_EQ(claim.untrusted.has_value(), row.unknown);
  }
}

// The number a card holds as its own lines say, for the line its /undo writes.
TEST(ClaimOnTest, TheNumberACardHoldsEndsWithItsUndo) {
  const std::wstring a(test::kA);
  const auto vouch = [&a](const wchar_t* number) {
    return test::Line(L"/n", L"已写入", number, a, L"0", a + L"=" + number) + L"\r\n";
  };
  const std::wstring undone = test::Line(L"/undo", L"已撤销", L"16", a, L"0", L"") + L"\r\n";
  const struct {
    int line;
    std::wstring log;
    const wchar_t* number;  // nullptr: none
  } rows[] = {
      ROW(vouch(L"15") + vouch(L"16"), L"16"),
      ROW(vouch(L"15") + test::Line(L"/n", L"拒绝: x", L"17", a, L"2", L"") + L"\r\n", L"15"),
      ROW(vouch(L"16") + undone, nullptr),
      ROW(vouch(L"16") + undone + vouch(L"17"), L"17"),
      ROW(test::Line(L"/n", L"已写入", L"15", test::kB, L"0", std::wstring(test::kB) + L"=15") + L"\r\n", nullptr),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const LogText text{{ToUtf8(row.log)}, {}};
    const std::optional<std::wstring> number = NumberOfCard(text, a);
    EXPECT_EQ(number.value_or(L"none"), row.number ? row.number : L"none");
  }
}

// What the guard cannot trust reaches the run: a doubt like a log it cannot read, and /table says why a
// line was skipped.
TEST_F(DeploymentTest, ALineThatCannotBeTrustedLeavesItsNumberUnknown) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  Config(L"");
  sim.files.Put(
      log, ToUtf8(L"\xFEFF" +
                  test::Line(L"/n", L"已写入", L"15", L"00-1A-2B-3C-4D-5F", L"0\t机号=15", L"00-1A-2B-3C-4D-5F=15") +
                  L"\r\n"));
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"日志中 2026-12-01 10:00:00 的一行提到机号 15,但它有重复或无法读取的列"), std::wstring::npos)
      << sim.console.output;
  Run(L"/table");
  EXPECT_NE(Output().find(L"跳过了日志中无法信任的 1 行: 1 行有重复或无法读取的列"), std::wstring::npos)
      << sim.console.output;
}

// One line that speaks of a restart for this machine but cannot be trusted: whether a restart was asked is
// unknown, so none is asked (a loop must stay impossible).
TEST_F(DeploymentTest, AnUntrustedRestartLineAsksNoRestart) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  sim.system.sinceBoot = 10 * 60 * 1000;
  ASSERT_EQ(Run(L"/auto /noreboot"), exit_code::kDone);
  sim.files.Put(log, sim.files.Get(log).value_or("") +
                         ToUtf8(test::Line(L"/auto", L"已是这些设置, 已请求重启", L"15", L"00-1A-2B-3C-4D-5E",
                                           L"0\t版本=2\t版本=3", L"", L"", L"2026-12-08 09:30:06") +
                                L"\r\n"));
  sim.restart.calls.clear();
  sim.system.now.minute += 1;
  EXPECT_EQ(Run(L"/auto"), exit_code::kNotInEffect);
  EXPECT_TRUE(sim.restart.calls.empty());
  EXPECT_NE(Output().find(L"1 行提到重启,但有重复或无法读取的列"), std::wstring::npos) << sim.console.output;
}

// A log the run cannot write (a read-only share) is still read: the guard answers all the same.
TEST_F(DeploymentTest, ALogThatCannotBeWrittenIsStillReadForTheGuard) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  Config(L"");
  ASSERT_EQ(Run(L"/n 20 /card 2 /noreboot"), exit_code::kDone);
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kRefused);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_NE(Output().find(L"日志显示机号 20 已经给了另一块网卡 00-1A-2B-3C-4D-5F"), std::wstring::npos)
      << sim.console.output;
}

// The log as Notepad saves it again: "ANSI" (code page 936) or "Unicode" (UTF-16LE).
void Resave(sim::SimPlatform& s, const std::string& log, bool utf16) {
  const std::wstring text = FromUtf8(s.files.Get(log).value_or("").substr(3));
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF)};
  s.files.Put(log, utf16 ? out : s.text.ToAnsi(text));
}

// The log as a cafe leaves it while every machine runs: re-saved by a person, torn or cut by a crash,
// held, grown past what the tool writes. What can be read is read; what cannot is never taken as "nobody
// holds the number" nor as "no restart was asked"; a log nobody lets go of writes nothing at all.
enum class LogKind { Readable, Unknown, Busy };
struct LogStateRow {
  int line;
  void (*change)(sim::SimPlatform&, const std::string&);
  LogKind kind;
  int skipped;  // lines of the readable log skipped
};
const LogStateRow kLogStates[] = {
    ROW([](sim::SimPlatform&, const std::string&) {}, LogKind::Readable, 0),                            // as written
    ROW([](sim::SimPlatform& s, const std::string& l) { Resave(s, l, false); }, LogKind::Readable, 0),  // ANSI
    ROW([](sim::SimPlatform& s, const std::string& l) { Resave(s, l, true); }, LogKind::Readable, 0),   // Unicode
    // Torn inside a character.
    ROW([](sim::SimPlatform& s,
           const std::string& l) { s.files.Put(l, s.files.Get(l).value_or("") + "2026-12-08 09:31:00\t/n\t\xE5\xB7"); },
        LogKind::Readable, 1),
    // NUL bytes after the last line, a crash: the lines before are records like any other.
    ROW([](sim::SimPlatform& s,
           const std::string& l) { s.files.Put(l, s.files.Get(l).value_or("") + std::string(100, '\0')); },
        LogKind::Readable, 1),
    ROW([](sim::SimPlatform& s, const std::string& l) { s.files.Hold(l, true); }, LogKind::Busy, 0),  // no sharing
    ROW([](sim::SimPlatform& s, const std::string& l) { s.files.LockByOther(l, true); }, LogKind::Busy, 0),
    // Larger than the tool writes.
    ROW(
        [](sim::SimPlatform& s, const std::string& l) {
          s.files.Put(l, s.files.Get(l).value_or("") + std::string(kLogReadLimit, 'x') + "\r\n");
        },
        LogKind::Unknown, 0),
};

class LogStateTest : public DeploymentTest {
 protected:
  void Fresh() {
    test::CloneImage(sim);
    for (const std::string& file : {log, log + ".old"}) sim.files.RemoveFile(file.c_str());
  }
  void LetGo() {
    sim.files.Hold(log, false);
    sim.files.LockByOther(log, false);
  }
};

// The guard: card 2 ran /n 20; card 1 asks for 20.
TEST_F(LogStateTest, TheGuardHoldsWhateverStateTheLogIsIn) {
  const std::map<LogKind, const wchar_t*> says = {
      {LogKind::Readable, L"日志显示机号 20 已经给了另一块网卡 00-1A-2B-3C-4D-5F"},
      {LogKind::Unknown, L"无法确认机号 20 没有给别的网卡。\r\n要仍然写入,请加 /force。"},
      {LogKind::Busy, L"正被其他机器或程序占用,等了 120 秒仍没能锁定它"}};
  for (const LogStateRow& row : kLogStates) {
    TRACE_ROW(row);
    Fresh();
    Config(L"");
    ASSERT_EQ(Run(L"/n 20 /card 2 /noreboot"), exit_code::kDone);
    row.change(sim, log);
    sim.registry.ClearWrites();
    EXPECT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kRefused);
    EXPECT_TRUE(test::MachineWrites(sim).empty());
    EXPECT_NE(Output().find(says.at(row.kind)), std::wstring::npos) << sim.console.output;
    LetGo();
    if (row.kind != LogKind::Readable) continue;
    // The refusal's line is on a line of its own, after a torn one too; the lines before it still read.
    const RunLog read = ReadRunLog(platform, BesideConfig(platform));
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries.back().record.outcome.rfind(kRefusedOutcome, 0), 0u);
    EXPECT_EQ(read.Skipped(), row.skipped);
    EXPECT_EQ(read.foreign, 0);
  }
}

// The restart rule: a rename asked for once, then the log in this state, and three more runs at start-up
// that find Windows still under the old name: never more than two requests in all.
TEST_F(LogStateTest, TheRestartRuleHoldsWhateverStateTheLogIsIn) {
  const std::map<LogKind, const wchar_t*> says = {{LogKind::Readable, L"请求过两次重启,计算机名仍未生效"},
                                                  {LogKind::Unknown, L"不能确认是否已经请求过重启,所以不重启"},
                                                  {LogKind::Busy, L"什么也没有写入,也不重启"}};
  const std::map<LogKind, int> codesOfThree = {{LogKind::Readable, exit_code::kDone + 2 * exit_code::kNotInEffect},
                                               {LogKind::Unknown, 3 * exit_code::kNotInEffect},
                                               {LogKind::Busy, 3 * exit_code::kRefused}};
  for (const LogStateRow& row : kLogStates) {
    TRACE_ROW(row);
    Fresh();
    Config(L"00-1A-2B-3C-4D-5E=15\r\n");
    sim.restart.calls.clear();
    ASSERT_EQ(Run(L"/auto"), exit_code::kDone);
    row.change(sim, log);
    int codes = 0;
    for (int run = 0; run < 3; ++run) {
      sim.system.now.minute += 1;
      codes += Run(L"/auto");
    }
    const auto requests = std::count_if(sim.restart.calls.begin(), sim.restart.calls.end(),
                                        [](const std::string& call) { return call.rfind("ExitWindowsEx", 0) == 0; });
    EXPECT_EQ(requests, row.kind == LogKind::Readable ? 2 : 1);
    EXPECT_EQ(codes, codesOfThree.at(row.kind));
    EXPECT_NE(Output().find(says.at(row.kind)), std::wstring::npos) << sim.console.output;
    // /auto follows [Machines] all the same, and says what the log could not tell.
    EXPECT_EQ(Output().find(L"注意: 无法读取日志 ") != std::wstring::npos, row.kind == LogKind::Unknown)
        << sim.console.output;
    LetGo();
  }
}

// Of runs at once that want one number, one writes: the log is held from the guard's reading through the
// registry writes to the run's own line, and that line is on the disk before the restart is asked.
TEST_F(DeploymentTest, CheckWriteAndLineAreOneStepAndTheLineComesFirst) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  Config(L"");
  int writesUnlocked = 0;
  sim.registry.onWrite = [&] {
    const Files::Opened other = sim.files.OpenShared(log.c_str());  // another machine's run
    if (other.status == Files::Open::Opened && sim.files.TryLock(other.file)) ++writesUnlocked;
    sim.files.Close(other.file);
  };
  std::string atRestart;
  std::size_t unflushed = 1;
  sim.restart.onExitWindows = [&] {
    atRestart = Log();
    unflushed = sim.files.Unflushed(log);
  };
  EXPECT_EQ(Run(L"/n 20 /card 1"), exit_code::kDone);
  EXPECT_EQ(writesUnlocked, 0);
  EXPECT_NE(atRestart.find(ToUtf8(L"已请求重启")), std::string::npos) << atRestart;
  EXPECT_EQ(unflushed, 0u);
  sim.registry.onWrite = nullptr;
  // Windows refuses the restart: the log's last word on the run is the exit code it returns.
  sim.restart.exitFails = true;
  test::CloneImage(sim);
  EXPECT_EQ(Run(L"/n 20 /card 1"), exit_code::kRestartRefused);
  const std::string after = Log();
  EXPECT_NE(after.rfind(ToUtf8(L"\t退出码=4\t")), std::string::npos);
  EXPECT_GT(after.rfind(ToUtf8(L"\t退出码=4\t")), after.rfind(ToUtf8(L"\t退出码=0\t")));
}

// Values already in place do not take back a number the log gives another card that still holds it.
TEST_F(DeploymentTest, ValuesInPlaceAreNoClaimOnANumberAnotherCardHolds) {
  Config(L"");
  ASSERT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kDone);
  ASSERT_EQ(Run(L"/n 20 /card 2 /noreboot /force"), exit_code::kDone);
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 20 /card 1 /noreboot"), exit_code::kRefused);  // card 1's values are still in place
  EXPECT_NE(Output().find(L"已经给了另一块网卡 00-1A-2B-3C-4D-5F"), std::wstring::npos) << sim.console.output;
  // Card 2, re-cloned, still finds 20 its own.
  test::CloneImage(sim);
  EXPECT_EQ(Run(L"/n 20 /card 2 /noreboot"), exit_code::kDone) << sim.console.output;
}

}  // namespace
}  // namespace vexa
