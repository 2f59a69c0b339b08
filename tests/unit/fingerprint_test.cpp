// FNV-1a (64-bit) against its authors' published values; the fingerprint is the hash's first eight digits.
#include <gtest/gtest.h>

#include <string>

#include "common/fingerprint.h"
#include "row.h"

namespace vexa {
namespace {

TEST(FingerprintTest, Fnv1aOfThePublishedExamples) {
  const struct {
    int line;
    std::string message;
    std::uint64_t hash;
  } rows[] = {
      ROW("", 0xcbf29ce484222325), ROW("a", 0xaf63dc4c8601ec8c), ROW("foobar", 0x85944171f73967e8),
      ROW("\xe4", 0xaf64594c8602c0f3),  // a byte past 0x7F taken as unsigned, as a GBK lead byte is
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    EXPECT_EQ(Fnv1a64(row.message), row.hash);
  }
}

TEST(FingerprintTest, TheFirstEightDigitsOrNothing) {
  EXPECT_EQ(Fingerprint("foobar"), L"85944171");
  EXPECT_EQ(Fingerprint("a"), L"af63dc4c");
  EXPECT_EQ(Fingerprint(""), L"");
  EXPECT_TRUE(IsFingerprint(Fingerprint("{4c4c4544-0042-3510-8052-b4c04f565931}")));
}

}  // namespace
}  // namespace vexa
