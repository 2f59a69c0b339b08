#include "log/log_line.h"

#include <algorithm>
#include <cctype>

#include "common/exit_codes.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"

namespace vexa {

namespace {

// The columns after time, mode and outcome, each with its label; then the exit code and the tail.
constexpr std::wstring_view kLabels[] = {L"机号=", L"计算机名=", L"IP=", L"网卡=", L"地址=", L"未写入="};
constexpr std::wstring_view kExitCodeLabel = L"退出码=";
constexpr std::wstring_view kVersionLabel = L"版本=";
constexpr std::wstring_view kListSeparator = L", ";
// Longer than any line the tool writes (a card description is at most 255 characters).
constexpr std::size_t kMaxLineLength = 4096;

constexpr std::pair<RunMode, std::wstring_view> kModeNames[] = {
    {RunMode::Window, L"窗口"}, {RunMode::Auto, L"/auto"}, {RunMode::Number, L"/n"}, {RunMode::Check, L"/check"}};

std::wstring_view ModeName(RunMode mode) {
  for (const auto& [m, name] : kModeNames) {
    if (m == mode) return name;
  }
  return L"";
}

}  // namespace

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
  for (std::size_t i = 3; i + 1 < fields.size(); ++i) {
    if (!fields[i].starts_with(kLabels[i - 3])) return false;
  }
  return true;
}

// A version as the tool writes it: "1.1.0", "1.1.0-dev+1a2b3c4".
bool IsVersion(std::wstring_view text) {
  constexpr std::size_t kMaxVersion = 64;
  return !text.empty() && text.size() <= kMaxVersion && IsDigit(text.front()) &&
         std::all_of(text.begin(), text.end(),
                     [](wchar_t c) { return IsDigit(c) || IsAsciiLetter(c) || c == L'.' || c == L'-' || c == L'+'; });
}

// The optional columns after the labelled ones, each in its place: the exit code, the version, the
// [Machines] tail (which repeats the address and number columns: a tail that says otherwise was not written
// by the tool). False when one is not as the tool writes it.
bool ReadTrailingColumns(const std::vector<std::wstring_view>& fields, std::size_t next, RunRecord& r) {
  if (next < fields.size() && fields[next].starts_with(kExitCodeLabel)) {
    const std::wstring_view code = fields[next++].substr(kExitCodeLabel.size());
    if (code.empty() || code.size() > 2 || !std::all_of(code.begin(), code.end(), IsDigit)) return false;
    int value = 0;
    for (wchar_t digit : code) value = value * 10 + (digit - L'0');
    r.exitCode = value;
  }
  r.version.clear();
  if (next < fields.size() && fields[next].starts_with(kVersionLabel)) {
    const std::wstring_view version = fields[next++].substr(kVersionLabel.size());
    if (!IsVersion(version)) return false;
    r.version = version;
  }
  if (next < fields.size()) {
    const std::wstring_view tail = fields[next];
    const bool repeats = tail.size() == r.address.size() + 1 + r.number.size() && tail.starts_with(r.address) &&
                         tail[r.address.size()] == L'=' && tail.ends_with(r.number);
    if (r.address.empty() || !repeats || ++next != fields.size()) return false;
    r.inPlace = true;
  }
  return true;
}

}  // namespace

std::wstring LogLine(const LocalTime& t, const RunRecord& r) {
  const std::wstring values[] = {r.number, r.hostName, r.ipAddress,
                                 r.card,   r.address,  JoinWith(r.notWritten, kListSeparator)};
  std::wstring line = LogStamp(t) + L"\t" + std::wstring(ModeName(r.mode)) + L"\t" + LogField(r.outcome);
  for (std::size_t i = 0; i < std::size(kLabels); ++i) line += L"\t" + std::wstring(kLabels[i]) + LogField(values[i]);
  if (r.exitCode) line += L"\t" + std::wstring(kExitCodeLabel) + std::to_wstring(*r.exitCode);
  if (!r.version.empty()) line += L"\t" + std::wstring(kVersionLabel) + LogField(r.version);
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
  const std::size_t columns = 3 + std::size(kLabels);
  const std::optional<LocalTime> time = StampOf(fields[0]);
  const auto mode = std::find_if(std::begin(kModeNames), std::end(kModeNames),
                                 [&](const auto& m) { return fields.size() > 1 && m.second == fields[1]; });
  if (!time || mode == std::end(kModeNames) || fields.size() > columns + 3) return entry;
  if (fields.size() < columns) {
    if (IsCutShort(fields)) entry.fault = LogEntry::Fault::Torn;
    return entry;
  }
  std::wstring* values[] = {&entry.record.number, &entry.record.hostName, &entry.record.ipAddress,
                            &entry.record.card,   &entry.record.address,  nullptr};
  std::wstring_view notWritten;
  for (std::size_t i = 0; i < std::size(kLabels); ++i) {
    const std::wstring_view field = fields[3 + i];
    if (field.substr(0, kLabels[i].size()) != kLabels[i]) return entry;
    const std::wstring_view value = field.substr(kLabels[i].size());
    if (values[i] != nullptr) {
      values[i]->assign(value);
    } else {
      notWritten = value;
    }
  }
  entry.record.notWritten = ListItems(notWritten);
  if (!ReadTrailingColumns(fields, columns, entry.record)) return entry;
  entry.time = *time;
  entry.record.mode = mode->first;
  entry.record.outcome = fields[2];
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

bool LogEntry::Vouches() const {
  return fault == Fault::None && record.mode != RunMode::Check && record.inPlace && record.notWritten.empty() &&
         exit_code::ValuesInRegistry(ExitCodeOfLine(record)) && MachineNumberOf(record.number).has_value();
}

LogEntry ReadLogLine(std::string_view line, bool ended, bool hasEnd) {
  LogEntry entry = ParseLogLine(FromUtf8(line), hasEnd);
  // A line that ends in a bare LF, or is not UTF-8 (unless cut short inside a character), was not written
  // by the tool.
  const bool cut = entry.fault == LogEntry::Fault::Torn;
  if (hasEnd && (!ended || (!IsUtf8(line) && !cut))) entry.fault = LogEntry::Fault::Foreign;
  return entry;
}

std::optional<LineTail> TailOfLine(std::string_view line) {
  // Read from the line's end: digits, '=', an address that ends in a hexadecimal digit, a TAB before it.
  // The tool's other columns that end in digits follow a label ("退出码=0"), never a hexadecimal digit.
  std::size_t digits = line.size();
  while (digits > 0 && line[digits - 1] >= '0' && line[digits - 1] <= '9') --digits;
  if (digits == line.size() || digits < 2 || line[digits - 1] != '=' ||
      !std::isxdigit(static_cast<unsigned char>(line[digits - 2]))) {
    return std::nullopt;
  }
  const std::size_t tab = line.rfind('\t', digits - 1);
  if (tab == std::string_view::npos) return std::nullopt;
  return LineTail{line.substr(tab + 1, digits - 1 - (tab + 1)), line.substr(digits)};
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
