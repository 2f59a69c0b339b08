// The shared log: a line parsed back into its record or skipped, both files as text, where the log lives,
// and that no run loses its line silently.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ok_action.h"
#include "common/exit_codes.h"
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

struct LineRow {
  int line;
  std::wstring text;
  bool complete;
  LogEntry::Fault fault;
  bool vouches;
};
using Fault = LogEntry::Fault;
const std::wstring kAddressA(kA);
const std::wstring kAddressB(kB);
const std::wstring kHead = L"2026-12-01 10:00:00\t/n\t已写入\t";
const std::wstring kColumns = L"机号=21\t计算机名=WB-21\tIP=\t网卡=NIC\t地址=" + kAddressA + L"\t未写入=";
const LineRow kLineRows[] = {
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21"), false, Fault::Torn, false),  // no CR LF
    // Each earlier version's line: without the exit code and the version, with the exit code only.
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=1.1.0-dev+1a2b3c4", kAddressA + L"=21"), true, Fault::None,
        true),
    // A later version's: kColumns this one does not know, before, between and after the others.
    ROW(kHead + L"新列=x\t" + kColumns + L"\t退出码=0\t" + kAddressA + L"=21", true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=2.0\t区=一楼", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21\t新列=x\t又一列"), true, Fault::None, true),
    // Whatever the version column holds, as kAddressA later version may write it.
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=1.1 beta", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=二.〇", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=" + std::wstring(300, L'9'), kAddressA + L"=21"), true,
        Fault::None, true),
    // The tool's kColumns it cannot trust: what they say of the number and the card is unknown.
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=1.1.0\t版本=1.1.0", kAddressA + L"=21"), true,
        Fault::Untrusted, false),
    ROW(kHead + kColumns + L"\t机号=22\t退出码=0\t" + kAddressA + L"=21", true, Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21\t" + kAddressA + L"=21"), true,
        Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0x", kAddressA + L"=21"), true, Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"", L"退出码=\t" + kAddressA + L"=21"), true, Fault::Untrusted,
        false),
    ROW(Line(L"/n", L"已写入", L"21", L"00-1A-2B-3C-4D-0E;x", L"0", L""), true, Fault::Untrusted, false),
    ROW(Line(L"/x", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21"), true, Fault::Untrusted,
        false),  // kAddressA kind of run
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=2"), true, Fault::Untrusted,
        false),  // kAddressA tail that lies
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=12"), true, Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressB + L"=21"), true, Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", L"", L"0", kAddressA + L"=21"), true, Fault::Untrusted, false),
    ROW(Line(L"/n", L"已写入", L"21", L"", L"0", L"=21"), true, Fault::None, false),  // no address, no tail
    ROW(Line(L"窗口", L"已是这些设置", L"007", kAddressA, L"5", kAddressA + L"=007"), true, Fault::None, true),
    ROW(Line(L"/auto", L"已写入", L"21", kAddressA, L"4", kAddressA + L"=21"), true, Fault::None,
        true),  // restart refused
    ROW(Line(L"/n", L"拒绝: x", L"21", kAddressA, L"2", L""), true, Fault::None, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"2", kAddressA + L"=21"), true, Fault::None,
        false),  // kAddressA refusal's code
    ROW(Line(L"/n", L"已写入, 部分未写入", L"21", kAddressA, L"3", kAddressA + L"=21", L"游戏序列号"), true,
        Fault::None, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"", kAddressA + L"=21", L"IPX"), true, Fault::None, false),
    ROW(Line(L"/check", L"检查: 已生效", L"21", kAddressA, L"0", kAddressA + L"=21"), true, Fault::None, false),
    ROW(Line(L"/n", L"已写入", L"0", kAddressA, L"0", kAddressA + L"=0"), true, Fault::None, false),
    // Numbers past 254 a zone of config.ini may hold: the log vouches for any a machine can have.
    ROW(Line(L"/n", L"已写入", L"255", kAddressA, L"0", kAddressA + L"=255"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"9999", kAddressA, L"0", kAddressA + L"=9999"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"10000", kAddressA, L"0", kAddressA + L"=10000"), true, Fault::None, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-12-31 23:59:59"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2027-01-01 00:00:00"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-00-10 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-12-32 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-13-01 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-12-01 24:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-12-01T10:00:00"), true,
        Fault::Foreign, false),
    // Days that never were, and years outside what kAddressA clock of kAddressA cafe's machine can say.
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-02-31 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-02-29 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2026-04-31 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2024-02-29 10:00:00"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2000-02-29 10:00:00"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2100-02-29 10:00:00"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"1969-12-31 23:59:59"), true,
        Fault::Foreign, false),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"1970-01-01 00:00:00"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"2999-12-31 23:59:59"), true,
        Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L"3000-01-01 00:00:00"), true,
        Fault::Foreign, false),
    // Lines of earlier versions (no exit code) vouch only when their outcome says written or in place.
    ROW(Line(L"/n", L"拒绝: x", L"21", kAddressA, L"", kAddressA + L"=21"), true, Fault::None, false),
    ROW(Line(L"/n", L"已是这些设置", L"21", kAddressA, L"", kAddressA + L"=21"), true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", L""), true, Fault::Foreign, false),
    ROW(L"2026-12-01 10:00:00\t/n\tx\t机号=1\tb\tc\td", true, Fault::Foreign, false),  // not the tool's kColumns
    // Cut short by kAddressA machine switched off, then ended by the next run's line end: the tool's kColumns so far.
    ROW(L"2026-12-01 10:00:00\t/n", true, Fault::Torn, false),
    ROW(L"2026-12-01 10:00:00\t/n\tx\t机号=1\t计算机名=WB-1", true, Fault::Torn, false),
    ROW(L"2026-12-01 10:00:00\t/n\tx\t号=1\t计算机名=WB-1", true, Fault::Foreign, false),  // not the tool's start
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"123", kAddressA + L"=21"), true, Fault::Untrusted, false),
    ROW(L"garbage", true, Fault::Foreign, false),
    ROW(Line(L"/n", std::wstring(4100, L'x'), L"21", kAddressA, L"0", kAddressA + L"=21"), true, Fault::TooLong, false),
    // The longest line the tool reads, and one past it.
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21") + L"\t" +
            std::wstring(4096 - 1 - Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21").size(), L'x'),
        true, Fault::None, true),
    ROW(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21") + L"\t" +
            std::wstring(4096 - Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21").size(), L'x'),
        true, Fault::TooLong, false),
};

TEST(LogLineTest, ParsedBackOrSkipped) {
  for (const LineRow& row : kLineRows) {
    TRACE_ROW(row);
    const LogEntry entry = ParseLogLine(row.text, row.complete);
    EXPECT_EQ(entry.fault, row.fault);
    EXPECT_EQ(entry.Vouches(), row.vouches);
  }
}

TEST(LogLineTest, EachMonthsLastDayAndTheDayAfter) {
  const int lastDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int month = 1; month <= 12; ++month) {
    for (int day : {lastDays[month - 1], lastDays[month - 1] + 1}) {
      const std::wstring stamp = L"2026-" + ZeroPadded(month, 2) + L"-" + ZeroPadded(day, 2) + L" 10:00:00";
      const LogEntry entry =
          ParseLogLine(Line(L"/n", L"已写入", L"21", kAddressA, L"0", kAddressA + L"=21", L"", stamp), true);
      EXPECT_EQ(entry.fault == Fault::None, day == lastDays[month - 1]) << ToUtf8(stamp);
    }
  }
}

// What the tool writes it reads back as the same record.
TEST(LogLineTest, WhatItWritesItReadsBack) {
  RunRecord record;
  record.mode = RunMode::Auto;
  record.outcome = L"已写入, 部分未写入";
  record.number = L"007";
  record.hostName = L"WB-007";
  record.ipAddress = L"192.168.0.7";
  record.card = L"NIC";
  record.address = kAddressA;
  record.notWritten = {L"IPX 网络号", L"游戏序列号", L"DNS 信息"};
  record.exitCode = 3;
  record.version = L"1.1.0-dev+1a2b3c4";
  record.inPlace = true;
  const LocalTime time{2026, 2, 28, 23, 59, 58};
  const LogEntry entry = ParseLogLine(LogLine(time, record), true);
  ASSERT_EQ(entry.fault, Fault::None);
  EXPECT_EQ(LogLine(entry.time, entry.record), LogLine(time, record));
  EXPECT_EQ(entry.record.notWritten, record.notWritten);
  EXPECT_EQ(entry.record.exitCode, 3);
  EXPECT_EQ(entry.record.version, record.version);
  EXPECT_EQ(ParseLogLine(Line(L"/n", L"已写入", L"21", kAddressA, L"", kAddressA + L"=21"), true).record.version, L"");
  // A later version's version as it wrote it; an exit code of two digits read as such (none of the tool's
  // has two).
  EXPECT_EQ(ParseLogLine(Line(L"/n", L"已写入", L"21", kAddressA, L"0\t版本=二.〇 β", kAddressA + L"=21"), true)
                .record.version,
            L"二.〇 β");
  EXPECT_EQ(ParseLogLine(Line(L"/n", L"已写入", L"21", kAddressA, L"12", kAddressA + L"=21"), true).record.exitCode,
            12);
}

// Whether a line's bytes name a number, before it is parsed: any number column, or the tail, as the number
// box reads digits ("007" is 7; blanks around them).
TEST(LogLineTest, TheBytesThatNameANumber) {
  const struct {
    int line;
    std::wstring text;
    int number;
    bool names;
  } rows[] = {
      ROW(Line(L"/n", L"已写入", L"15", kAddressA, L"0", kAddressA + L"=15"), 15, true),
      ROW(Line(L"/n", L"已写入", L"15", kAddressA, L"0", kAddressA + L"=15"), 5, false),
      ROW(Line(L"/n", L"已写入", L"007", kAddressA, L"0", L""), 7, true),
      ROW(Line(L"/n", L"已写入", L" 15 ", kAddressA, L"0", L""), 15, true),
      ROW(Line(L"/n", L"拒绝: x", L"16", kAddressA, L"2", L"") + L"\t机号=15", 15, true),  // a second column
      ROW(Line(L"/n", L"已写入", L"16", kAddressA, L"0", kAddressA + L"=15"), 15, true),   // its tail
      ROW(Line(L"/n", L"已写入", L"150", kAddressA, L"0", L""), 15, false),
      ROW(Line(L"/n", L"已写入", L"", kAddressA, L"0", L""), 15, false),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    EXPECT_EQ(NamesNumber(ToUtf8(row.text), row.number), row.names);
  }
}

// The guard reads the log from its end: the same lines as going forward, in reverse, whatever their
// lengths around the eight bytes it looks at at once; blank lines left out, a torn last line kept.
TEST(RunLogTest, BackwardGivesTheLinesForwardGivesInReverse) {
  const std::string long40(40, 'x');
  const LogText text{{"a\r\n\r\nbbbbbbb\r\n" + long40 + "\n12345678\r\n", "\r\n" + long40 + "\r\ntorn"}, {}};
  std::vector<std::string> lines;
  text.Backward([&lines](std::string_view line, bool ended, bool hasEnd) {
    lines.push_back(std::string(line) + (ended ? "|crlf" : hasEnd ? "|lf" : "|none"));
    return true;
  });
  const std::vector<std::string> expected = {"torn|none",    long40 + "|crlf", "12345678|crlf",
                                             long40 + "|lf", "bbbbbbb|crlf",   "a|crlf"};
  EXPECT_EQ(lines, expected);
  int visited = 0;
  text.Backward([&visited](std::string_view, bool, bool) { return ++visited < 2; });
  EXPECT_EQ(visited, 2) << "stops when asked";
  // A tail is read from a line's bytes: a column that is a card's address, '=' and digits, the last such
  // from the line's end (a later version may write columns after it); the first column never is one.
  const struct {
    int line;
    std::string text;
    const char* address;  // nullptr: no tail
    const char* number;
  } tails[] = {
      ROW("x\t地址=00-1A-2B-3C-4D-5E\t退出码=0\t00-1A-2B-3C-4D-5E=15", "00-1A-2B-3C-4D-5E", "15"),
      ROW("x\t00-1A-2B-3C-4D-5E=15\t新列=1\t版本=2", "00-1A-2B-3C-4D-5E", "15"),
      ROW("x\tab:cd:ef:01:23:45=007", "ab:cd:ef:01:23:45", "007"),
      ROW("x\t地址=00-1A-2B-3C-4D-5E\t退出码=0", nullptr, nullptr),
      ROW("x\t00-1A-2B-3C-4D-5E=", nullptr, nullptr),
      ROW("00-1A-2B-3C-4D-5E=15", nullptr, nullptr),
      ROW("x\t00-1A-2B-3C-4D=15", nullptr, nullptr),
      ROW("x\t00-1A-2B:3C-4D-5E=15", nullptr, nullptr),  // one separator throughout
      ROW("x\t00-1A-2B-3C-4D-5G=15", nullptr, nullptr),
      ROW("x\t00-1A-2B-3C-4D-5E=1x", nullptr, nullptr),
      ROW("x\t=15", nullptr, nullptr),
  };
  for (const auto& row : tails) {
    TRACE_ROW(row);
    const std::optional<LineTail> tail = TailOfLine(row.text);
    EXPECT_EQ(tail.has_value(), row.address != nullptr);
    if (tail && row.address != nullptr) {
      EXPECT_EQ(tail->address, row.address);
      EXPECT_EQ(tail->number, row.number);
    }
  }
}

// A log that begins with the tool's mark is UTF-8 whatever one line holds: a line of other bytes is skipped
// alone, never a reason to read the whole file as ANSI.
TEST(RunLogTest, ALineOfOtherBytesInAUtf8LogIsSkippedAlone) {
  sim::SimPlatform sim;
  const std::wstring a(kA);
  LogText text;
  AddLogBytes(sim.text,
              "\xEF\xBB\xBF" + ToUtf8(Line(L"/n", L"已写入", L"21", a, L"0", a + L"=21")) + "\r\nx\xFF\xFEy\r\n", text);
  const RunLog log = text.Select(nullptr);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_TRUE(log.entries[0].Vouches());
  EXPECT_EQ(log.foreign, 1);
}

// A crash leaves NUL bytes where a line was being written: each run of them, with the start of the line it
// cut, is one stretch skipped and counted; the whole lines around it, in any encoding, are records.
TEST(RunLogTest, NulBytesAreOneTornStretchAndTheLinesAroundThemRead) {
  sim::SimPlatform sim;
  const std::string a = ToUtf8(Line(L"/n", L"已写入", L"21", kA, L"0", std::wstring(kA) + L"=21")) + "\r\n";
  const std::string b = ToUtf8(Line(L"/n", L"已写入", L"22", kB, L"0", std::wstring(kB) + L"=22")) + "\r\n";
  const std::string nuls(512, '\0');
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : FromUtf8(a) + L"2026-12-01") utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  const std::string m = "\xEF\xBB\xBF";
  const struct {
    int line;
    std::string bytes;
    std::size_t entries;
    int crashed;
  } rows[] = {
      ROW(m + a + nuls, 1, 1),                                // grown and never filled after the last line
      ROW(m + a + "2026-12-01 10:00:00\t/n\t" + nuls, 1, 1),  // the start of the cut line goes with it
      ROW(m + a + nuls + b, 2, 1),                            // a line written after the stretch
      ROW(m + nuls + a, 1, 1),
      ROW(m + a + nuls + "\t机号=2" + nuls + b, 2, 2),  // a piece between two stretches goes with the second
      ROW(m + std::string(1, '\0'), 0, 1),
      ROW(m + a + b, 2, 0),
      ROW(utf16 + std::string(64, '\0'), 1, 1),  // re-saved as Unicode, then cut: decoded first
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    LogText text;
    AddLogBytes(sim.text, row.bytes, text);
    EXPECT_TRUE(text.Whole()) << "a crash's remains are no reason to call the log unreadable";
    const RunLog log = text.Select(nullptr);
    EXPECT_EQ(log.entries.size(), row.entries);
    EXPECT_EQ(log.crashed, row.crashed);
    EXPECT_EQ(log.Skipped(), row.crashed);
    for (const std::string& file : text.files) EXPECT_EQ(file.find('\0'), std::string::npos);
  }
}

// One spelling for a card's address, whatever a line or a person wrote; text that is no address stays as it is.
TEST(RunLogTest, AnAddressHasOneSpelling) {
  for (const wchar_t* written :
       {L"00-1A-2B-3C-4D-5E", L"00-1a-2b-3c-4d-5e", L"00:1A:2B:3C:4D:5E", L"00:1a:2B:3c:4D:5e"}) {
    EXPECT_EQ(AddressKey(written), L"00-1A-2B-3C-4D-5E") << ToUtf8(written);
  }
  for (const wchar_t* written : {L"G0-1A-2B-3C-4D-5E", L"00-1A-2B-3C-4D", L"00-1A-2B-3C-4D-5E-"}) {
    EXPECT_EQ(AddressKey(written), written) << ToUtf8(written);
  }
}

// The log's text goes out as UTF-8: a surrogate pair is one code point, a surrogate without its partner
// (or a unit past U+10FFFF, where wchar_t has 32 bits) is U+FFFD.
TEST(RunLogTest, WideTextAsUtf8) {
  const struct {
    std::wstring text;
    std::string utf8;
  } cases[] = {
      {{wchar_t(0x7F), wchar_t(0x80), wchar_t(0x7FF), wchar_t(0x800)}, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80"},
      {{wchar_t(0xD800), wchar_t(0xDC00), wchar_t(0xDBFF), wchar_t(0xDFFF)}, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {{wchar_t(0xD800), L'A', wchar_t(0xDFFF)},
       "\xEF\xBF\xBD"
       "A"
       "\xEF\xBF\xBD"},
      {{L'A', wchar_t(0xDC00), wchar_t(0xDBFF)}, "A\xEF\xBF\xBD\xEF\xBF\xBD"},
      {{wchar_t(0xD7FF), wchar_t(0xE000)}, "\xED\x9F\xBF\xEE\x80\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(c.text), c.utf8) << (&c - cases);
  if constexpr (sizeof(wchar_t) == 4) {
    EXPECT_EQ(ToUtf8(std::wstring{wchar_t(0x10FFFF), wchar_t(0x110000)}), "\xF4\x8F\xBF\xBF\xEF\xBF\xBD");
  }
}

// And comes back in: only valid UTF-8 is the log's (the last code point is, one past it, an overlong form
// and a surrogate are not); a byte that belongs to nothing reads as U+FFFD, and reading goes on.
TEST(RunLogTest, Utf8AsWideText) {
  const struct {
    std::string bytes;
    bool valid;
  } cases[] = {{"\xF4\x8F\xBF\xBF", true}, {"\xF4\x90\x80\x80", false}, {"\xF0\x8F\xBF\xBF", false},
               {"\xE0\x9F\xBF", false},    {"\xED\xA0\x80", false},     {"\xC2\x80", true}};
  for (const auto& c : cases) EXPECT_EQ(IsUtf8(c.bytes), c.valid) << (&c - cases);
  EXPECT_EQ(FromUtf8("\xEF\xBB\xBF"
                     "a\xFF"
                     "b"),
            L"a\xFFFD"
            "b");
}

// One log for the whole cafe: config.ini may put it in a shared folder; every mode, /table and /report use
// it there, under the log's rules; a folder that cannot be reached gives way to config.ini's, and is said.
TEST_F(DeploymentTest, TheLogFolderConfigIniNames) {
  const std::string share = "\\\\server\\vexa";
  const std::string there = share + "\\VexaIpSet.log";
  const std::string here = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.AddFolder(share);
  const struct {
    int line;
    const wchar_t* folder;
    void (*set)(sim::SimFiles&, const std::string&);
    const char* logged;   // where the line went, or nullptr
    const wchar_t* says;  // nullptr: nothing about the log
  } cases[] = {
      ROW(
          L"\\\\server\\vexa", [](sim::SimFiles&, const std::string&) {}, "\\\\server\\vexa\\VexaIpSet.log", nullptr),
      ROW(
          L"\\\\server\\gone", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log",
          L"日志文件夹 \\\\server\\gone 无法访问,这次记在 C:\\VexaIpSet\\VexaIpSet.log。"),
      ROW(
          L"\\\\server\\vexa", [](sim::SimFiles& f, const std::string& l) { f.Put(l, ""), f.Links(l, 2); }, nullptr,
          L"日志 \\\\server\\vexa\\VexaIpSet.log 是链接"),
      // A start-up task runs in System32: a relative folder is config.ini's.
      ROW(
          L".\\", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log", nullptr),
      ROW(
          L"..\\VexaIpSet\\.", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log", nullptr),
      // A name ANSI calls cannot carry is refused by its character, not turned into "?" and looked for.
      ROW(
          L"\\\\server\\caf\u00C9", [](sim::SimFiles&, const std::string&) {}, "C:\\VexaIpSet\\VexaIpSet.log",
          L"含有 Windows(代码页 936)无法表示的字符“é”(U+00C9),无法使用,这次记在"),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    for (const std::string& log : {there, here}) sim.files.RemoveFile(log.c_str());
    c.set(sim.files, there);
    // Saved as UTF-8: a name GBK cannot hold reaches the tool as typed.
    sim.PutConfigBytes("\xEF\xBB\xBF" +
                       ToUtf8(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=" + std::wstring(c.folder)));
    EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
    for (const std::string& log : {there, here}) {
      EXPECT_EQ(sim.files.Get(log).value_or("").find("\t/n\t") != std::string::npos,
                c.logged != nullptr && log == c.logged)
          << log;
    }
    EXPECT_EQ(c.says == nullptr, Output().find(L"日志") == std::wstring::npos) << sim.console.output;
    if (c.says != nullptr) {
      EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
    }
    sim.files.Links(there, 1);
  }
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=\\\\server\\vexa\r\n");
  sim.files.RemoveFile(there.c_str());
  EXPECT_EQ(Run(L"/n 15 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"00-1A-2B-3C-4D-5E=15"), std::wstring::npos);
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_TRUE(sim.files.Get(share + "\\VexaIpSet.html").has_value());
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

TEST(LogLineTest, SecondsOfALocalTime) {
  const struct {
    LocalTime time;
    std::int64_t seconds;
  } cases[] = {
      {{1970, 1, 1, 0, 0, 0}, 0},
      {{2026, 12, 8, 9, 30, 5}, 1796722205},
      {{2000, 2, 29, 23, 59, 59}, 951868799},
      {{2000, 3, 1, 0, 0, 0}, 951868800},
      {{1999, 12, 31, 23, 59, 59}, 946684799},
      {{2024, 1, 1, 0, 1, 0}, 1704067260},
      {{2100, 3, 1, 0, 0, 0}, 4107542400},  // a century that is no leap year
      {{2999, 12, 31, 23, 59, 59}, 32503679999},
  };
  for (const auto& c : cases) EXPECT_EQ(SecondsOf(c.time), c.seconds) << c.time.year << "-" << c.time.month;
}

TEST(LogLineTest, ControlCharactersInAFieldNeverMakeASecondLineOrColumn) {
  RunRecord record;
  record.mode = RunMode::Number;
  record.outcome = L"拒绝: x";
  record.number = L"17\r\n2026-01-01 00:00:00\t/auto\tFAKE";
  record.hostName = L"WB\x01\x7F";
  record.card = L"NIC\tA";
  record.address = L"00-1A-2B-3C-4D-5E";
  record.version = L"1.2.3\t";
  record.inPlace = true;
  const std::wstring line = LogLine(LocalTime{2026, 12, 8, 9, 30, 5}, record);
  EXPECT_EQ(
      line,
      L"2026-12-08 09:30:05\t/n\t拒绝: x\t机号=17  2026-01-01 00:00:00 /auto FAKE\t计算机名=WB  \tIP=\t网卡=NIC A\t"
      L"地址=00-1A-2B-3C-4D-5E\t未写入=\t版本=1.2.3 \t00-1A-2B-3C-4D-5E=17  2026-01-01 00:00:00 /auto FAKE");
}

}  // namespace
}  // namespace vexa
