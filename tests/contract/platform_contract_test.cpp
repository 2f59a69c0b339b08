// The platform's behaviour that the logic relies on. The same tests run against the simulated Windows and
// against the real calls under Wine: where the two disagree, the simulation is wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/fixture.h"
#include "platform/unique_key.h"

namespace vexa::contract {
namespace {

constexpr std::uint8_t kPoison = 0xAA;

class RegistryContract : public ::testing::Test {
 protected:
  RegistryContract() : fixture_(MakeFixture()), platform_(fixture_->platform()) {}
  void SetUp() override {
    fixture_->RemoveScratch();
    fixture_->CreateKey("");
  }
  void TearDown() override { fixture_->RemoveScratch(); }

  Registry& registry() { return platform_.registry; }

  // Opens a key below the scratch key.
  UniqueKey Open(const std::string& path, std::uint32_t access = kKeyRead) {
    UniqueKey key(registry());
    std::string full = path.empty() ? kScratch : std::string(kScratch) + "\\" + path;
    EXPECT_EQ(key.Open(kHkeyCurrentUser, full.c_str(), access), status::kSuccess) << full;
    return key;
  }

  struct Query {
    long result;
    std::uint32_t type;
    std::uint32_t length;
    std::string buffer;
  };
  // Queries into a poisoned buffer of the given size.
  Query QueryInto(const std::string& name, std::uint32_t size) {
    UniqueKey key = Open("");
    Query q{0, 0xDEADBEEF, size, std::string(size, static_cast<char>(kPoison))};
    q.result = registry().RegQueryValueExA(key.get(), name.c_str(), &q.type,
                                           reinterpret_cast<std::uint8_t*>(q.buffer.data()), &q.length);
    return q;
  }

  std::unique_ptr<Fixture> fixture_;
  Platform platform_;
};

TEST_F(RegistryContract, StringWithTerminatorIsCopiedAndNothingAfterIt) {
  fixture_->SetRaw("", "v", kRegSz, std::string("abc\0", 4));
  Query q = QueryInto("v", 255);
  ASSERT_EQ(q.result, status::kSuccess);
  EXPECT_EQ(q.type, kRegSz);
  EXPECT_EQ(q.length, 4u);
  EXPECT_EQ(q.buffer.substr(0, 4), std::string("abc\0", 4));
  EXPECT_EQ(static_cast<std::uint8_t>(q.buffer[4]), kPoison);
}

TEST_F(RegistryContract, StringWithoutTerminatorGetsOneWhenThereIsRoom) {
  fixture_->SetRaw("", "v", kRegSz, "abc");
  Query q = QueryInto("v", 255);
  ASSERT_EQ(q.result, status::kSuccess);
  EXPECT_EQ(q.length, 4u);  // the added terminator counts
  EXPECT_EQ(q.buffer.substr(0, 4), std::string("abc\0", 4));
  EXPECT_EQ(static_cast<std::uint8_t>(q.buffer[4]), kPoison);
  // The terminator is part of the size needed.
  Query exact = QueryInto("v", 3);
  EXPECT_EQ(exact.result, status::kMoreData);
  EXPECT_EQ(exact.length, 4u);
  EXPECT_EQ(exact.buffer, std::string(3, static_cast<char>(kPoison)));
}

TEST_F(RegistryContract, BytesAfterTheTerminatorAreCopiedAsStored) {
  fixture_->SetRaw("", "v", kRegSz, std::string("abc\0xyz\0", 8));
  Query q = QueryInto("v", 255);
  ASSERT_EQ(q.result, status::kSuccess);
  EXPECT_EQ(q.length, 8u);
  EXPECT_EQ(q.buffer.substr(0, 8), std::string("abc\0xyz\0", 8));
  EXPECT_EQ(static_cast<std::uint8_t>(q.buffer[8]), kPoison);
}

TEST_F(RegistryContract, TooSmallBufferGivesMoreDataAndTheSizeNeeded) {
  fixture_->SetRaw("", "v", kRegSz, std::string("0123456789\0", 11));
  Query q = QueryInto("v", 5);
  EXPECT_EQ(q.result, status::kMoreData);
  EXPECT_EQ(q.length, 11u);
  EXPECT_EQ(q.buffer, std::string(5, static_cast<char>(kPoison)));
}

TEST_F(RegistryContract, ExactFitAndOneByteShort) {
  std::string value(254, 'x');
  fixture_->SetRaw("", "fits", kRegSz, value + '\0');
  fixture_->SetRaw("", "long", kRegSz, value + "y" + '\0');
  Query fits = QueryInto("fits", 255);
  EXPECT_EQ(fits.result, status::kSuccess);
  EXPECT_EQ(fits.length, 255u);
  Query tooLong = QueryInto("long", 255);
  EXPECT_EQ(tooLong.result, status::kMoreData);
  EXPECT_EQ(tooLong.length, 256u);
}

TEST_F(RegistryContract, OtherTypesAreCopiedAsBytes) {
  fixture_->SetRaw("", "d", kRegDword, std::string("\x0F\0\0\0", 4));
  fixture_->SetRaw("", "m", kRegMultiSz, std::string("1.2.3.4\0\0", 9));
  Query d = QueryInto("d", 255);
  EXPECT_EQ(d.type, kRegDword);
  EXPECT_EQ(d.length, 4u);
  EXPECT_EQ(d.buffer.substr(0, 4), std::string("\x0F\0\0\0", 4));
  Query m = QueryInto("m", 255);
  EXPECT_EQ(m.type, kRegMultiSz);
  EXPECT_EQ(m.length, 9u);
  EXPECT_EQ(m.buffer.substr(0, 9), std::string("1.2.3.4\0\0", 9));
}

TEST_F(RegistryContract, EmptyValueAndMissingValue) {
  fixture_->SetRaw("", "empty", kRegSz, std::string("\0", 1));
  fixture_->SetRaw("", "nothing", kRegBinary, "");
  Query empty = QueryInto("empty", 255);
  EXPECT_EQ(empty.result, status::kSuccess);
  EXPECT_EQ(empty.length, 1u);
  EXPECT_EQ(empty.buffer[0], '\0');
  Query nothing = QueryInto("nothing", 255);
  EXPECT_EQ(nothing.result, status::kSuccess);
  EXPECT_EQ(nothing.length, 0u);
  EXPECT_EQ(static_cast<std::uint8_t>(nothing.buffer[0]), kPoison);
  EXPECT_EQ(QueryInto("missing", 255).result, status::kFileNotFound);
}

TEST_F(RegistryContract, NamesAreCaseInsensitiveAndGbkNamesWork) {
  fixture_->CreateKey("Cards\\Card1");
  fixture_->SetRaw("Cards\\Card1", "Description", kRegSz, std::string("\xCD\xF8\xBF\xA8\0", 5));  // 网卡
  UniqueKey key = Open("CARDS\\card1");
  char buffer[16] = {};
  std::uint32_t length = sizeof buffer;
  std::uint32_t type = 0;
  EXPECT_EQ(
      registry().RegQueryValueExA(key.get(), "DESCRIPTION", &type, reinterpret_cast<std::uint8_t*>(buffer), &length),
      status::kSuccess);
  EXPECT_EQ(std::string(buffer, length), std::string("\xCD\xF8\xBF\xA8\0", 5));
}

TEST_F(RegistryContract, OpenNeverCreatesAndReadAccessCannotSet) {
  UniqueKey missing(registry());
  std::string path = std::string(kScratch) + "\\Missing";
  EXPECT_EQ(missing.Open(kHkeyCurrentUser, path.c_str(), kKeyWrite), status::kFileNotFound);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.Open(kHkeyCurrentUser, path.c_str(), kKeyRead), status::kSuccess);

  UniqueKey readOnly = Open("", kKeyRead);
  const std::uint8_t data[4] = {1, 0, 0, 0};
  EXPECT_EQ(registry().RegSetValueExA(readOnly.get(), "x", kRegDword, data, 4), status::kAccessDenied);
  UniqueKey writable = Open("", kKeyWrite);
  EXPECT_EQ(registry().RegSetValueExA(writable.get(), "x", kRegDword, data, 4), status::kSuccess);
  EXPECT_EQ(QueryInto("x", 255).buffer.substr(0, 4), std::string("\x01\0\0\0", 4));
}

TEST_F(RegistryContract, EmptySubKeyOpensTheKeyItself) {
  fixture_->SetRaw("", "v", kRegSz, std::string("abc\0", 4));
  UniqueKey scratch = Open("");
  UniqueKey same(registry());
  ASSERT_EQ(same.Open(scratch.get(), "", kKeyRead), status::kSuccess);
  std::uint32_t length = 0;
  EXPECT_EQ(registry().RegQueryValueExA(same.get(), "v", nullptr, nullptr, &length), status::kSuccess);
  EXPECT_EQ(length, 4u);
}

TEST_F(RegistryContract, SubKeysEnumerateSortedThenEndWithNoMoreItems) {
  for (const char* name : {"2", "b", "10", "A", "1"}) fixture_->CreateKey(std::string("Cards\\") + name);
  UniqueKey key = Open("Cards");
  std::string seen;
  char name[256];
  std::uint32_t index = 0;
  long result = 0;
  while ((result = registry().RegEnumKeyA(key.get(), index, name, sizeof name)) == status::kSuccess) {
    seen += std::string(name) + ",";
    ++index;
  }
  EXPECT_EQ(seen, "1,10,2,A,b,");
  EXPECT_EQ(result, status::kNoMoreItems);
}

TEST_F(RegistryContract, EnumerationIntoATooSmallBufferFails) {
  fixture_->CreateKey("Cards\\abcdef");
  UniqueKey key = Open("Cards");
  char name[4];
  EXPECT_NE(registry().RegEnumKeyA(key.get(), 0, name, sizeof name), status::kSuccess);
}

TEST_F(RegistryContract, DoubledBackslashInSubKey) {
  fixture_->CreateKey("A\\B");
  UniqueKey key(registry());
  std::string path = std::string(kScratch) + "\\A\\\\B";
  EXPECT_EQ(key.Open(kHkeyCurrentUser, path.c_str(), kKeyRead), status::kSuccess);
}

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

TEST_F(ProfileContract, BlanksAndControlCharactersAroundNamesAndValuesAreTrimmed) {
  EXPECT_EQ(Value("[NetWork]\r\n  Mask \t=  255.255.0.0 \t \r\n", "NetWork", "Mask"), "255.255.0.0");
  EXPECT_EQ(Value("[NetWork]\r\nMask=\x1A"
                  "255.0.0.0\x0B\x0C\r\n",
                  "NetWork", "Mask"),
            "255.0.0.0");
  EXPECT_EQ(Value("  [NetWork]  \r\nIP=1 2\r\n", "NetWork", "IP"), "1 2");
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

TEST_F(ProfileContract, LineWithoutEqualsIsNoKeyAndCommentsAreNoKeys) {
  std::string file = fixture_->PutFile("n.ini", "[s]\r\nIP\r\n;Mask=1\r\n");
  EXPECT_EQ(ReadFrom(file, "s", "IP").Value(), "dflt");
  EXPECT_EQ(ReadFrom(file, "s", "Mask").Value(), "dflt");
}

TEST_F(ProfileContract, LineEnds) {
  EXPECT_EQ(Value("[s]\nk=lf\nz=1\n", "s", "k"), "lf");
  EXPECT_EQ(Value("[s]\rk=cr\rz=1\r", "s", "k"), "cr");
  EXPECT_EQ(Value("[s]\r\nk=crlf\r\n", "s", "k"), "crlf");
  EXPECT_EQ(Value("[s]\r\nk=last", "s", "k"), "last");
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

TEST_F(ProfileContract, ByteOrderMarksAreDecodedToTheAnsiCodePage) {
  const std::string gbk = "\xCD\xF8\xB0\xC9";                      // 网吧 in GBK
  const std::string utf8 = "\xE7\xBD\x91\xE5\x90\xA7";             // 网吧 in UTF-8
  const std::string utf16le = std::string("\x51\x7F\x27\x54", 4);  // U+7F51 U+5427
  EXPECT_EQ(Value("\xEF\xBB\xBF[s]\r\nk=" + utf8 + "\r\n", "s", "k"), gbk);
  std::string le = "\xFF\xFE";
  for (char c : std::string("[s]\r\nk=")) le += std::string{c, '\0'};
  le += utf16le + std::string("\r\0\n\0", 4);
  EXPECT_EQ(Value(le, "s", "k"), gbk);
  std::string be = "\xFE\xFF";
  for (char c : std::string("[s]\r\nk=")) be += std::string{'\0', c};
  be += std::string("\x7F\x51\x54\x27", 4) + std::string("\0\r\0\n", 4);
  EXPECT_EQ(Value(be, "s", "k"), gbk);
  EXPECT_EQ(Value("[s]\r\nk=" + gbk + "\r\n", "s", "k"), gbk);
}

TEST_F(ProfileContract, GbkSectionAndKeyNames) {
  EXPECT_EQ(Value("[\xCD\xF8]\r\n\xBF\xA8=1\r\n", "\xCD\xF8", "\xBF\xA8"), "1");
}

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

TEST_F(TextContract, LoneLeadByteAtTheEnd) {
  std::wstring text = platform_.text.FromAnsi("ab\x81");
  ASSERT_EQ(text.size(), 3u);
  EXPECT_EQ(text.substr(0, 2), L"ab");
}

}  // namespace
}  // namespace vexa::contract
