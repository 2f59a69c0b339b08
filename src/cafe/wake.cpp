#include "cafe/wake.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "cafe/seats.h"
#include "common/decimal.h"
#include "common/exit_codes.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "log/run_log.h"

namespace vexa {

namespace {

constexpr std::wstring_view kPerSecondKey = L"PerSecond";

// The numbers of one word; false when it names none.
bool NumbersOf(std::wstring_view word, const IniFile::Zones& zones, std::vector<int>& numbers) {
  if (SameName(word, L"all")) {
    for (const IniFile::ZonePlan& plan : zones.plans) {
      for (int n = plan.first; n <= plan.last; ++n) numbers.push_back(n);
    }
    return true;
  }
  for (const IniFile::ZonePlan& plan : zones.plans) {
    if (plan.name.empty() || !SameName(word, plan.name)) continue;
    for (int n = plan.first; n <= plan.last; ++n) numbers.push_back(n);
    return true;
  }
  const std::size_t dash = word.find(L'-');
  const std::optional<int> first = MachineNumberOf(word.substr(0, dash), kLastZonedMachine);
  const std::optional<int> last =
      dash == std::wstring_view::npos ? first : MachineNumberOf(word.substr(dash + 1), kLastZonedMachine);
  if (!first || !last || *first > *last) return false;
  for (int n = *first; n <= *last; ++n) {
    if (!zones.Allows(n)) return false;
    numbers.push_back(n);
  }
  return true;
}

}  // namespace

WakeChoice ChooseSeats(const std::vector<std::wstring>& words, const IniFile::Zones& zones) {
  std::vector<int> asked;
  for (const std::wstring& word : words) {
    if (!NumbersOf(word, zones, asked)) {
      return {{},
              L"/wake 后面应是 all、区名、机号或机号范围(如 1-20;本网吧的机号: " + zones.RangeText() + L"): " + word};
    }
  }
  if (words.empty()) NumbersOf(L"all", zones, asked);
  // In the zones' order, each once.
  const std::set<int> unique(asked.begin(), asked.end());
  WakeChoice choice;
  for (const IniFile::ZonePlan& plan : zones.plans) {
    for (int n = plan.first; n <= plan.last; ++n) {
      if (unique.count(n) > 0) choice.numbers.push_back(n);
    }
  }
  return choice;
}

std::string MagicPacket(const MacAddress& mac) {
  std::string packet(6, '\xFF');
  for (int i = 0; i < 16; ++i) packet.append(reinterpret_cast<const char*>(mac.data()), mac.size());
  return packet;
}

namespace {

// Each seat's cards: the one [Machines] lists for it, else those whose last vouching line in the log holds
// the number.
std::map<int, std::vector<MacAddress>> KnownCards(const CafeView& view) {
  std::map<int, std::vector<MacAddress>> cards;
  for (std::size_t n = 1; n < view.seats.size(); ++n) {
    const Seat& seat = view.seats[n];
    std::vector<MacAddress>& known = cards[static_cast<int>(n)];
    if (const std::optional<MacAddress> listed = ParseCardAddress(seat.listed)) {
      known.push_back(*listed);
    } else {
      for (const std::wstring& claimant : seat.claimants) {
        if (const std::optional<MacAddress> mac = ParseCardAddress(claimant)) known.push_back(*mac);
      }
    }
    if (known.empty()) cards.erase(static_cast<int>(n));
  }
  return cards;
}

// The IPv4 addresses of this machine's cards that are up: a limited broadcast leaves by one card only, so
// it is sent from each.
std::vector<std::string> UpAddresses(Platform& platform) {
  std::vector<std::string> addresses;
  const std::optional<std::vector<AdapterAddress>> adapters =
      platform.adapters.GetAdaptersAddresses(AdapterDetail::Ipv4);
  if (!adapters) return addresses;
  for (const AdapterAddress& adapter : *adapters) {
    if (!adapter.up) continue;
    for (const UnicastAddress& unicast : adapter.ipv4) {
      if (!unicast.address.starts_with("127.")) addresses.push_back(unicast.address);
    }
  }
  return addresses;
}

// [Wake] PerSecond=, or why it cannot be used.
std::optional<int> SeatsPerSecond(Platform& platform, const IniFile::Venue& venue, std::wstring& problem) {
  const std::wstring text = IniFile::ReadIniValue(platform, venue.file.ReadPath(), IniFile::kWakeSection, kPerSecondKey,
                                                  IntText(kWakeSeatsPerSecond))
                                .text;
  const std::optional<int> value = MachineNumberOf(TrimBlanks(text), kWakeMostPerSecond);
  if (!value) {
    problem = L"config.ini 中 [Wake] PerSecond=" + text + L" 不是 1-" + IntText(kWakeMostPerSecond) +
              L" 的整数(每秒唤醒几台,不写时 " + IntText(kWakeSeatsPerSecond) + L")。";
  }
  return value;
}

// Where one seat's packets go: its subnet's directed broadcast (its zone's plan), and the limited
// broadcast from each card that is up.
struct Target {
  std::string from;
  std::string to;
};
std::vector<Target> TargetsOf(const IniFile::Zones& zones, int number, const std::vector<std::string>& up) {
  std::vector<Target> targets;
  const IniFile::ZonePlan* plan = zones.PlanOf(number);
  const Ipv4 ip = ParseIpv4(plan->AddressOf(number));
  const Ipv4 mask = ParseMask(plan->mask);
  if (ip.ok() && mask.ok()) {
    const std::wstring broadcast = DottedText(ip.bits | ~mask.bits);
    targets.push_back({"", std::string(broadcast.begin(), broadcast.end())});
  }
  for (const std::string& from : up) targets.push_back({from, "255.255.255.255"});
  return targets;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// One seat's cards woken: every packet to every target, kWakeRounds times; its line for the console names
// only the destinations a packet went to (none: it says so).
std::wstring WakeSeat(Platform& platform, const IniFile::Zones& zones, int number, const std::vector<MacAddress>& cards,
                      const std::vector<std::string>& up, bool& sent) {
  const std::vector<Target> targets = TargetsOf(zones, number, up);
  std::vector<bool> reached(targets.size(), false);
  for (int round = 0; round < kWakeRounds; ++round) {
    for (const MacAddress& mac : cards) {
      const std::string packet = MagicPacket(mac);
      for (std::size_t t = 0; t < targets.size(); ++t) {
        if (platform.network.SendUdp(targets[t].from, targets[t].to, kWakePort, packet)) reached[t] = true;
      }
    }
  }
  std::vector<std::wstring> macs;
  macs.reserve(cards.size());
  for (const MacAddress& mac : cards) macs.push_back(FormatMac(mac));
  std::vector<std::wstring> where;
  for (std::size_t t = 0; t < targets.size(); ++t) {
    if (!reached[t]) continue;
    where.push_back(Wide(targets[t].to) + (targets[t].from.empty() ? L"" : L"(从 " + Wide(targets[t].from) + L")"));
  }
  sent = !where.empty();
  const IniFile::Zone* zone = zones.Holding(number);
  std::wstring line = L"机号 " + IntText(number) + (zone != nullptr ? L"(" + zone->name + L")" : L"");
  line += L" " + JoinWith(macs, L", ");
  return sent ? line + L" → " + JoinWith(where, L", ") : line + L": 没能发出";
}

std::wstring NumberList(const std::vector<int>& numbers) {
  std::vector<std::wstring> texts;
  texts.reserve(numbers.size());
  for (const int n : numbers) texts.push_back(IntText(n));
  return JoinWith(texts, L", ");
}

// The seats whose subnet no card of this machine that is up is on, by subnet: a directed broadcast reaches
// them only through a router that forwards it. One word a subnet, before anything is sent.
std::vector<std::wstring> BehindRouters(const IniFile::Zones& zones, const std::vector<int>& numbers,
                                        const std::vector<std::string>& up) {
  std::map<std::wstring, std::vector<int>> bySubnet;
  for (const int n : numbers) {
    const IniFile::ZonePlan* plan = zones.PlanOf(n);
    const Ipv4 ip = ParseIpv4(plan->AddressOf(n));
    const Ipv4 mask = ParseMask(plan->mask);
    if (!ip.ok() || !mask.ok()) continue;
    const bool near = std::any_of(up.begin(), up.end(), [&](const std::string& own) {
      const Ipv4 card = ParseIpv4(Wide(own));
      return card.ok() && (card.bits & mask.bits) == (ip.bits & mask.bits);
    });
    if (!near) bySubnet[DottedText(ip.bits & mask.bits) + L"(掩码 " + plan->mask + L")"].push_back(n);
  }
  std::vector<std::wstring> words;
  words.reserve(bySubnet.size());
  for (const auto& [subnet, seats] : bySubnet) {
    words.push_back(L"机号 " + NumberList(seats) + L" 的网段 " + subnet +
                    L" 不是本机网卡所在的网段: 发到那里的广播要路由器转发(在路由器上允许定向广播),"
                    L"否则这些机器收不到唤醒包;也可以在那个网段的一台机器上运行 /wake。");
  }
  return words;
}

// How a run went: seats sent, those without an address, those whose packets all failed, those Ctrl-C left.
struct WakeTally {
  int sent = 0;
  std::vector<int> unknown;
  std::vector<int> unsent;
  std::vector<int> left;
  bool stopped = false;
};

// Every asked seat in turn, paced, each line said as its packets go; Ctrl-C stops before the next seat.
WakeTally SendAll(Platform& platform, const IniFile::Zones& zones, const std::vector<int>& numbers,
                  const std::map<int, std::vector<MacAddress>>& cards, const std::vector<std::string>& up,
                  int perSecond) {
  WakeTally tally;
  const std::uint64_t start = platform.system.MillisecondsSinceBoot();
  std::uint64_t paced = 0;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const int n = numbers[i];
    const auto found = cards.find(n);
    if (found == cards.end()) {
      tally.unknown.push_back(n);
      continue;
    }
    // Seat k leaves k / PerSecond seconds after the first.
    const std::uint64_t due = start + paced++ * 1000 / static_cast<std::uint64_t>(perSecond);
    const std::uint64_t now = platform.system.MillisecondsSinceBoot();
    if (due > now) platform.system.Sleep(static_cast<std::uint32_t>(due - now));
    if (platform.console.Interrupted()) {
      tally.stopped = true;
      for (std::size_t j = i; j < numbers.size(); ++j) {
        if (cards.count(numbers[j]) > 0) tally.left.push_back(numbers[j]);
      }
      break;
    }
    bool sent = false;
    platform.console.Write(platform.text.ToAnsi(WakeSeat(platform, zones, n, found->second, up, sent) + L"\r\n"));
    if (sent) {
      ++tally.sent;
    } else {
      tally.unsent.push_back(n);
    }
  }
  return tally;
}

// The run's one line in the log: how many seats were sent, how many had no address, where Ctrl-C stopped it.
void LogWake(Platform& platform, const LogPlace& place, const WakeTally& tally, int exitCode,
             std::vector<std::wstring>& lines) {
  RunRecord record;
  record.mode = RunMode::Wake;
  record.outcome = L"唤醒: 已发送 " + IntText(tally.sent) + L" 个机位";
  if (!tally.unknown.empty()) record.outcome += L", " + IntText(tally.unknown.size()) + L" 个没有网卡地址";
  if (tally.stopped) record.outcome += L", 被 Ctrl-C 停止, " + IntText(tally.left.size()) + L" 个未发送";
  record.exitCode = exitCode;
  if (AppendRunLog(platform, place, record) != LogResult::Appended) {
    lines.push_back(L"日志 " + RunLogPath(platform, place) + L" 无法写入,这次唤醒没有记录。");
  }
}

}  // namespace

CafeOutput WakeCommand(Platform& platform, const IniFile::Venue& venue, const std::vector<std::wstring>& words) {
  if (!venue.Ok()) return {venue.problem, exit_code::kRefused};
  const WakeChoice choice = ChooseSeats(words, venue.zones);
  if (!choice.error.empty()) return {choice.error, exit_code::kBadArguments};
  std::wstring problem;
  const std::optional<int> perSecond = SeatsPerSecond(platform, venue, problem);
  if (!perSecond) return {problem, exit_code::kRefused};
  const LogPlace place = PlaceOfLog(platform, venue.file);
  const RunLog log = ReadRunLog(platform, place);
  const IniFile::MachineTable table = IniFile::ReadMachineTable(venue.file);
  const std::map<int, std::vector<MacAddress>> cards = KnownCards(ViewOfCafe(log, table, venue.zones));
  const std::vector<std::string> up = UpAddresses(platform);
  std::vector<int> known;
  std::copy_if(choice.numbers.begin(), choice.numbers.end(), std::back_inserter(known),
               [&cards](int n) { return cards.count(n) > 0; });
  std::vector<std::wstring> before = ReadingProblems(log);
  for (std::wstring& word : BehindRouters(venue.zones, known, up)) before.push_back(std::move(word));
  for (const std::wstring& line : before) platform.console.Write(platform.text.ToAnsi(line + L"\r\n"));
  platform.console.StopOnCtrlC();
  const WakeTally tally = SendAll(platform, venue.zones, choice.numbers, cards, up, *perSecond);
  std::vector<std::wstring> lines;
  if (!tally.unknown.empty()) {
    lines.push_back(L"没有网卡地址,无法唤醒(不在 [Machines] 中,日志里也没有): 机号 " + NumberList(tally.unknown));
  }
  if (!tally.unsent.empty()) lines.push_back(L"唤醒包没能发出: 机号 " + NumberList(tally.unsent));
  if (tally.stopped) lines.push_back(L"已按 Ctrl-C 停止,没有发送: 机号 " + NumberList(tally.left));
  lines.push_back(L"已发送唤醒包: " + IntText(tally.sent) + L" 个机位(每秒 " + IntText(*perSecond) + L" 台,每台发 " +
                  IntText(kWakeRounds) + L" 次);机器是否开机,请看机位是否上线。");
  const bool all = tally.unknown.empty() && tally.unsent.empty() && !tally.stopped;
  const int exitCode = all ? exit_code::kDone : exit_code::kRefused;
  LogWake(platform, place, tally, exitCode, lines);
  return {JoinWith(lines, L"\r\n"), exitCode};
}

}  // namespace vexa
