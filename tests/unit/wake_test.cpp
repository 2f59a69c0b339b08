// /wake: the packet, the seats a word asks for, where each seat's packets go and when.
#include <gtest/gtest.h>

#include "cafe/wake.h"
#include "cafe_fixture.h"
#include "common/exit_codes.h"
#include "config/venue.h"
#include "row.h"

namespace vexa {
namespace {

using test::CafeTest;
using test::SeatLine;

TEST(WakeTest, TheMagicPacketIsSixFFsAndTheAddressSixteenTimes) {
  const std::string packet = MagicPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  ASSERT_EQ(packet.size(), 102u);
  EXPECT_EQ(packet.substr(0, 6), std::string(6, '\xFF'));
  for (std::size_t at = 6; at < packet.size(); at += 6) {
    EXPECT_EQ(packet.substr(at, 6), std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6)) << at;
  }
}

constexpr const wchar_t* kTwoFloors =
    L"[NetWork]\r\nGateWay=192.168.0.254\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n[二楼]\r\n"
    L"IP=192.168.1\r\nIPOffset=-200\r\nGateWay=192.168.1.254\r\n";

// The seats words ask for: all (or none), a zone by its name, numbers and ranges, in the zones' order, each
// once; a word that names no seat config.ini allows is refused, named.
TEST(WakeTest, TheSeatsTheWordsAskFor) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(kTwoFloors);
  const IniFile::Venue venue = IniFile::ReadVenue(platform);
  const struct {
    int line;
    std::vector<std::wstring> words;
    std::size_t count;  // 0: refused
    int first, last;
  } rows[] = {
      ROW({}, 400u, 1, 400),          ROW({L"ALL"}, 400u, 1, 400),
      ROW({L"二楼"}, 200u, 201, 400), ROW({L"210-215", L"3", L"212", L"一楼"}, 206u, 1, 215),  // each once, in order
      ROW({L"400"}, 1u, 400, 400),    ROW({L"401"}, 0u, 0, 0),
      ROW({L"390-410"}, 0u, 0, 0),  // past the last zone
      ROW({L"5-3"}, 0u, 0, 0),        ROW({L"三楼"}, 0u, 0, 0),
      ROW({L""}, 0u, 0, 0),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const WakeChoice choice = ChooseSeats(row.words, venue.zones);
    ASSERT_EQ(choice.numbers.size(), row.count);
    if (row.count == 0) {
      EXPECT_NE(choice.error.find(L"本网吧的机号: 1-200(一楼)、201-400(二楼)"), std::wstring::npos);
      continue;
    }
    EXPECT_EQ(choice.numbers.front(), row.first);
    EXPECT_EQ(choice.numbers.back(), row.last);
  }
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_FALSE(ChooseSeats({L"255"}, IniFile::ReadVenue(platform).zones).error.empty());
}

// A run: each seat with a known card ([Machines] first, then the log) gets the packet three times, to its
// subnet's broadcast and to 255.255.255.255 from each card that is up, paced by [Wake] PerSecond; a seat
// without an address is named (exit 2); one line in the log.
class WakeRunTest : public CafeTest {
 protected:
  WakeRunTest() {
    sim.adapters.list = {AdapterAddress{"{UP}", "", true, {{"10.9.8.1"}, {"127.0.0.1"}}},
                         AdapterAddress{"{DOWN}", "", false, {{"10.9.9.1"}}}};
    sim.PutConfig(std::wstring(kTwoFloors) + L"[Wake]\r\nPerSecond=2\r\n[Machines]\r\n00-00-00-00-00-0F=15\r\n");
    PutLog(SeatLine(215, L"00-00-00-00-02-15", L"WB-215", 15, L"已写入", 0, L"192.168.1.") +
           SeatLine(15, L"00-00-00-00-00-AA", L"WB-15", 15, L"已写入", 0));  // [Machines] wins for 15
  }
};

TEST_F(WakeRunTest, EachSeatIsSentPacedWhereItsSubnetIs) {
  const std::uint64_t start = sim.system.sinceBoot;
  EXPECT_EQ(Run(L"/wake 15 215 16"), exit_code::kRefused);
  ASSERT_EQ(sim.network.sent.size(), 12u);  // 2 seats x 3 rounds x (subnet + one card up)
  const auto& first = sim.network.sent[0];
  EXPECT_EQ(first.to, "192.168.0.255");
  EXPECT_EQ(first.from, "");
  EXPECT_EQ(first.port, 9);
  EXPECT_EQ(first.bytes, MagicPacket({0, 0, 0, 0, 0, 0x0F}));
  EXPECT_EQ(first.at, start);
  EXPECT_EQ(sim.network.sent[1].to, "255.255.255.255");
  EXPECT_EQ(sim.network.sent[1].from, "10.9.8.1");
  const auto& second = sim.network.sent[6];
  EXPECT_EQ(second.to, "192.168.1.255");
  EXPECT_EQ(second.bytes, MagicPacket({0, 0, 0, 0, 0x02, 0x15}));
  EXPECT_EQ(second.at, start + 500) << "two seats a second";
  EXPECT_EQ(sim.system.pauses, std::vector<std::uint32_t>{500}) << "the first seat waits for nothing";
  EXPECT_NE(
      Output().find(L"机号 15 的网段 192.168.0.0(掩码 255.255.255.0) 不是本机网卡所在的网段: 发到那里的广播要"
                    L"路由器转发(在路由器上允许定向广播),否则这些机器收不到唤醒包;也可以在那个网段的一台机器上运行 "
                    L"/wake。\r\n机号 215 的网段 192.168.1.0"),
      std::wstring::npos)
      << sim.console.output;
  EXPECT_NE(Output().find(L"机号 15(一楼) 00-00-00-00-00-0F → 192.168.0.255, 255.255.255.255(从 10.9.8.1)\r\n"
                          L"机号 215(二楼) 00-00-00-00-02-15 → 192.168.1.255, 255.255.255.255(从 10.9.8.1)\r\n"
                          L"没有网卡地址,无法唤醒(不在 [Machines] 中,日志里也没有): 机号 16\r\n"
                          L"已发送唤醒包: 2 个机位(每秒 2 台,每台发 3 次)"),
            std::wstring::npos)
      << sim.console.output;
  EXPECT_NE(Log().find(ToUtf8(L"\t/wake\t唤醒: 已发送 2 个机位, 1 个没有网卡地址\t")), std::string::npos) << Log();
  EXPECT_TRUE(sim.registry.Writes().empty());
}

// Each seat's line is out before the next seat's packets go; Ctrl-C stops the run before the next seat: the
// seats not sent are named, the count and the stop are in the log's line, exit 2. A destination no packet
// reached is not named; a seat on this machine's own subnet needs no word about routers.
TEST_F(WakeRunTest, EachSeatIsSaidAsItGoesAndCtrlCStopsIt) {
  sim.adapters.list[0].ipv4 = {{"192.168.0.7"}};
  std::vector<std::size_t> sentAtWrite;
  sim.console.onWrite = [&] {
    if (sim.network.sent.empty()) return;  // the word about routers, before any packet
    sentAtWrite.push_back(sim.network.sent.size());
    sim.console.pressed = true;  // pressed while the first seat's line is shown
  };
  EXPECT_EQ(Run(L"/wake 15 215"), exit_code::kRefused);
  ASSERT_FALSE(sentAtWrite.empty());
  EXPECT_EQ(sentAtWrite.front(), 6u);  // seat 15's packets, not yet 215's
  EXPECT_EQ(sim.network.sent.size(), 6u);
  EXPECT_EQ(Output().find(L"机号 215 的网段 192.168.1.0"), 0u) << ToUtf8(Output());
  EXPECT_EQ(Output().find(L"机号 15 的网段"), std::wstring::npos) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"已按 Ctrl-C 停止,没有发送: 机号 215\r\n已发送唤醒包: 1 个机位"), std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_NE(Log().find(ToUtf8(L"\t/wake\t唤醒: 已发送 1 个机位, 被 Ctrl-C 停止, 1 个未发送\t")), std::string::npos)
      << Log();
}

// The first seat is a seat like any other.
TEST_F(WakeRunTest, SeatOneIsWoken) {
  sim.PutConfig(std::wstring(kTwoFloors) + L"[Machines]\r\n00-00-00-00-00-01=1\r\n");
  EXPECT_EQ(Run(L"/wake 1"), exit_code::kDone) << ToUtf8(Output());
  ASSERT_EQ(sim.network.sent.size(), 6u);
  EXPECT_EQ(sim.network.sent[0].bytes, MagicPacket({0, 0, 0, 0, 0, 1}));
}

TEST_F(WakeRunTest, WordsOrARateThatCannotBeUsedSendNothing) {
  EXPECT_EQ(Run(L"/wake 三楼"), exit_code::kBadArguments);
  EXPECT_NE(Output().find(L"命令行参数错误: /wake 后面应是 all、区名、机号或机号范围"), std::wstring::npos);
  sim.PutConfig(std::wstring(kTwoFloors) + L"[Wake]\r\nPerSecond=0\r\n");
  EXPECT_EQ(Run(L"/wake"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"config.ini 中 [Wake] PerSecond=0 不是 1-1000 的整数"), std::wstring::npos);
  EXPECT_TRUE(sim.network.sent.empty());
  sim.PutConfig(std::wstring(kTwoFloors) + L"[Machines]\r\n00-00-00-00-00-0F=15\r\n");
  sim.network.fails = true;
  EXPECT_EQ(Run(L"/wake 一楼"), exit_code::kRefused);  // no seat but 15 has an address; its packets fail
  EXPECT_NE(Output().find(L"唤醒包没能发出: 机号 15"), std::wstring::npos);
}

}  // namespace
}  // namespace vexa
