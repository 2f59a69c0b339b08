// What /check and the log rely on from the adapter list, run against the simulated Windows and against
// the real calls under Wine (see registry_contract_test.cpp): asking for hardware addresses only leaves out
// nothing else, addresses are dotted as the plan's are, and an address in use on a connected adapter reads
// as preferred (the "live" of /check). A duplicate address is Windows' alone (known_differences.h).
#include <gtest/gtest.h>

#include <algorithm>

#include "contract/fixture.h"

namespace vexa::contract {
namespace {

// Four decimal parts of 0-255 without leading zeros, as IP addresses are written into the registry.
bool Dotted(const std::string& text) {
  int parts = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('.', start), text.size());
    const std::string part = text.substr(start, end - start);
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0') ||
        !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }) || std::stoi(part) > 255) {
      return false;
    }
    ++parts;
    start = end + 1;
  }
  return parts == 4;
}

TEST(AdaptersContract, HardwareOnlyListsTheSameAdaptersWithoutTheirAddresses) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  Platform platform = fixture->platform();
  const auto full = platform.adapters.GetAdaptersAddresses(AdapterDetail::Ipv4);
  const auto hardware = platform.adapters.GetAdaptersAddresses(AdapterDetail::Hardware);
  ASSERT_TRUE(full && hardware);
  ASSERT_EQ(hardware->size(), full->size());
  for (std::size_t i = 0; i < full->size(); ++i) {
    const AdapterAddress& a = (*full)[i];
    EXPECT_EQ((*hardware)[i].name, a.name);
    EXPECT_EQ((*hardware)[i].physical, a.physical);
    EXPECT_EQ((*hardware)[i].up, a.up);
    EXPECT_TRUE((*hardware)[i].ipv4.empty()) << a.name;
    for (const UnicastAddress& u : a.ipv4) EXPECT_TRUE(Dotted(u.address)) << u.address;
  }
}

TEST(AdaptersContract, TheLoopbackAddressIsPreferredOnAnAdapterThatIsUp) {
  const std::unique_ptr<Fixture> fixture = MakeFixture();
  const auto adapters = fixture->platform().adapters.GetAdaptersAddresses(AdapterDetail::Ipv4);
  ASSERT_TRUE(adapters);
  int found = 0;
  for (const AdapterAddress& adapter : *adapters) {
    for (const UnicastAddress& u : adapter.ipv4) {
      if (u.address != "127.0.0.1") continue;
      ++found;
      EXPECT_TRUE(adapter.up);
      EXPECT_EQ(u.dad, UnicastAddress::Dad::Preferred);
    }
  }
  EXPECT_EQ(found, 1);
}

}  // namespace
}  // namespace vexa::contract
