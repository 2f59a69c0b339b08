// One line of the shared log: written from its record, parsed back into it or skipped with its fault, and
// what its bytes say before it is parsed.
#include <gtest/gtest.h>

#include "common/text.h"
#include "common/utf8.h"
#include "log/log_line.h"
#include "row.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

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
  record.machineGuid = L"0a1b2c3d";
  record.machineSid = L"ffee0099";
  const LocalTime time{2026, 2, 28, 23, 59, 58};
  const LogEntry entry = ParseLogLine(LogLine(time, record), true);
  ASSERT_EQ(entry.fault, Fault::None);
  EXPECT_EQ(LogLine(entry.time, entry.record), LogLine(time, record));
  EXPECT_NE(LogLine(time, record).find(L"\t版本=1.1.0-dev+1a2b3c4\t机器码=0a1b2c3d\tSID=ffee0099\t"),
            std::wstring::npos);
  EXPECT_EQ(entry.record.notWritten, record.notWritten);
  EXPECT_EQ(entry.record.exitCode, 3);
  EXPECT_EQ(entry.record.version, record.version);
  EXPECT_EQ(entry.record.machineGuid, L"0a1b2c3d");
  EXPECT_EQ(entry.record.machineSid, L"ffee0099");
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
// A machine's fingerprints: none in lines of earlier versions, and one this version cannot read (not eight
// lower-case hexadecimal digits) is unknown too, never a value two machines could share by accident; a
// fingerprint twice makes the line untrusted, as any column twice does.
TEST(LogLineTest, FingerprintsReadBackOrUnknown) {
  const struct {
    int line;
    std::wstring columns;
    const wchar_t* guid;
    const wchar_t* sid;
    Fault fault;
  } rows[] = {
      ROW(L"0", L"", L"", Fault::None),
      ROW(L"0\t版本=1.2.0\t机器码=0123abcd\tSID=89abcdef", L"0123abcd", L"89abcdef", Fault::None),
      ROW(L"0\tSID=89abcdef\t机器码=0123abcd", L"0123abcd", L"89abcdef", Fault::None),
      ROW(L"0\t机器码=\tSID=89ABCDEF", L"", L"", Fault::None),
      ROW(L"0\t机器码=0123abc\tSID=89abcdef0", L"", L"", Fault::None),
      ROW(L"0\t机器码=0123abcg", L"", L"", Fault::None),
      ROW(L"0\t机器码=0123abcd\t机器码=0123abcd", L"", L"", Fault::Untrusted),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const LogEntry entry =
        ParseLogLine(Line(L"/n", L"已写入", L"21", kAddressA, row.columns, kAddressA + L"=21"), true);
    EXPECT_EQ(entry.fault, row.fault);
    EXPECT_EQ(entry.record.machineGuid, row.guid);
    EXPECT_EQ(entry.record.machineSid, row.sid);
  }
}

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
