// /wake: a cafe switched on from the counter (Wake-on-LAN), floor by floor so that the circuits take the
// surge. Each asked seat's cards, as [Machines] and then the shared log know them, get the magic packet by
// UDP to port 9: to the directed broadcast of the seat's subnet and to 255.255.255.255 from each card of
// this machine that is up, three times, paced by [Wake] PerSecond=. Nothing written; one line in the log.
#pragma once

#include <string>
#include <vector>

#include "cafe/cafe_commands.h"
#include "common/mac_address.h"
#include "config/venue.h"
#include "platform/platform.h"

namespace vexa {

// Seats a second when config.ini says none: a surge a cafe's circuits take.
inline constexpr int kWakeSeatsPerSecond = 10;
inline constexpr int kWakeMostPerSecond = 1000;
inline constexpr std::uint16_t kWakePort = 9;  // discard: no service answers it
inline constexpr int kWakeRounds = 3;          // a datagram lost on a busy switch is sent again

// The seats words ask for, in the zones' order, each once; or why a word names none (a bad argument).
struct WakeChoice {
  std::vector<int> numbers;
  std::wstring error;
};
// words: none or "all" (every seat), a zone's name, a number N, a range N-M, any of them together; every
// number one config.ini allows.
WakeChoice ChooseSeats(const std::vector<std::wstring>& words, const IniFile::Zones& zones);

// What wakes a card: six 0xFF bytes, then its hardware address sixteen times (102 bytes).
std::string MagicPacket(const MacAddress& mac);

// The run: each seat's line on the console as its packets go, only the destinations a packet went to; a
// subnet no card of this machine is on named first (a directed broadcast needs the router's help); Ctrl-C
// stops it before the next seat, naming the seats not sent. Exit 0 when every asked seat was sent, 2 when
// one had no known address (named), was stopped, or config.ini cannot be used, 1 for words that name no seat.
CafeOutput WakeCommand(Platform& platform, const IniFile::Venue& venue, const std::vector<std::wstring>& words);

}  // namespace vexa
