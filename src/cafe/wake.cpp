#include "cafe/wake.h"

#include <algorithm>
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

// One seat's cards woken: every packet to every target, kWakeRounds times; its line for the console.
std::wstring WakeSeat(Platform& platform, const IniFile::Zones& zones, int number, const std::vector<MacAddress>& cards,
                      const std::vector<std::string>& up, bool& sent) {
  const std::vector<Target> targets = TargetsOf(zones, number, up);
  sent = false;
  for (int round = 0; round < kWakeRounds; ++round) {
    for (const MacAddress& mac : cards) {
      const std::string packet = MagicPacket(mac);
      for (const Target& target : targets) sent |= platform.network.SendUdp(target.from, target.to, kWakePort, packet);
    }
  }
  std::vector<std::wstring> macs;
  macs.reserve(cards.size());
  for (const MacAddress& mac : cards) macs.push_back(FormatMac(mac));
  std::vector<std::wstring> where;
  where.reserve(targets.size());
  for (const Target& target : targets) {
    where.push_back(Wide(target.to) + (target.from.empty() ? L"" : L"(从 " + Wide(target.from) + L")"));
  }
  const IniFile::Zone* zone = zones.Holding(number);
  std::wstring line = L"机号 " + IntText(number) + (zone != nullptr ? L"(" + zone->name + L")" : L"");
  line += L" " + JoinWith(macs, L", ") + L" → " + JoinWith(where, L", ");
  return sent ? line : line + L": 没能发出";
}

std::wstring NumberList(const std::vector<int>& numbers) {
  std::vector<std::wstring> texts;
  texts.reserve(numbers.size());
  for (const int n : numbers) texts.push_back(IntText(n));
  return JoinWith(texts, L", ");
}

// The run's one line in the log: how many seats were sent, how many had no address.
void LogWake(Platform& platform, const LogPlace& place, int woken, const std::vector<int>& unknown, int exitCode,
             std::vector<std::wstring>& lines) {
  RunRecord record;
  record.mode = RunMode::Wake;
  record.outcome = L"唤醒: 已发送 " + IntText(woken) + L" 个机位";
  if (!unknown.empty()) record.outcome += L", " + IntText(unknown.size()) + L" 个没有网卡地址";
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
  std::vector<std::wstring> lines = ReadingProblems(log);
  std::vector<int> unknown;
  std::vector<int> unsent;
  const std::uint64_t start = platform.system.MillisecondsSinceBoot();
  std::uint64_t paced = 0;
  int woken = 0;
  for (const int n : choice.numbers) {
    const auto found = cards.find(n);
    if (found == cards.end()) {
      unknown.push_back(n);
      continue;
    }
    // Seat k leaves k / PerSecond seconds after the first.
    const std::uint64_t due = start + paced++ * 1000 / static_cast<std::uint64_t>(*perSecond);
    const std::uint64_t now = platform.system.MillisecondsSinceBoot();
    if (due > now) platform.system.Sleep(static_cast<std::uint32_t>(due - now));
    bool sent = false;
    lines.push_back(WakeSeat(platform, venue.zones, n, found->second, up, sent));
    if (sent) {
      ++woken;
    } else {
      unsent.push_back(n);
    }
  }
  if (!unknown.empty()) {
    lines.push_back(L"没有网卡地址,无法唤醒(不在 [Machines] 中,日志里也没有): 机号 " + NumberList(unknown));
  }
  if (!unsent.empty()) lines.push_back(L"唤醒包没能发出: 机号 " + NumberList(unsent));
  lines.push_back(L"已唤醒 " + IntText(woken) + L" 个机位(每秒 " + IntText(*perSecond) + L" 台,每台发 " +
                  IntText(kWakeRounds) + L" 次)。");
  const int exitCode = unknown.empty() && unsent.empty() ? exit_code::kDone : exit_code::kRefused;
  LogWake(platform, place, woken, unknown, exitCode, lines);
  return {JoinWith(lines, L"\r\n"), exitCode};
}

}  // namespace vexa
