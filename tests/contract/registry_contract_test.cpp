// The registry calls' behaviour that the logic relies on. The same tests run against the simulated Windows
// and against the real calls under Wine: where they disagree and Wine is not known to differ from Windows,
// the simulation is wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/fixture.h"
#include "contract/known_differences.h"
#include "platform/owned.h"
#include "platform/privileges.h"

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

  // The sub-keys of a key below the scratch key, each followed by a comma; ends at kNoMoreItems.
  std::string Enumerate(const std::string& path) {
    UniqueKey key = Open(path);
    std::string seen;
    char name[256];
    std::uint32_t index = 0;
    long result = 0;
    while ((result = registry().RegEnumKeyA(key.get(), index, name, sizeof name)) == status::kSuccess) {
      seen += std::string(name) + ",";
      ++index;
    }
    EXPECT_EQ(result, status::kNoMoreItems);
    return seen;
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

TEST_F(RegistryContract, StringWithoutTerminatorIsGivenOneOnlyWhenThereIsRoom) {
  fixture_->SetRaw("", "v", kRegSz, "abc");
  // The size is the stored one: an exact buffer takes the string without a NUL.
  Query exact = QueryInto("v", 3);
  ASSERT_EQ(exact.result, status::kSuccess);
  EXPECT_EQ(exact.length, 3u);
  EXPECT_EQ(exact.buffer, "abc");
  // With room, a NUL follows, and it is not counted.
  Query q = QueryInto("v", 255);
  ASSERT_EQ(q.result, status::kSuccess);
  EXPECT_EQ(q.length, 3u);
  EXPECT_EQ(q.buffer.substr(0, 4), std::string("abc\0", 4));
  EXPECT_EQ(static_cast<std::uint8_t>(q.buffer[4]), kPoison);
}

TEST_F(RegistryContract, SetCountsTheNulThatFollowsAString) {
  UniqueKey key = Open("", kKeyWrite);
  const char terminated[] = "abc";  // a NUL follows the three bytes
  const char followed[] = "abcX";   // 'X' follows them
  registry().RegSetValueExA(key.get(), "t", kRegSz, reinterpret_cast<const std::uint8_t*>(terminated), 3);
  registry().RegSetValueExA(key.get(), "u", kRegSz, reinterpret_cast<const std::uint8_t*>(followed), 3);
  EXPECT_EQ(QueryInto("t", 255).length, 4u);
  EXPECT_EQ(QueryInto("u", 255).length, 3u);
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
  ExpectWindows(*fixture_, kBufferAfterMoreData, q.buffer, std::string("01234"),
                std::string(5, static_cast<char>(kPoison)));
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
  EXPECT_EQ(Enumerate("Cards"), "1,10,2,A,b,");
  // '_' sorts after the letters in upper case and before them in lower case.
  for (const char* name : {"B", "_", "a"}) fixture_->CreateKey(std::string("Signs\\") + name);
  ExpectWindows(*fixture_, kSubKeyOrder, Enumerate("Signs"), std::string("a,B,_,"), std::string("_,a,B,"));
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

TEST_F(RegistryContract, LeadingBackslashInSubKeyIsABadPath) {
  UniqueKey key(registry());
  const std::string path = std::string("\\") + kScratch;
  EXPECT_EQ(key.Open(kHkeyCurrentUser, path.c_str(), kKeyRead), status::kBadPathname);
  EXPECT_FALSE(key);
}

// What keeping and putting back a machine's earlier values relies on: a create makes every missing level
// (and opens one that is there), a value and a key without sub-keys are deleted, a key with sub-keys is
// not, and what is not there says so.
TEST_F(RegistryContract, CreateMakesEveryLevelAndDeletesTakeOnlyWhatIsThere) {
  const std::string deep = std::string(kScratch) + "\\A\\B\\C";
  for (int twice = 0; twice < 2; ++twice) {
    RegHandle created = 0;
    ASSERT_EQ(registry().RegCreateKeyExA(kHkeyCurrentUser, deep.c_str(), kKeyWrite, &created), status::kSuccess);
    const std::uint8_t data[4] = {7, 0, 0, 0};
    EXPECT_EQ(registry().RegSetValueExA(created, "Value", kRegDword, data, 4), status::kSuccess);
    EXPECT_EQ(registry().RegCloseKey(created), status::kSuccess);
  }
  UniqueKey c = Open("A\\B\\C", kKeyWrite);
  EXPECT_EQ(registry().RegDeleteValueA(c.get(), "VALUE"), status::kSuccess);
  EXPECT_EQ(registry().RegDeleteValueA(c.get(), "Value"), status::kFileNotFound);
  c.reset();

  UniqueKey scratch = Open("", kKeyWrite);
  EXPECT_EQ(registry().RegDeleteKeyA(scratch.get(), "A"), status::kAccessDenied);  // it has sub-keys
  UniqueKey b = Open("A\\B", kKeyWrite);
  EXPECT_EQ(registry().RegDeleteKeyA(b.get(), "c"), status::kSuccess);
  EXPECT_EQ(registry().RegDeleteKeyA(b.get(), "C"), status::kFileNotFound);
  UniqueKey gone(registry());
  EXPECT_EQ(gone.Open(kHkeyCurrentUser, deep.c_str(), kKeyRead), status::kFileNotFound);
}

// What giving every player the game key relies on: a profile's hive file mounts below HKEY_USERS under a
// name of the caller's (a second mount of the name is refused), reads and takes values there as any key,
// and is gone from the registry once unmounted; mounted again, it holds what was written.
TEST_F(RegistryContract, AMountedHiveTakesValuesAndKeepsThem) {
  fixture_->SetRaw("", "Key", kRegSz, std::string("OLD\0", 4));
  const std::string file = fixture_->SaveScratchAsHive("hive.dat");
  EnablePrivileges(platform_.restart, {"SeBackupPrivilege", "SeRestorePrivilege"});
  constexpr const char* kMount = "VexaIpSetContractHive";
  ASSERT_EQ(registry().RegLoadKeyA(kHkeyUsers, kMount, file.c_str()), status::kSuccess);
  EXPECT_NE(registry().RegLoadKeyA(kHkeyUsers, kMount, file.c_str()), status::kSuccess);
  {
    UniqueKey mounted(registry());
    ASSERT_EQ(mounted.Open(kHkeyUsers, kMount, kKeyRead | kKeyWrite), status::kSuccess);
    std::uint8_t data[16] = {};
    std::uint32_t length = sizeof data;
    EXPECT_EQ(registry().RegQueryValueExA(mounted.get(), "Key", nullptr, data, &length), status::kSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), std::string("OLD\0", 4));
    const std::uint8_t next[] = "NEW";
    EXPECT_EQ(registry().RegSetValueExA(mounted.get(), "Key", kRegSz, next, 4), status::kSuccess);
  }
  EXPECT_EQ(registry().RegUnLoadKeyA(kHkeyUsers, kMount), status::kSuccess);
  UniqueKey gone(registry());
  EXPECT_EQ(gone.Open(kHkeyUsers, kMount, kKeyRead), status::kFileNotFound);

  ASSERT_EQ(registry().RegLoadKeyA(kHkeyUsers, kMount, file.c_str()), status::kSuccess);
  std::uint8_t data[16] = {};
  std::uint32_t length = sizeof data;
  {
    UniqueKey again(registry());
    ASSERT_EQ(again.Open(kHkeyUsers, kMount, kKeyRead), status::kSuccess);
    registry().RegQueryValueExA(again.get(), "Key", nullptr, data, &length);
  }
  ExpectWindows(*fixture_, kUnmountedHive, std::string(reinterpret_cast<char*>(data), length), std::string("NEW\0", 4),
                std::string("OLD\0", 4));
  EXPECT_EQ(registry().RegUnLoadKeyA(kHkeyUsers, kMount), status::kSuccess);
}

}  // namespace
}  // namespace vexa::contract
