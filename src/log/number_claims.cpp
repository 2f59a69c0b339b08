#include "log/number_claims.h"

#include <algorithm>
#include <vector>

#include "common/exit_codes.h"
#include "common/mac_address.h"
#include "common/text.h"

namespace vexa {

std::wstring AddressKey(const std::wstring& address) {
  // The tool writes every line's address in that spelling already: taken as it is, without parsing.
  constexpr std::size_t kSpelled = 17;  // "00-1A-2B-3C-4D-5E"
  const bool spelled = address.size() == kSpelled && std::all_of(address.begin(), address.end(), [&](const wchar_t& c) {
                         const std::size_t i = static_cast<std::size_t>(&c - address.data());
                         return i % 3 == 2 ? c == L'-' : (IsDigit(c) || (c >= L'A' && c <= L'F'));
                       });
  if (spelled) return address;
  const std::optional<MacAddress> mac = ParseMac(address);
  return mac ? FormatMac(*mac) : address;
}

bool SameAddress(std::string_view tail, const std::wstring& key) {
  if (tail.size() != key.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i] == ':' ? '-' : AsciiUpper(tail[i]);
    if (static_cast<wchar_t>(c) != key[i]) return false;
  }
  return true;
}

NumberClaim ClaimOn(const LogText& log, int number, const std::wstring& address) {
  // Read from the end: the number's last vouching line, and the tails of the lines after it. A line naming
  // the number before that one is superseded by it; one after it that cannot be trusted leaves it unknown.
  NumberClaim claim;
  std::optional<LogEntry> numberVouch;
  std::vector<std::pair<std::string_view, LineTail>> later;  // whole lines with a tail after the number's
  std::vector<std::wstring> undone;                          // cards whose /undo ended a claim after it
  log.Backward([&](std::string_view line, bool ended, bool hasEnd) {
    if (NamesNumber(line, number)) {
      LogEntry entry = ReadLogLine(line, ended, hasEnd);
      if (entry.Vouches()) {
        numberVouch = std::move(entry);
        return false;
      }
      if (EndsClaim(entry)) undone.push_back(AddressKey(entry.record.address));
      if (entry.fault == LogEntry::Fault::Untrusted && !claim.untrusted) claim.untrusted = std::move(entry);
    }
    if (!ended) return true;  // only a whole line with a tail can vouch
    if (const std::optional<LineTail> tail = TailOfLine(line)) later.emplace_back(line, *tail);
    return true;
  });
  if (!numberVouch) return claim;  // a line that vouches has an address: its tail repeats it
  const std::wstring other = AddressKey(numberVouch->record.address);
  if (other == AddressKey(address)) return claim;
  if (std::find(undone.begin(), undone.end(), other) != undone.end()) return claim;
  // A later line that vouches for the other card moved it on to another number.
  for (const auto& [line, tail] : later) {
    if (SameAddress(tail.address, other) && ReadLogLine(line, true, true).Vouches()) return claim;
  }
  claim.holder = std::move(numberVouch);
  return claim;
}

bool EndsClaim(const LogEntry& entry) {
  return entry.fault == LogEntry::Fault::None && entry.record.mode == RunMode::Undo &&
         ExitCodeOfLine(entry.record) == exit_code::kDone;
}

std::optional<std::wstring> NumberOfCard(const LogText& log, const std::wstring& address) {
  // Only lines with a tail can vouch, and an /undo line names the card in its address column: the bytes of
  // every other line are not parsed.
  const std::wstring key = AddressKey(address);
  std::optional<std::wstring> number;
  log.Backward([&](std::string_view line, bool ended, bool hasEnd) {
    if (!ended) return true;
    const std::optional<LineTail> tail = TailOfLine(line);
    const bool undo = IsRunOf(line, RunMode::Undo);
    if (!undo && (!tail || !SameAddress(tail->address, key))) return true;
    const LogEntry entry = ReadLogLine(line, ended, hasEnd);
    if (AddressKey(entry.record.address) != key) return true;
    if (EndsClaim(entry)) return false;
    if (!entry.Vouches()) return true;
    number = entry.record.number;
    return false;
  });
  return number;
}

}  // namespace vexa
