// Code page 936 as the platform converts it, run against the simulated Windows and against the real
// calls under Wine, whose table is Microsoft's.
#include <gtest/gtest.h>

#include <string>

#include "contract/fixture.h"

namespace vexa::contract {
namespace {

class TextContract : public ::testing::Test {
 protected:
  TextContract() : fixture_(MakeFixture()), platform_(fixture_->platform()) {}
  std::unique_ptr<Fixture> fixture_;
  Platform platform_;
};

TEST_F(TextContract, ChineseTextRoundTripsWithTwoBytesACharacter) {
  const std::wstring text = L"网络信息┄━＝“”计算机名";
  std::string ansi = platform_.text.ToAnsi(text);
  EXPECT_EQ(ansi.size(), 2 * text.size());
  EXPECT_EQ(platform_.text.FromAnsi(ansi), text);
  EXPECT_EQ(platform_.text.ToAnsi(L"网"), "\xCD\xF8");
  EXPECT_EQ(platform_.text.ToAnsi(L"┄"), "\xA9\xA8");
}

TEST_F(TextContract, NulsAreKeptInBothDirections) {
  EXPECT_EQ(platform_.text.ToAnsi(std::wstring(L"a\0网", 3)), std::string("a\0\xCD\xF8", 4));
  EXPECT_EQ(platform_.text.FromAnsi(std::string("a\0\xCD\xF8 ", 5)), std::wstring(L"a\0网 ", 4));
}

TEST_F(TextContract, CharacterWithoutGbkFormBecomesAQuestionMark) {
  EXPECT_EQ(platform_.text.ToAnsi(L"a\u0E01b"), "a?b");  // a Thai letter
}

TEST_F(TextContract, ALeadByteTakesTheNextByteUnlessItIsNulOrTheEnd) {
  EXPECT_EQ(platform_.text.FromAnsi("ab\x81"), L"ab?");
  EXPECT_EQ(platform_.text.FromAnsi("\x81\x20"
                                    "a"),
            L"?a");  // no such pair: one '?' for both bytes
  EXPECT_EQ(platform_.text.FromAnsi(std::string("\x81\0"
                                                "a",
                                                3)),
            std::wstring(L"?\0a", 3));
  EXPECT_TRUE(platform_.text.IsLeadByte('\x81'));
  EXPECT_TRUE(platform_.text.IsLeadByte('\xFE'));
  for (char c : {'\x80', '\xFF', 'a', '\0'}) EXPECT_FALSE(platform_.text.IsLeadByte(c)) << int(c);
}

// Microsoft's table: best fit for characters GBK lacks, the user-defined area, 0x80 and 0xFF.
TEST_F(TextContract, BestFitUserDefinedAreaAndTheSingleBytes) {
  const struct {
    const wchar_t* text;
    const char* ansi;
  } toAnsi[] = {{L"\u00B2", "2"},        {L"\u00C0", "\xA8\xA4"}, {L"\u00A2", "\xA1\xE9"},
                {L"\uE000", "\xAA\xA1"}, {L"\uF8F5", "\xFF"},     {L"\u20AC", "\x80"}};
  for (const auto& c : toAnsi) EXPECT_EQ(platform_.text.ToAnsi(c.text), c.ansi) << c.ansi;
  EXPECT_EQ(platform_.text.FromAnsi("\xAA\xA1\xFF\x80"), L"\uE000\uF8F5\u20AC");
}

}  // namespace
}  // namespace vexa::contract
