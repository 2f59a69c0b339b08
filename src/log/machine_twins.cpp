#include "log/machine_twins.h"

#include <algorithm>

#include "common/utf8.h"
#include "log/number_claims.h"

namespace vexa {

std::vector<LogEntry> CardsSharing(const LogText& log, PrintOf column, const std::wstring& print,
                                   const std::vector<std::wstring>& own) {
  std::vector<LogEntry> sharing;
  if (print.empty()) return sharing;
  // Only a line whose bytes carry the print is parsed as a candidate; the lines after it that could end its
  // card's claim (a whole line with a tail, an /undo) are kept unparsed until a candidate asks about them.
  const std::string needle = ToUtf8((column == PrintOf::MachineGuid ? L"\t机器码=" : L"\tSID=") + print + L"\t");
  std::vector<std::wstring> decided;  // this machine's cards, and the cards already found
  decided.reserve(own.size());
  for (const std::wstring& address : own) decided.push_back(AddressKey(address));
  // The whole lines after this one with a tail (by their tail's address) or of an /undo (no address).
  std::vector<std::pair<std::string_view, std::string_view>> later;
  // A later line of the card vouches for another print, or its /undo ended the claim.
  const auto superseded = [&later](const std::wstring& key) {
    return std::any_of(later.begin(), later.end(), [&key](const auto& other) {
      if (!other.second.empty() && !SameAddress(other.second, key)) return false;
      const LogEntry entry = ReadLogLine(other.first, true, true);
      return AddressKey(entry.record.address) == key && (entry.Vouches() || EndsClaim(entry));
    });
  };
  const auto isDecided = [&decided](std::string_view address) {
    return std::any_of(decided.begin(), decided.end(),
                       [address](const std::wstring& key) { return SameAddress(address, key); });
  };
  log.Backward([&](std::string_view line, bool ended, bool) {
    if (!ended) return true;
    const std::optional<LineTail> tail = TailOfLine(line);
    if (!tail && !IsRunOf(line, RunMode::Undo)) return true;
    if (tail && line.find(needle) != std::string_view::npos && !isDecided(tail->address)) {
      LogEntry entry = ReadLogLine(line, true, true);
      const std::wstring key = AddressKey(entry.record.address);
      if (entry.Vouches()) {
        decided.push_back(key);  // its older lines say nothing more
        if (!superseded(key)) sharing.push_back(std::move(entry));
      }
    }
    later.emplace_back(line, tail ? tail->address : std::string_view());
    return true;
  });
  return sharing;
}

}  // namespace vexa
