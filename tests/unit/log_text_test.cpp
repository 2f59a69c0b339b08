// Both files of the shared log as text: read backward as forward, in any encoding a person re-saved them,
// a crash's NUL bytes one torn stretch, addresses in one spelling, UTF-8 both ways.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/utf8.h"
#include "log/number_claims.h"
#include "log/run_log.h"
#include "row.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::kA;
using test::kB;
using test::Line;

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

}  // namespace
}  // namespace vexa
