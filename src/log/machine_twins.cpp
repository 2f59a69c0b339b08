#include "log/machine_twins.h"

#include <algorithm>

#include "common/utf8.h"
#include "log/number_claims.h"

namespace vexa {

std::vector<LogEntry> CardsSharing(const LogText& log, PrintOf column, const std::wstring& print,
                                   const std::vector<std::wstring>& own) {
  std::vector<LogEntry> sharing;
  if (print.empty()) return sharing;
  // Cards whose last vouching line (or ending /undo) is behind us: a cafe's few hundred, looked up in order.
  std::vector<std::wstring> decided;
  decided.reserve(own.size());
  for (const std::wstring& address : own) decided.push_back(AddressKey(address));
  const auto decide = [&decided](const std::wstring& key) {
    if (std::find(decided.begin(), decided.end(), key) != decided.end()) return false;
    decided.push_back(key);
    return true;
  };
  // Only a whole line with a tail vouches, and an /undo names its card in the address column: no other
  // line is parsed, nor one of a card already decided.
  log.Backward([&](std::string_view line, bool ended, bool hasEnd) {
    if (!ended) return true;
    const std::optional<LineTail> tail = TailOfLine(line);
    if (tail && std::find(decided.begin(), decided.end(), AddressKey(FromUtf8(tail->address))) != decided.end())
      return true;
    if (!tail && !IsRunOf(line, RunMode::Undo)) return true;
    LogEntry entry = ReadLogLine(line, ended, hasEnd);
    const std::wstring key = AddressKey(entry.record.address);
    if (EndsClaim(entry)) decide(key);
    if (!entry.Vouches() || !decide(key)) return true;
    const std::wstring& carried = column == PrintOf::MachineGuid ? entry.record.machineGuid : entry.record.machineSid;
    if (carried == print) sharing.push_back(std::move(entry));
    return true;
  });
  return sharing;
}

}  // namespace vexa
