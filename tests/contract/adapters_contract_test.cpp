// What /check and the log rely on from the adapter list, run against the simulated Windows and against
// the real calls under Wine (see registry_contract_test.cpp): asking for hardware addresses only leaves out
// nothing else, addresses are dotted as the plan's are, and an address in use on a connected adapter reads
// as preferred (the "live" of /check). A duplicate address is Windows' alone (known_differences.h).
#include <gtest/gtest.h>

#include "common/host_address.h"
#include "contract/fixture.h"

namespace vexa::contract {
namespace {

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
    // Dotted as the plan's addresses are: four decimal parts without leading zeros.
    for (const UnicastAddress& u : a.ipv4) {
      EXPECT_TRUE(ParseIpv4(std::wstring(u.address.begin(), u.address.end())).ok()) << u.address;
    }
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
