#include "cafe/seats.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>

#include "common/exit_codes.h"
#include "common/mac_address.h"
#include "common/machine_number.h"
#include "common/text.h"

namespace vexa {

std::map<std::wstring, AddressHistory> AddressesOf(const RunLog& log) {
  std::map<std::wstring, AddressHistory> addresses;
  for (const LogEntry& entry : log.entries) {
    if (entry.record.address.empty()) continue;
    AddressHistory& history = addresses[AddressKey(entry.record.address)];
    if (entry.record.mode == RunMode::Check) {
      history.lastCheck = &entry;
      continue;
    }
    history.last = &entry;
    if (entry.Vouches()) history.lastVouch = &entry;
    if (EndsClaim(entry)) history.lastVouch = nullptr;
  }
  return addresses;
}

SeatState StateOf(const LogEntry& entry) {
  const RunRecord& r = entry.record;
  if (r.mode == RunMode::Undo) return EndsClaim(entry) ? SeatState::Undone : SeatState::Refused;
  switch (ExitCodeOfLine(r)) {
    case exit_code::kDone: return NothingPending(r) ? SeatState::InEffect : SeatState::Pending;
    case exit_code::kRestartRefused:
    case exit_code::kNotInEffect: return SeatState::Pending;
    default: break;
  }
  return SeatState::Refused;
}

std::wstring_view StateWord(SeatState state) {
  switch (state) {
    case SeatState::Unseen: return L"没有记录";
    case SeatState::Listed: return L"在机器表中,还没有运行";
    case SeatState::InEffect: return kInEffect;
    case SeatState::Pending: return L"已写入,等待重启或计算机名未生效";
    case SeatState::Refused: return L"拒绝或未写入";
    case SeatState::Undone: return kUndoneOutcome;
    case SeatState::Conflict: break;
  }
  return L"一个机号给了两块网卡";
}

std::vector<int> SeatNumbers(const CafeView& view) {
  std::vector<int> numbers;
  for (const IniFile::ZonePlan& zone : view.zones) {
    for (int n = zone.first; n <= zone.last; ++n) numbers.push_back(n);
  }
  return numbers;
}

namespace {

// Each seat of a group of seats whose machines share a machine SID names the others.
void MarkSidShared(CafeView& view, const IniFile::Zones& zones) {
  for (const std::vector<int>& group : view.sidShared) {
    for (const int number : group) {
      if (!zones.Allows(number)) continue;
      std::vector<int>& others = view.seats[number].sidShared;
      std::copy_if(group.begin(), group.end(), std::back_inserter(others), [number](int n) { return n != number; });
    }
  }
}

}  // namespace

CafeView ViewOfCafe(const RunLog& log, const IniFile::MachineTable& table, const IniFile::Zones& zones) {
  CafeView view{{}, zones.plans};  // seats, then zones
  view.unset = UnsetMachines(log);
  int last = 0;
  for (const IniFile::ZonePlan& zone : view.zones) last = std::max(last, zone.last);
  view.seats.resize(static_cast<std::size_t>(last) + 1);
  // A seat of a zone, or nothing for a number no zone holds.
  const auto seatOf = [&view, &zones](std::wstring_view text) -> Seat* {
    const std::optional<int> number = MachineNumberOf(text, kLastZonedMachine);
    return number && zones.Allows(*number) ? &view.seats[*number] : nullptr;
  };
  for (const LogEntry& entry : log.entries) {
    Seat* seat = entry.record.mode == RunMode::Check ? nullptr : seatOf(entry.record.number);
    if (seat == nullptr) continue;
    seat->last = &entry;
    ++seat->runs;
  }
  view.addresses = AddressesOf(log);
  const std::map<std::wstring, AddressHistory>& addresses = view.addresses;
  std::set<std::wstring> listed;
  for (const IniFile::MachineEntry& entry : table.entries) {
    const std::wstring address = FormatMac(entry.address);
    listed.insert(address);
    if (Seat* seat = seatOf(entry.numberText)) seat->listed = address;
    if (addresses.count(address) == 0) view.unused.push_back(JoinWith({address, entry.numberText}, L"="));
  }
  for (const auto& [address, history] : addresses) {
    if (history.lastVouch == nullptr) continue;
    const std::wstring& number = history.lastVouch->record.number;
    Seat* seat = seatOf(number);
    if (seat == nullptr) {
      view.outside.push_back(*MachineNumberOf(number, kLastZonedMachine));
      continue;
    }
    seat->claimants.push_back(address);
    // The card's own seat checked since its run: what the look found, apart from the run.
    if (history.lastCheck > history.lastVouch && history.lastCheck->record.number == number)
      seat->lastCheck = history.lastCheck;
    // Only a card's address is a line [Machines] can take.
    if (listed.count(address) == 0 && ParseCardAddress(address))
      view.unlisted.push_back(JoinWith({address, number}, L"="));
  }
  std::sort(view.outside.begin(), view.outside.end());
  view.outside.erase(std::unique(view.outside.begin(), view.outside.end()), view.outside.end());
  view.sidShared = SeatsSharingSid(addresses);
  MarkSidShared(view, zones);
  for (Seat& seat : view.seats) {
    if (seat.claimants.size() > 1) {
      seat.state = SeatState::Conflict;
    } else if (seat.last != nullptr) {
      seat.state = StateOf(*seat.last);
    } else if (!seat.listed.empty()) {
      seat.state = SeatState::Listed;
    }
  }
  return view;
}

std::wstring NumbersText(const std::vector<int>& numbers) {
  std::vector<std::wstring> texts;
  texts.reserve(numbers.size());
  for (const int n : numbers) texts.push_back(IntText(n));
  return JoinWith(texts, L", ");
}

std::vector<std::vector<int>> SeatsSharingSid(const std::map<std::wstring, AddressHistory>& addresses) {
  // A cafe's machines share one SID or a few: each looked up in order.
  struct Group {
    std::wstring sid;
    std::vector<int> numbers;
  };
  std::vector<Group> bySid;
  for (const auto& [address, history] : addresses) {
    if (history.lastVouch == nullptr || history.lastVouch->record.machineSid.empty()) continue;
    const RunRecord& r = history.lastVouch->record;
    const std::optional<int> number = MachineNumberOf(r.number, kLastZonedMachine);
    if (!number) continue;
    auto group = std::find_if(bySid.begin(), bySid.end(), [&r](const Group& g) { return g.sid == r.machineSid; });
    if (group == bySid.end()) group = bySid.insert(group, Group{r.machineSid, {}});
    if (std::find(group->numbers.begin(), group->numbers.end(), *number) == group->numbers.end())
      group->numbers.push_back(*number);
  }
  std::vector<std::vector<int>> groups;
  for (Group& group : bySid) {
    if (group.numbers.size() < 2) continue;
    std::sort(group.numbers.begin(), group.numbers.end());
    groups.push_back(std::move(group.numbers));
  }
  return groups;
}

std::vector<std::wstring> ReadingProblems(const RunLog& log) {
  std::vector<std::wstring> lines;
  for (const std::wstring& file : log.unreadable) lines.push_back(L"无法读取日志 " + file);
  if (log.Skipped() > 0) {
    std::wstring why;
    const std::pair<int, const wchar_t*> counts[] = {
        {log.torn, L"不完整(写入时被中断)"},
        {log.crashed, L"被 NUL 字节取代(写入时断电或死机)"},
        {log.tooLong, L"过长"},
        {log.foreign, L"不是本程序写的格式"},
        {log.untrusted, L"有重复或无法读取的列(可能是更新版本写的,或被人改过)"}};
    for (const auto& [count, reason] : counts) {
      if (count == 0) continue;
      if (!why.empty()) why += L", ";
      why += IntText(count) + L" 行" + reason;
    }
    lines.push_back(L"跳过了日志中无法信任的 " + IntText(log.Skipped()) + L" 行: " + why);
  }
  return lines;
}

}  // namespace vexa
