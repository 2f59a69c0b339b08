// The card inventory: enumeration, descriptions with NUL leftovers, and the service-name lookup.
#include <gtest/gtest.h>

#include "inventory/card_inventory.h"
#include "sim_machine.h"

namespace vexa {
namespace {

using test::AddCard;
using test::Sz;

class CardInventoryTest : public ::testing::Test {
 protected:
  void Enumerate() { EnumNetworkCards(platform, inventory); }
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  CardInventory inventory;
};

TEST_F(CardInventoryTest, NoCardKeyGivesAnEmptyInventory) {
  UniqueKey key = EnumNetworkCards(platform, inventory);
  EXPECT_FALSE(key);
  EXPECT_EQ(inventory.LastCard, -1);
  EXPECT_EQ(FindCardServiceName(platform, inventory, L""), L"");
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"Error"), L"");
}

TEST_F(CardInventoryTest, KeysInEnumerationOrderAndTheKeyStaysOpenUntilReleased) {
  for (const char* name : {"1", "2", "10"})
    sim.registry.CreateKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\" + name);
  {
    UniqueKey key = EnumNetworkCards(platform, inventory);
    EXPECT_TRUE(key);
    EXPECT_EQ(sim.registry.OpenHandles(), 1u);
  }
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
  ASSERT_EQ(inventory.LastCard, 2);
  // Windows enumerates sub-keys in its sorted order: 1, 10, 2.
  EXPECT_EQ(inventory.CardKeys[0], L"1");
  EXPECT_EQ(inventory.CardKeys[1], L"10");
  EXPECT_EQ(inventory.CardKeys[2], L"2");
}

TEST_F(CardInventoryTest, NeverMoreThan256Cards) {
  for (int i = 0; i < 300; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%03d", i);
    sim.registry.CreateKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\" + name);
  }
  Enumerate();
  EXPECT_EQ(inventory.LastCard, 255);
  EXPECT_EQ(inventory.CardKeys[255], L"255");
}

TEST_F(CardInventoryTest, DescriptionKeepsLeftoversAndTheLookupCutsThem) {
  AddCard(sim.registry, "1", std::string("NIC A\0junk\0", 11), Sz("{A}"));
  AddCard(sim.registry, "2", "NIC B", Sz("{B}"));                                   // stored without a terminator
  sim.registry.CreateKey(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\3");  // no values at all
  Enumerate();
  EXPECT_EQ(CardDescription(platform, inventory, 0), std::wstring(L"NIC A\0junk", 10));
  EXPECT_EQ(CardDescription(platform, inventory, 1), L"NIC B");
  EXPECT_EQ(CardDescription(platform, inventory, 2), L"Error");
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"NIC A"), L"{A}");
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"NIC B"), L"{B}");
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"nic b"), L"");           // case-sensitive
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"NIC"), L"");             // whole text
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"Error"), std::nullopt);  // card 3: no ServiceName either
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

TEST_F(CardInventoryTest, LastOfTwoEqualDescriptionsWinsAndServiceLeftoversStay) {
  AddCard(sim.registry, "1", Sz("Same NIC"), Sz("{FIRST}"));
  AddCard(sim.registry, "2", Sz("Same NIC"), std::string("{SECOND}\0old\0", 13));
  Enumerate();
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"Same NIC"), std::wstring(L"{SECOND}\0old", 12));
}

TEST_F(CardInventoryTest, ChineseDescriptions) {
  AddCard(sim.registry, "1", Sz("\xC9\xE8\xB1\xB8"), Sz("{C}"));  // 设备
  Enumerate();
  EXPECT_EQ(CardDescription(platform, inventory, 0), L"设备");
  EXPECT_EQ(FindCardServiceName(platform, inventory, L"设备"), L"{C}");
}

TEST(AdapterAddressOf, AllSixBytesByTheServiceNameInAnyCase) {
  sim::SimText text;
  const std::vector<AdapterAddress> adapters = {
      {"{AAAA}", std::string("\x02\x1A\x2B\x3C\x4D\xFE", 6)},
      {"{BBBB}", std::string("\x00\x1A\x2B", 3)},  // not six bytes
  };
  EXPECT_EQ(FormatMac(*AdapterAddressOf(text, adapters, std::wstring(L"{aaaa}\0old", 10))), L"02-1A-2B-3C-4D-FE");
  EXPECT_FALSE(AdapterAddressOf(text, adapters, L"{BBBB}"));
  EXPECT_FALSE(AdapterAddressOf(text, adapters, L"{CCCC}"));
}

}  // namespace
}  // namespace vexa
