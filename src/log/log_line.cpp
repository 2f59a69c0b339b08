#include "log/log_line.h"

#include <algorithm>
#include <cctype>

#include "common/exit_codes.h"
#include "common/fingerprint.h"
#include "common/mac_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"

namespace vexa {

namespace {

// The labelled columns after time, mode and outcome, as a line holds them: the six every version wrote,
// in this order, then the exit code, the version and the machine's fingerprints (each where known); then
// the [Machines] tail. A reader finds each by its
// label, wherever it stands.
enum Column {
  kNumber,
  kHostName,
  kIp,
  kCard,
  kAddress,
  kNotWritten,
  kExitCode,
  kVersion,
  kMachineGuid,
  kMachineSid,
  kColumns
};
constexpr std::wstring_view kLabels[kColumns] = {L"机号=",   L"计算机名=", L"IP=",   L"网卡=",   L"地址=",
                                                 L"未写入=", L"退出码=",   L"版本=", L"机器码=", L"SID="};
constexpr std::size_t kEveryVersion = kNotWritten + 1;  // the columns every version wrote
constexpr std::wstring_view kListSeparator = L", ";
// Longer than any line the tool writes (a card description is at most 255 characters).
constexpr std::size_t kMaxLineLength = 4096;

constexpr std::pair<RunMode, std::wstring_view> kModeNames[] = {
    {RunMode::Window, L"窗口"},      {RunMode::Auto, L"/auto"},          {RunMode::Number, L"/n"},
    {RunMode::Check, L"/check"},     {RunMode::Undo, L"/undo"},          {RunMode::Wake, L"/wake"},
    {RunMode::Install, L"/install"}, {RunMode::Uninstall, L"/uninstall"}};

std::wstring_view ModeName(RunMode mode) {
  for (const auto& [m, name] : kModeNames) {
    if (m == mode) return name;
  }
  return L"";
}

}  // namespace

bool IsRunOf(std::string_view line, RunMode mode) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return false;
  const std::string column = ToUtf8(ModeName(mode)) + "\t";
  return line.substr(tab + 1, column.size()) == column;
}

// A field's text with every control character (TAB, CR, LF and the rest below U+0020, and DEL) a blank.
std::wstring LogField(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c < L' ' || c == 0x7F) c = L' ';
  }
  return out;
}

std::wstring LogStamp(const LocalTime& t) {
  auto n = [](int value, std::size_t width) { return ZeroPadded(static_cast<unsigned>(value), width); };
  return n(t.year, 4) + L"-" + n(t.month, 2) + L"-" + n(t.day, 2) + L" " + n(t.hour, 2) + L":" + n(t.minute, 2) + L":" +
         n(t.second, 2);
}

namespace {

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The time of a stamp as Stamp writes it ("2026-12-01 10:00:00"), when it is one and a valid time.
std::optional<LocalTime> StampOf(std::wstring_view stamp) {
  constexpr std::wstring_view kShape = L"0000-00-00 00:00:00";
  if (stamp.size() != kShape.size()) return std::nullopt;
  int parts[6] = {};
  int part = 0;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != L'0') {
      if (stamp[i] != kShape[i]) return std::nullopt;
      ++part;
    } else if (IsDigit(stamp[i])) {
      parts[part] = parts[part] * 10 + (stamp[i] - L'0');
    } else {
      return std::nullopt;
    }
  }
  const LocalTime t{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
  const bool valid = t.year >= 1970 && t.year <= 2999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                     t.day <= DaysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
  return valid ? std::optional<LocalTime>(t) : std::nullopt;
}

// The fields of a line split at its TABs.
std::vector<std::wstring_view> Fields(std::wstring_view line) {
  std::vector<std::wstring_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t end = line.find(L'\t', start);
    fields.push_back(line.substr(start, end == std::wstring_view::npos ? end : end - start));
    if (end == std::wstring_view::npos) return fields;
    start = end + 1;
  }
}

// The items of a list column ("IPX 网络号, 游戏序列号"); none when it is empty.
std::vector<std::wstring> ListItems(std::wstring_view list) {
  std::vector<std::wstring> items;
  for (std::size_t start = 0; !list.empty();) {
    const std::size_t end = list.find(kListSeparator, start);
    items.emplace_back(list.substr(start, end == std::wstring_view::npos ? end : end - start));
    if (end == std::wstring_view::npos) break;
    start = end + kListSeparator.size();
  }
  return items;
}

// The tool's start of a line whose rest is missing (a time and a mode checked by the caller, then labelled
// columns): cut short while being written, and a line end written after it by the next run.
bool IsCutShort(const std::vector<std::wstring_view>& fields) {
  if (fields.size() >= 3 + kEveryVersion) return false;
  for (std::size_t i = 3; i + 1 < fields.size(); ++i) {
    if (!fields[i].starts_with(kLabels[i - 3])) return false;
  }
  return true;
}

// A [Machines] line's shape, "00-1A-2B-3C-4D-5E=15": a card's address, '=', digits.
bool IsTailShaped(std::wstring_view field) {
  constexpr std::size_t kMac = 17;
  return field.size() > kMac + 1 && field[kMac] == L'=' && ParseMac(field.substr(0, kMac)).has_value() &&
         std::all_of(field.begin() + kMac + 1, field.end(), IsDigit);
}

// The columns of a line after its outcome, each found by its label; a [Machines] line among them is the
// tail; what this version does not know is left for the versions that wrote it.
struct Columns {
  std::optional<std::wstring_view> values[kColumns];
  std::optional<std::wstring_view> tail;
  bool doubled = false;  // a known column, or the tail, twice
};
Columns ColumnsOf(const std::vector<std::wstring_view>& fields) {
  Columns columns;
  for (std::size_t i = 3; i < fields.size(); ++i) {
    const std::wstring_view field = fields[i];
    const auto label = std::find_if(std::begin(kLabels), std::end(kLabels),
                                    [field](std::wstring_view l) { return field.starts_with(l); });
    std::optional<std::wstring_view>* slot = nullptr;
    if (label != std::end(kLabels)) {
      slot = &columns.values[label - std::begin(kLabels)];
    } else if (IsTailShaped(field)) {
      slot = &columns.tail;
    } else {
      continue;
    }
    if (slot->has_value()) columns.doubled = true;
    *slot = label != std::end(kLabels) ? field.substr(label->size()) : field;
  }
  return columns;
}

// An exit code as the tool writes it: one or two digits.
std::optional<int> ExitCodeOf(std::wstring_view code) {
  if (code.empty() || code.size() > 2 || !std::all_of(code.begin(), code.end(), IsDigit)) return std::nullopt;
  int value = 0;
  for (wchar_t digit : code) value = value * 10 + (digit - L'0');
  return value;
}

// The record from a line's columns; false when a value this version relies on cannot be read: the exit
// code, the card's address, a tail that does not repeat the address and number columns.
bool ReadColumns(const Columns& columns, RunRecord& r) {
  std::wstring* values[] = {&r.number, &r.hostName, &r.ipAddress, &r.card, &r.address};
  for (std::size_t i = 0; i < std::size(values); ++i) values[i]->assign(*columns.values[i]);
  r.notWritten = ListItems(*columns.values[kNotWritten]);
  r.version = columns.values[kVersion].value_or(L"");
  // A fingerprint this version cannot read says nothing of the machine: unknown, as none at all.
  for (const auto& [column, print] : {std::pair{kMachineGuid, &r.machineGuid}, std::pair{kMachineSid, &r.machineSid}}) {
    const std::wstring_view value = columns.values[column].value_or(L"");
    if (IsFingerprint(value)) print->assign(value);
  }
  if (columns.values[kExitCode]) {
    r.exitCode = ExitCodeOf(*columns.values[kExitCode]);
    if (!r.exitCode) return false;
  }
  if (!r.address.empty() && !ParseMac(r.address)) return false;
  if (columns.tail) {
    const std::wstring_view tail = *columns.tail;
    const bool repeats = tail.size() == r.address.size() + 1 + r.number.size() && tail.starts_with(r.address) &&
                         tail[r.address.size()] == L'=' && tail.ends_with(r.number);
    if (r.address.empty() || !repeats) return false;
    r.inPlace = true;
  }
  return true;
}

}  // namespace

std::wstring LogLine(const LocalTime& t, const RunRecord& r, const MachinePrints* machine) {
  const std::wstring values[kEveryVersion] = {r.number, r.hostName, r.ipAddress,
                                              r.card,   r.address,  JoinWith(r.notWritten, kListSeparator)};
  std::wstring line = LogStamp(t) + L"\t" + std::wstring(ModeName(r.mode)) + L"\t" + LogField(r.outcome);
  for (std::size_t i = 0; i < kEveryVersion; ++i) line += L"\t" + std::wstring(kLabels[i]) + LogField(values[i]);
  if (r.exitCode) line += L"\t" + std::wstring(kLabels[kExitCode]) + IntText(*r.exitCode);
  if (!r.version.empty()) line += L"\t" + std::wstring(kLabels[kVersion]) + LogField(r.version);
  const std::wstring& guid = machine != nullptr ? machine->machineGuid : r.machineGuid;
  const std::wstring& sid = machine != nullptr ? machine->machineSid : r.machineSid;
  if (!guid.empty()) line += L"\t" + std::wstring(kLabels[kMachineGuid]) + LogField(guid);
  if (!sid.empty()) line += L"\t" + std::wstring(kLabels[kMachineSid]) + LogField(sid);
  if (r.inPlace && !r.address.empty()) line += L"\t" + LogField(r.address) + L"=" + LogField(r.number);
  return line;
}

LogEntry ParseLogLine(std::wstring_view line, bool complete) {
  LogEntry entry;
  if (!complete) {
    entry.fault = LogEntry::Fault::Torn;
    return entry;
  }
  if (line.size() > kMaxLineLength) {
    entry.fault = LogEntry::Fault::TooLong;
    return entry;
  }
  entry.fault = LogEntry::Fault::Foreign;
  const std::vector<std::wstring_view> fields = Fields(line);
  const std::optional<LocalTime> time = StampOf(fields[0]);
  if (!time || fields.size() < 2) return entry;
  const auto mode =
      std::find_if(std::begin(kModeNames), std::end(kModeNames), [&](const auto& m) { return m.second == fields[1]; });
  if (mode != std::end(kModeNames) && IsCutShort(fields)) {
    entry.fault = LogEntry::Fault::Torn;
    return entry;
  }
  const Columns columns = ColumnsOf(fields);
  for (std::size_t i = 0; i < kEveryVersion; ++i) {
    if (!columns.values[i]) return entry;  // not the tool's columns
  }
  entry.time = *time;
  entry.record.outcome = fields[2];
  // The tool's line all the same: a column twice, a value it cannot read or a kind of run it does not know
  // (a later version's) leave what the line says of its number and card unknown.
  entry.fault = LogEntry::Fault::Untrusted;
  if (columns.doubled || !ReadColumns(columns, entry.record) || mode == std::end(kModeNames)) return entry;
  entry.record.mode = mode->first;
  entry.fault = LogEntry::Fault::None;
  return entry;
}

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

bool FoundInPlace(const RunRecord& r) { return r.outcome.starts_with(kAlreadyInPlace); }

bool NothingPending(const RunRecord& r) {
  if (ExitCodeOfLine(r) != exit_code::kDone) return false;
  return r.mode == RunMode::Check || r.outcome == kAlreadyInPlace;
}

bool LogEntry::Vouches() const {
  return fault == Fault::None && record.mode != RunMode::Check && record.inPlace && record.notWritten.empty() &&
         exit_code::ValuesInRegistry(ExitCodeOfLine(record)) &&
         MachineNumberOf(record.number, kLastZonedMachine).has_value();
}

LogEntry ReadLogLine(std::string_view line, bool ended, bool hasEnd) {
  LogEntry entry = ParseLogLine(FromUtf8(line), hasEnd);
  // A line that ends in a bare LF, or is not UTF-8 (unless cut short inside a character), was not written
  // by the tool.
  const bool cut = entry.fault == LogEntry::Fault::Torn;
  if (hasEnd && (!ended || (!IsUtf8(line) && !cut))) entry.fault = LogEntry::Fault::Foreign;
  return entry;
}

namespace {

// A column's bytes shaped as a [Machines] line: six hexadecimal pairs joined by '-' or ':' (one of them
// throughout), '=', digits.
std::optional<LineTail> TailOfField(std::string_view field) {
  constexpr std::size_t kMac = 17;
  if (field.size() <= kMac + 1 || field[kMac] != '=' || (field[2] != '-' && field[2] != ':')) return std::nullopt;
  for (std::size_t i = 0; i < kMac; ++i) {
    const bool ok = i % 3 == 2 ? field[i] == field[2] : std::isxdigit(static_cast<unsigned char>(field[i])) != 0;
    if (!ok) return std::nullopt;
  }
  for (std::size_t i = kMac + 1; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return std::nullopt;
  }
  return LineTail{field.substr(0, kMac), field.substr(kMac + 1)};
}

}  // namespace

std::optional<LineTail> TailOfLine(std::string_view line) {
  // From the line's end, column by column: the tool writes the tail last, a later version may add columns
  // after it. The first column is the time, never a tail.
  for (std::size_t end = line.size(); end > 0;) {
    const std::size_t tab = line.rfind('\t', end - 1);
    if (tab == std::string_view::npos) break;
    if (const std::optional<LineTail> tail = TailOfField(line.substr(tab + 1, end - tab - 1))) return tail;
    end = tab;
  }
  return std::nullopt;
}

int NumberOfDigits(std::string_view digits) {
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
  if (digits.empty()) return -1;
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.size() > 5) return -1;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value >= kFirstMachine && value <= kLastZonedMachine ? value : -1;
}

bool NamesNumber(std::string_view line, int number) {
  constexpr std::string_view kNumberColumn = "\t\xE6\x9C\xBA\xE5\x8F\xB7=";  // "\t机号=" in UTF-8
  for (std::size_t at = line.find(kNumberColumn); at != std::string_view::npos; at = line.find(kNumberColumn, at + 1)) {
    const std::size_t start = at + kNumberColumn.size();
    const std::size_t end = std::min(line.find('\t', start), line.size());
    if (NumberOfDigits(line.substr(start, end - start)) == number) return true;
  }
  const std::optional<LineTail> tail = TailOfLine(line);
  return tail && NumberOfDigits(tail->number) == number;
}

std::int64_t SecondsOf(const LocalTime& t) {
  // Days from the civil date (proleptic Gregorian calendar).
  const int y = t.year - (t.month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (t.month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + t.day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = std::int64_t{era} * 146097 + doe - 719468;
  return days * 86400 + std::int64_t{t.hour} * 3600 + std::int64_t{t.minute} * 60 + t.second;
}

}  // namespace vexa
