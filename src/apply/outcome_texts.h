// The path's own words about an outcome: the log's outcome field, a check's verdict, the doubt about a
// number another card holds and how to write anyway. What the window and the console show of an outcome is
// app/outcome_report.h's; the refusals' own texts stay beside the checks that decide them (machine_settings,
// machine_plan, machine_lookup); the words readers of the log go by are log/log_line.h's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "apply/outcome.h"
#include "log/run_log.h"

namespace vexa {

// After a doubt: the window's question, and the console's word on how to write anyway.
inline constexpr std::wstring_view kConfirmQuestion = L"仍然写入这些设置吗?";
inline constexpr std::wstring_view kForceHint = L"要仍然写入,请加 /force。";

// The shared log says another card holds number: its line's address, time and host name.
std::wstring NumberHeldText(int number, const LogEntry& other);
// A line of the log names number after its last vouching line, but a column of it is doubled or cannot be
// read (a later version's, or edited by hand): nobody can say number is free.
std::wstring NumberUntrustedText(int number, const LogEntry& line);
// Lines of the log at path that speak of a restart but cannot be trusted, as the restart rule says it.
std::wstring UntrustedRequestsText(const std::wstring& path, int lines);
// The shared log cannot be read whole (each file with its reason), so nobody can say number is free.
std::wstring NumberUnknownText(int number, const std::vector<std::wstring>& unreadable);

// The shared log at path stayed locked or held for the whole wait: nothing was written, and what to do.
std::wstring LogBusyText(const std::wstring& path, std::uint32_t waitMilliseconds);
// Why the log at path could not be held, said after its path: busy for the wait, not writable, a link,
// not a plain file, or (unreachable, the folder config.ini names) not reached.
std::wstring LockProblemText(LockState state, bool folderOfThatName, std::uint32_t waitMilliseconds);
// The cafe's log (config.ini's [Log] Folder=) could not be held for a number a person gave: nothing was
// written, and what to do.
std::wstring CafeLogRefusalText(const std::wstring& log, const std::wstring& why);
// The window's question when the log could not be held: busy, or the cafe's log for another reason.
std::wstring WaitQuestion(bool busy, const std::wstring& log, const std::wstring& why);
// What a run says of its line: written where config.ini does not say (elsewhere: why the cafe's log was not
// used), or not written at all; "" when it went where it should. refusedForLog: the refusal says it already.
std::wstring LogNote(const std::wstring& elsewhere, LogResult result, const std::wstring& path,
                     std::uint32_t waitMilliseconds, bool refusedForLog);

inline constexpr std::wstring_view kNothingToUndo = L"没有可撤销的设置";

inline constexpr std::wstring_view kRestartRefusedText = L"重启请求失败,请手动重新启动计算机,新设置在重启后生效。";

// "已写入", or what of it was not: the heading of a write's report and of its log outcome.
std::wstring WrittenHeading(const WriteReport& report);

// What a check found: in effect, in the registry but not in effect, or the registry differs.
std::wstring CheckVerdict(const CheckOutcome& check);

// The log's outcome field; for /undo, one card's line (last: the line the restart's word goes on).
std::wstring LogOutcome(const Outcome& outcome);
std::wstring UndoOutcome(const UndoneCard& card, RestartState restart, bool last);
// The values an undo found no key for (a driver installed anew, a profile deleted): nothing to put back.
std::wstring KeyGoneText(const std::vector<std::wstring>& labels);
// After /undo: the start-up task's /auto writes the settings again while [Machines] lists the card (line:
// its "address=number" there), and how to stop it.
std::wstring ListedAgainText(const std::wstring& line);
inline constexpr std::wstring_view kCardGone = L"网卡已不在本机";

// Why the machine gets a new MachineGuid, as its line says it (Outcome::guidRenewal).
struct GuidRenewalReason;
std::wstring GuidRenewalText(const GuidRenewalReason& reason);
// What the summary says of it: given (and that /undo puts the old one back), or not written; "" for none.
std::wstring GuidRenewalLine(const Outcome& out);
// The new MachineGuid the outcome names was written.
bool GuidWritten(const Outcome& out);
std::wstring LogOutcome(const CheckOutcome& check);

}  // namespace vexa
