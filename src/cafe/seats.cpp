#include "cafe/seats.h"

#include <optional>
#include <set>

#include "common/exit_codes.h"
#include "common/mac_address.h"
#include "common/machine_number.h"
#include "common/text.h"

namespace vexa {

namespace {

// One spelling for an address, so that a line and a [Machines] entry compare.
std::wstring AddressKey(const std::wstring& address) {
  const std::optional<MacAddress> mac = ParseMac(address);
  return mac ? FormatMac(*mac) : address;
}

// The exit code of a line; for a line of an earlier version, the one its outcome stands for.
int ExitCodeOfLine(const RunRecord& r) {
  if (r.exitCode) return *r.exitCode;
  if (!r.notWritten.empty()) return exit_code::kNotAllWritten;
  if (r.outcome.starts_with(kRefusedOutcome)) return exit_code::kRefused;
  if (r.mode == RunMode::Check) {
    return r.outcome == std::wstring(kCheckOutcome) + std::wstring(kInEffect) ? exit_code::kDone
                                                                              : exit_code::kRegistryDiffers;
  }
  // An outcome that says neither written nor in place is no success.
  const bool wrote = r.outcome.starts_with(kWrittenOutcome) || r.outcome.starts_with(kAlreadyInPlace);
  return wrote ? exit_code::kDone : exit_code::kRefused;
}

}  // namespace

std::map<std::wstring, AddressHistory> AddressesOf(const RunLog& log) {
  std::map<std::wstring, AddressHistory> addresses;
  for (const LogEntry& entry : log.entries) {
    if (entry.record.address.empty()) continue;
    AddressHistory& history = addresses[AddressKey(entry.record.address)];
    history.last = &entry;
    if (entry.Vouches()) history.lastVouch = &entry;
  }
  return addresses;
}

namespace {

// The number a tail's digits stand for, as MachineNumberOf reads them ("007" is 7); -1 past any number.
int TailNumber(std::string_view digits) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.size() > 3) return -1;
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// A tail's address in the spelling FormatMac gives is key: compared without case, ':' as '-'.
bool SameAddress(std::string_view tail, const std::wstring& key) {
  if (tail.size() != key.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i] == ':' ? '-' : AsciiUpper(tail[i]);
    if (static_cast<wchar_t>(c) != key[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<LogEntry> OtherHolder(const LogText& log, int number, const std::wstring& address) {
  // Read from the end, and only lines with a tail (a line vouches for address=number only with a tail
  // that repeats both): the number's last vouching line, and the tails of the lines after it.
  std::optional<LogEntry> numberVouch;
  std::vector<std::string_view> later;
  log.Backward([&](std::string_view line, bool ended, bool hasEnd) {
    const std::optional<LineTail> tail = TailOfLine(line);
    if (!tail) return true;
    if (TailNumber(tail->number) == number) {
      LogEntry entry = ReadLogLine(line, ended, hasEnd);
      if (entry.Vouches()) {
        numberVouch = std::move(entry);
        return false;
      }
    }
    if (ended) later.push_back(line);  // only a whole line can vouch
    return true;
  });
  if (!numberVouch) return std::nullopt;  // a line that vouches has an address: its tail repeats it
  const std::wstring other = AddressKey(numberVouch->record.address);
  if (other == AddressKey(address)) return std::nullopt;
  // A later line that vouches for the other card moved it on to another number.
  for (std::string_view line : later) {
    if (SameAddress(TailOfLine(line)->address, other) && ReadLogLine(line, true, true).Vouches()) return std::nullopt;
  }
  return numberVouch;
}

SeatState StateOf(const LogEntry& entry) {
  const RunRecord& r = entry.record;
  switch (ExitCodeOfLine(r)) {
    case exit_code::kDone:
      return r.mode == RunMode::Check || r.outcome == kAlreadyInPlace ? SeatState::InEffect : SeatState::Pending;
    case exit_code::kRestartRefused:
    case exit_code::kNotInEffect: return SeatState::Pending;
    default: break;
  }
  return SeatState::Refused;
}

CafeView ViewOfCafe(const RunLog& log, const IniFile::MachineTable& table) {
  CafeView view;
  view.seats.resize(kLastMachine + 1);
  for (const LogEntry& entry : log.entries) {
    const std::optional<int> number = MachineNumberOf(entry.record.number);
    if (!number) continue;
    Seat& seat = view.seats[*number];
    seat.last = &entry;
    ++seat.runs;
  }
  const std::map<std::wstring, AddressHistory> addresses = AddressesOf(log);
  std::set<std::wstring> listed;
  for (const IniFile::MachineEntry& entry : table.entries) {
    const std::wstring address = FormatMac(entry.address);
    listed.insert(address);
    if (const std::optional<int> number = MachineNumberOf(entry.numberText)) view.seats[*number].listed = address;
    if (addresses.count(address) == 0) view.unused.push_back(JoinWith({address, entry.numberText}, L"="));
  }
  for (const auto& [address, history] : addresses) {
    if (history.lastVouch == nullptr) continue;
    const std::wstring& number = history.lastVouch->record.number;
    view.seats[*MachineNumberOf(number)].claimants.push_back(address);
    if (listed.count(address) == 0) view.unlisted.push_back(JoinWith({address, number}, L"="));
  }
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

std::vector<std::wstring> ReadingProblems(const RunLog& log) {
  std::vector<std::wstring> lines;
  for (const std::wstring& file : log.unreadable) lines.push_back(L"无法读取日志 " + file);
  if (log.Skipped() > 0) {
    std::wstring why;
    const std::pair<int, const wchar_t*> counts[] = {
        {log.torn, L"不完整(写入时被中断)"}, {log.tooLong, L"过长"}, {log.foreign, L"不是本程序写的格式"}};
    for (const auto& [count, reason] : counts) {
      if (count == 0) continue;
      if (!why.empty()) why += L", ";
      why += std::to_wstring(count) + L" 行" + reason;
    }
    lines.push_back(L"跳过了日志中无法信任的 " + std::to_wstring(log.Skipped()) + L" 行: " + why);
  }
  return lines;
}

}  // namespace vexa
