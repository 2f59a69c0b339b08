// The private-profile reader's behaviour that the logic relies on, run against the simulated Windows and
// against the real calls under Wine (see registry_contract_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "contract/fixture.h"
#include "contract/known_differences.h"

namespace vexa::contract {
namespace {

class ProfileContract : public ::testing::Test {
 protected:
  ProfileContract() : fixture_(MakeFixture()), platform_(fixture_->platform()) {}

  struct Read {
    std::uint32_t result;
    std::string buffer;  // the whole buffer
    std::string Value() const { return buffer.substr(0, buffer.find('\0')); }
  };

  Read ReadFrom(const std::string& file, const char* section, const char* key, const char* def = "dflt",
                std::uint32_t size = 254) {
    Read r{0, std::string(size, ' ')};
    r.result = platform_.profile.GetPrivateProfileStringA(section, key, def, r.buffer.data(), size, file.c_str());
    return r;
  }
  std::string Value(const std::string& content, const char* section, const char* key) {
    return ReadFrom(fixture_->PutFile("t.ini", content), section, key).Value();
  }

  std::unique_ptr<Fixture> fixture_;
  Platform platform_;
};

TEST_F(ProfileContract, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(ReadFrom("C:\\no\\such\\config.ini", "NetWork", "IP").Value(), "dflt");
  std::string file = fixture_->PutFile("a.ini", "[NetWork]\r\nIP=10.0.0\r\n");
  EXPECT_EQ(ReadFrom(file, "Other", "IP").Value(), "dflt");
  EXPECT_EQ(ReadFrom(file, "NetWork", "Mask").Value(), "dflt");
  Read r = ReadFrom(file, "NetWork", "IP");
  EXPECT_EQ(r.Value(), "10.0.0");
  EXPECT_EQ(r.result, 6u);
}

TEST_F(ProfileContract, EmptyValueIsEmptyNotTheDefault) {
  EXPECT_EQ(Value("[NetWork]\r\nIP=\r\n", "NetWork", "IP"), "");
}

TEST_F(ProfileContract, DefaultLosesTrailingBlanks) {
  EXPECT_EQ(ReadFrom("C:\\no\\such.ini", "s", "k", "abc  ").Value(), "abc");
}

TEST_F(ProfileContract, BlanksTabsAndVerticalTabsAroundNamesAndValuesAreTrimmed) {
  EXPECT_EQ(Value("[NetWork]\r\n  Mask \t=  255.255.0.0 \t \r\n", "NetWork", "Mask"), "255.255.0.0");
  EXPECT_EQ(Value("[NetWork]\r\nMask=\x0B"
                  "255.0.0.0\x0B\r\n",
                  "NetWork", "Mask"),
            "255.0.0.0");
  EXPECT_EQ(Value("  [NetWork]  \r\nIP=1 2\r\n", "NetWork", "IP"), "1 2");
  EXPECT_EQ(Value("[ NetWork\t]\r\nIP=3\r\n", "NetWork", "IP"), "3");
}

TEST_F(ProfileContract, FormFeedAndControlZAroundAValue) {
  ExpectWindows(*fixture_, kTrimSet,
                Value("[s]\r\nk=\x1A"
                      "v\x0C\r\n",
                      "s", "k"),
                std::string("\x1A"
                            "v\x0C"),
                std::string("v"));
}

TEST_F(ProfileContract, FullWidthSpaceIsNotTrimmed) {
  EXPECT_EQ(Value("[s]\r\nk=\xA1\xA1WB\xA1\xA1\r\n", "s", "k"), "\xA1\xA1WB\xA1\xA1");
}

TEST_F(ProfileContract, OnePairOfMatchingQuotesIsRemoved) {
  std::string file =
      fixture_->PutFile("q.ini", "[s]\r\na=\"x y\"\r\nb='x'\r\nc=\"x'\r\nd=\"\r\ne=\"\"q\"\"\r\nf=a;b\r\n");
  EXPECT_EQ(ReadFrom(file, "s", "a").Value(), "x y");
  EXPECT_EQ(ReadFrom(file, "s", "b").Value(), "x");
  EXPECT_EQ(ReadFrom(file, "s", "c").Value(), "\"x'");
  EXPECT_EQ(ReadFrom(file, "s", "d").Value(), "\"");
  EXPECT_EQ(ReadFrom(file, "s", "e").Value(), "\"q\"");
  EXPECT_EQ(ReadFrom(file, "s", "f").Value(), "a;b");
}

TEST_F(ProfileContract, NamesAreCaseInsensitiveAndTheFirstMatchWins) {
  std::string file = fixture_->PutFile("c.ini", "[network]\r\nip=1\r\nIP=2\r\n[NETWORK]\r\nIP=3\r\nMask=m\r\n");
  EXPECT_EQ(ReadFrom(file, "NetWork", "IP").Value(), "1");
  EXPECT_EQ(ReadFrom(file, "NetWork", "Mask").Value(), "dflt");
}

TEST_F(ProfileContract, LineWithoutEqualsHidesTheKeyAndCommentsAreNoKeys) {
  // A bare "IP" line is a key without a value: it gives the default and hides the later "IP=1" (Windows
  // not verified; Wine's reading).
  std::string file = fixture_->PutFile("n.ini", "[s]\r\nIP\r\nIP=1\r\n;Mask=1\r\n");
  EXPECT_EQ(ReadFrom(file, "s", "IP").Value(), "dflt");
  EXPECT_EQ(ReadFrom(file, "s", "Mask").Value(), "dflt");
}

TEST_F(ProfileContract, EveryCrOrLfEndsALine) {
  EXPECT_EQ(Value("[s]\nk=lf\nz=1\n", "s", "k"), "lf");
  EXPECT_EQ(Value("[s]\rk=cr\rz=1\r", "s", "k"), "cr");
  EXPECT_EQ(Value("[s]\r\nk=crlf\r\n", "s", "k"), "crlf");
  EXPECT_EQ(Value("[s]\r\nk=last", "s", "k"), "last");
  std::string mixed = fixture_->PutFile("m.ini", "[s]\rk=cr\n\nz=lf\r\r\nw=mix\n\r");
  EXPECT_EQ(ReadFrom(mixed, "s", "k").Value(), "cr");
  EXPECT_EQ(ReadFrom(mixed, "s", "z").Value(), "lf");
  EXPECT_EQ(ReadFrom(mixed, "s", "w").Value(), "mix");
}

TEST_F(ProfileContract, SectionHeaders) {
  EXPECT_EQ(Value("[ NetWork ]\r\nIP=1\r\n", "NetWork", "IP"), "1");
  ExpectWindows(*fixture_, kHeaderWithoutBracket, Value("[NetWork\r\nIP=2\r\n", "NetWork", "IP"), std::string("2"),
                std::string("dflt"));
  ExpectWindows(*fixture_, kSecondBracket, Value("[NetWork] ;see [x]\r\nIP=3\r\n", "NetWork", "IP"), std::string("3"),
                std::string("dflt"));
}

TEST_F(ProfileContract, ValueOf65537Characters) {
  Read r = ReadFrom(fixture_->PutFile("h.ini", "[s]\r\nk=" + std::string(65537, 'x') + "\r\n"), "s", "k");
  ExpectWindows(*fixture_, kHugeValue, r.Value(), std::string("x"), std::string(253, 'x'));
}

TEST_F(ProfileContract, LongValueIsCutToSizeMinusOneBytes) {
  Read r = ReadFrom(fixture_->PutFile("l.ini", "[s]\r\nk=" + std::string(300, 'x') + "\r\n"), "s", "k");
  EXPECT_EQ(r.result, 253u);
  EXPECT_EQ(r.buffer.substr(0, 253), std::string(253, 'x'));
  EXPECT_EQ(r.buffer[253], '\0');
}

TEST_F(ProfileContract, DoubleByteCharacterAtTheCutIsNotSplit) {
  std::string chinese;
  for (int i = 0; i < 127; ++i) chinese += "\xCD\xF8";  // 254 bytes of 网
  Read r = ReadFrom(fixture_->PutFile("d.ini", "[s]\r\nk=" + chinese + "\r\n"), "s", "k");
  EXPECT_EQ(r.result, 253u);
  EXPECT_EQ(r.buffer.substr(0, 252), chinese.substr(0, 252));
  EXPECT_EQ(r.buffer[252], ' ');  // left as it was
  EXPECT_EQ(r.buffer[253], '\0');
}

TEST_F(ProfileContract, ByteOrderMarks) {
  const std::string gbk = "\xCD\xF8\xB0\xC9";                      // 网吧 in GBK
  const std::string utf8 = "\xE7\xBD\x91\xE5\x90\xA7";             // 网吧 in UTF-8
  const std::string utf16le = std::string("\x51\x7F\x27\x54", 4);  // U+7F51 U+5427
  std::string le = "\xFF\xFE";
  for (char c : std::string("[s]\r\nk=")) le += std::string{c, '\0'};
  le += utf16le + std::string("\r\0\n\0", 4);
  EXPECT_EQ(Value(le, "s", "k"), gbk);
  EXPECT_EQ(Value("[s]\r\nk=" + gbk + "\r\n", "s", "k"), gbk);
  // Windows reads a UTF-8 mark as ANSI bytes: "[s]" on the first line is no header any more.
  ExpectWindows(*fixture_, kUtf8Mark, Value("\xEF\xBB\xBF[s]\r\nk=" + utf8 + "\r\n", "s", "k"), std::string("dflt"),
                gbk);
  std::string be = "\xFE\xFF";
  for (char c : std::string("[s]\r\nk=")) be += std::string{'\0', c};
  be += std::string("\x7F\x51\x54\x27", 4) + std::string("\0\r\0\n", 4);
  ExpectWindows(*fixture_, kUtf16BeMark, Value(be, "s", "k"), std::string("dflt"), gbk);
}

// Without a key name the reader lists the section's keys that have a value, each followed by a NUL, and
// one more NUL; a list that does not fit is cut and counts size - 2.
TEST_F(ProfileContract, KeyNamesOfASection) {
  std::string file = fixture_->PutFile("k.ini", "[s]\r\na=1\r\nbare\r\nA=2\r\n  c  =3\r\n[t]\r\nd=4\r\n");
  std::string buffer(64, 'x');
  std::uint32_t n = platform_.profile.GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 64, file.c_str());
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(buffer.substr(0, 7), std::string("a\0A\0c\0\0", 7));
  n = platform_.profile.GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 5, file.c_str());
  EXPECT_EQ(n, 3u);
  ExpectWindows(*fixture_, kCutKeyList, buffer.substr(0, 5), std::string("a\0A\0\0", 5), std::string("a\0A\0c", 5));
}

TEST_F(ProfileContract, GbkSectionAndKeyNames) {
  EXPECT_EQ(Value("[\xCD\xF8]\r\n\xBF\xA8=1\r\n", "\xCD\xF8", "\xBF\xA8"), "1");
}

}  // namespace
}  // namespace vexa::contract
