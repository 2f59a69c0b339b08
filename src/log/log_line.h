// One line of the shared log: a run's record, written as one line and read back into the same record by
// one function; every reader (the restart rule, /table, /report, /export, the guard against one number on
// two machines) uses the record, none finds a column by position. A line whose run put the TCP/IP and
// host-name values in place ends with the card's address and the number as a [Machines] line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "platform/platform.h"

namespace vexa {

// Wake, Install, Uninstall: a line for the run, no seat.
enum class RunMode { Window, Auto, Number, Check, Undo, Wake, Install, Uninstall };

struct RunRecord {
  RunMode mode = RunMode::Window;
  std::wstring outcome;
  std::wstring number;  // as typed or given
  std::wstring hostName;
  std::wstring ipAddress;
  std::wstring card;     // the card's description
  std::wstring address;  // the card's hardware address, "" when unknown
  std::vector<std::wstring> notWritten;
  std::optional<int> exitCode;            // the run's exit code; none in lines of earlier versions
  std::wstring version{kProductVersion};  // the version of the tool that ran; "" in lines of earlier versions
  bool inPlace = false;  // every TCP/IP and host-name value holds the plan: the [Machines] line is added
  // The fingerprints (common/fingerprint.h) of the machine's MachineGuid and machine SID; "" unknown (not
  // readable, or a line of an earlier version): never a match with anything.
  std::wstring machineGuid;
  std::wstring machineSid;
};

// Words of the outcome field that readers of the log go by (lines of earlier versions have no exit code):
// a restart asked for, the values written, the values found in place, a refusal's start, a check's start
// and its verdict when everything is in effect.
inline constexpr std::wstring_view kRestartRequested = L"已请求重启";
inline constexpr std::wstring_view kWrittenOutcome = L"已写入";
inline constexpr std::wstring_view kAlreadyInPlace = L"已是这些设置";
inline constexpr std::wstring_view kRefusedOutcome = L"拒绝: ";
inline constexpr std::wstring_view kCheckOutcome = L"检查: ";
inline constexpr std::wstring_view kInEffect = L"已生效";
// An /undo put the machine's earlier values back: the card's claim on its number ends with that line.
inline constexpr std::wstring_view kUndoneOutcome = L"已撤销";

// The line, without its line end: fields separated by TABs. A control character inside a field becomes a
// blank, so one run is always one line with the same columns. machine, when given, is the writing
// machine's fingerprints in place of the record's.
struct MachinePrints {
  std::wstring machineGuid;
  std::wstring machineSid;
};
std::wstring LogLine(const LocalTime& time, const RunRecord& record, const MachinePrints* machine = nullptr);
// A field's text as a line holds it: every control character a blank.
std::wstring LogField(std::wstring_view text);

// One line read back, its columns found by their labels (columns this version does not know, before or
// after the tail, are left alone: a later version's line is read too). A line the tool could not have
// written whole is skipped: Torn (no line end: cut while being written), TooLong, Foreign (not the tool's
// columns, a time that never was or lies outside 1970-2999, bytes that are not UTF-8 in a UTF-8 log).
// Untrusted: the tool's columns, but one of them twice, a value this version cannot read (an exit code, a
// card's address), a [Machines] tail that contradicts them, or a kind of run it does not know: skipped
// too, and what it says of a number or a card is unknown, never "free".
struct LogEntry {
  enum class Fault { None, Torn, TooLong, Foreign, Untrusted };
  Fault fault = Fault::None;
  LocalTime time;
  RunRecord record;
  // The line vouches for record.address = record.number: a run other than /check put every value in
  // place (the [Machines] tail, nothing in 未写入, an exit code that says so, or for a line of an earlier
  // version without one, an outcome that says written or in place) for a number a machine can have (with
  // zones up to 9999: which zones config.ini has is no concern of the log's).
  bool Vouches() const;
};
// line without its line end; complete: it had one.
LogEntry ParseLogLine(std::wstring_view line, bool complete);

// The exit code a line's run returned: its exit-code column, or for a line of an earlier version without
// one, the code its outcome stands for. Every reader of the log goes by it (the vouching rule, each seat's
// state on the page).
int ExitCodeOfLine(const RunRecord& record);
// Whether a run wrote anything is ExitCodeOfLine's to say; whether it found every value in place and wrote
// nothing only the outcome's first word says (a line keeps no other sign of it): a restart asked for then is
// a retry, and a seat whose last run found everything in place and named nothing pending is in effect.
bool FoundInPlace(const RunRecord& record);
bool NothingPending(const RunRecord& record);

// One line of those bytes read back: parsed, or skipped with its fault (bytes that are not UTF-8, a bare LF).
LogEntry ReadLogLine(std::string_view line, bool ended, bool hasEnd);

// A line's [Machines] tail (a column "address=number", the last such from the line's end) as its bytes
// hold it, read without parsing the line: a question about one number or one address looks at it first.
struct LineTail {
  std::string_view address;
  std::string_view number;
};
std::optional<LineTail> TailOfLine(std::string_view line);
// The number a tail's or a number column's digits stand for, as the number box reads them ("007" is 7);
// -1 for anything that is no number a machine can have (1 to kLastZonedMachine).
int NumberOfDigits(std::string_view digits);
// The line's bytes name number: in a number column (any of them, when there are two) or in its tail.
bool NamesNumber(std::string_view line, int number);
// The line's bytes name that kind of run in its second column, read without parsing the line.
bool IsRunOf(std::string_view line, RunMode mode);

// A time as a line shows it: "2026-12-01 10:00:00".
std::wstring LogStamp(const LocalTime& time);

// Seconds since 1970-01-01 00:00:00 of a local time, for comparing two of them.
std::int64_t SecondsOf(const LocalTime& time);

}  // namespace vexa
