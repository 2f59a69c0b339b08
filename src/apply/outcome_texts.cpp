#include "apply/outcome_texts.h"

#include <algorithm>

#include "apply/machine_identity.h"
#include "common/exit_codes.h"
#include "common/text.h"

namespace vexa {

namespace {

std::wstring RestartSuffix(RestartState restart) {
  switch (restart) {
    case RestartState::NotAsked: return L"";
    case RestartState::Requested: return L", " + std::wstring(kRestartRequested);
    case RestartState::Refused: return L", 重启请求失败";
    case RestartState::NotTaken: return L", 重启后计算机名仍未生效";
    case RestartState::AskedTwice: return L", 请求过两次重启,计算机名仍未生效";
    case RestartState::Unknown: return L", 计算机名未生效, 日志无法读取, 不知是否请求过重启";
    case RestartState::Unrecorded: return L", 计算机名未生效, 无法记录重启请求";
  }
  return L"";
}

// The word on a new MachineGuid a line's outcome ends with; "" for none.
std::wstring GuidSuffix(const Outcome& out) {
  if (!out.twinIgnored.empty()) return L", 机器码不再换新(" + out.twinIgnored + L")";
  if (out.guidRenewal.empty()) return L"";
  return (GuidWritten(out) ? L", 机器码已换新(" : L", 机器码未能换新(") + out.guidRenewal + L")";
}

}  // namespace

bool GuidWritten(const Outcome& out) {
  const std::vector<std::wstring>& notWritten = out.report.notWritten;
  return !out.guidRenewal.empty() &&
         std::find(notWritten.begin(), notWritten.end(), kMachineGuidLabel) == notWritten.end();
}

std::wstring GuidRenewalText(const GuidRenewalReason& reason) {
  if (!reason.twin) return L"[Identity] MachineGuid=new";
  return L"与机号 " + reason.twin->record.number + L" 的机器相同";
}

std::wstring GuidRenewalLine(const Outcome& out) {
  if (!out.twinIgnored.empty()) {
    return L"日志说本机的机器码 (MachineGuid) " + out.twinIgnored +
           L",但本程序已经给本机换过一次机器码,不再换新:请查看日志里那一行是谁写的。";
  }
  if (out.guidRenewal.empty()) return L"";
  if (!GuidWritten(out)) return L"机器码 (MachineGuid) 应换新(" + out.guidRenewal + L"),但没能写入。";
  return L"机器码 (MachineGuid) 已换新(" + out.guidRenewal +
         L"):计费、远程控制等软件从此把本机当作另一台机器。/undo 可恢复原来的机器码。";
}

std::wstring WrittenHeading(const WriteReport& report) {
  if (report.notWritten.empty()) return L"已写入";
  return report.networkWritten ? L"已写入, 部分未写入" : L"未写入";
}

std::wstring NumberHeldText(int number, const LogEntry& other) {
  const RunRecord& r = other.record;
  return L"日志显示机号 " + IntText(number) + L" 已经给了另一块网卡 " + r.address + L"(" + LogStamp(other.time) +
         L" 的运行,计算机名 " + r.hostName + L"),那块网卡最后一次运行仍是这个机号。";
}

std::wstring NumberUntrustedText(int number, const LogEntry& line) {
  return L"日志中 " + LogStamp(line.time) + L" 的一行提到机号 " + IntText(number) +
         L",但它有重复或无法读取的列(可能是更新版本的 VexaIpSet 写的,或被人改过),无法确认机号 " + IntText(number) +
         L" 没有给别的网卡。";
}

std::wstring UntrustedRequestsText(const std::wstring& path, int lines) {
  return path + L": " + IntText(lines) + L" 行提到重启,但有重复或无法读取的列";
}

std::wstring NumberUnknownText(int number, const std::vector<std::wstring>& unreadable) {
  return L"无法读取日志 " + JoinWith(unreadable, L"; ") + L",无法确认机号 " + IntText(number) + L" 没有给别的网卡。";
}

std::wstring LogBusyText(const std::wstring& path, std::uint32_t waitMilliseconds) {
  return L"日志 " + path + L" 正被其他机器或程序占用,等了 " + IntText(waitMilliseconds / 1000) +
         L" 秒仍没能锁定它。没有日志里的这一行就不改本机:什么也没有写入,也不重启。\r\n"
         L"请找出占用它的程序(打开着它的编辑器、挂起的 VexaIpSet)并关闭,或等一会儿再运行。";
}

std::wstring LockProblemText(LockState state, bool folderOfThatName, std::uint32_t waitMilliseconds) {
  switch (state) {
    case LockState::Held:
    case LockState::Released: return L"";
    case LockState::Busy: return L" 正被其他机器或程序占用,等了 " + IntText(waitMilliseconds / 1000) + L" 秒仍没能锁定";
    case LockState::Link: return std::wstring(kIsLink);
    case LockState::NotWritable: break;
  }
  return folderOfThatName ? L" " + ReadFailureText(ReadStatus::NotPlain) : std::wstring(kNotWritable);
}

std::wstring CafeLogRefusalText(const std::wstring& log, const std::wstring& why) {
  return L"网吧的日志 " + log + why +
         L"。config.ini 的 [Log] Folder= 指定了它:它是一个机号只给一台机器的凭据,拿不到它的锁就不写入输入的机号。"
         L"什么也没有写入,也不重启。\r\n"
         L"请检查服务器和共享文件夹(或 [Log] Folder=)后再试;/auto 按 [Machines] 写入时,日志暂记在 config.ini 旁边。";
}

std::wstring WaitQuestion(bool busy, const std::wstring& log, const std::wstring& why) {
  if (busy) return L"日志正被其他机器使用,要再等一会儿吗?";
  return L"网吧的日志 " + log + why + L",拿不到它的锁就不能写入。要重试吗?";
}

std::wstring LogNote(const std::wstring& elsewhere, LogResult result, const std::wstring& path,
                     std::uint32_t waitMilliseconds, bool refusedForLog) {
  switch (result) {
    case LogResult::Appended: return elsewhere.empty() ? L"" : elsewhere + L"这次记在 " + path + L"。";
    case LogResult::NotWritable:
      return elsewhere + L"日志 " + path + std::wstring(kNotWritable) + L",这次没有记入日志。";
    case LogResult::Busy:
      if (refusedForLog) return elsewhere.empty() ? L"" : elsewhere + L"这次用的是 " + path + L"。";
      return elsewhere + L"日志 " + path + L" 被其他程序占用,等了 " + IntText(waitMilliseconds / 1000) +
             L" 秒仍没能写入,这次没有记入日志。";
    case LogResult::Link: return elsewhere + L"日志 " + path + std::wstring(kIsLink) + L"。";
  }
  return L"";
}

std::wstring LogOutcome(const Outcome& out) {
  switch (out.kind) {
    case Outcome::Kind::Refused: return std::wstring(kRefusedOutcome) + FirstLine(out.notice.text);
    case Outcome::Kind::InPlace: {
      std::wstring text(kAlreadyInPlace);
      if (out.renamePending && out.restart == RestartState::NotAsked) text += L", 计算机名重启后生效";
      return text + GuidSuffix(out) + RestartSuffix(out.restart);
    }
    case Outcome::Kind::Written: break;
    case Outcome::Kind::Undone: return std::wstring(kUndoneOutcome) + RestartSuffix(out.restart);
  }
  const std::wstring overruled = out.overruled.empty() ? L"" : L", " + out.overruled;
  return WrittenHeading(out.report) + overruled + GuidSuffix(out) + RestartSuffix(out.restart);
}

std::wstring UndoOutcome(const UndoneCard& card, RestartState restart, bool last) {
  std::wstring text(kUndoneOutcome);
  if (!card.notRestored.empty()) text += L", 部分未恢复";
  if (card.gone) text += L", " + std::wstring(kCardGone);
  if (!card.restored.empty()) text += L": 恢复了 " + JoinWith(card.restored, L"、");
  if (!card.keyGone.empty()) text += L"; " + KeyGoneText(card.keyGone);
  return last ? text + RestartSuffix(restart) : text;
}

std::wstring KeyGoneText(const std::vector<std::wstring>& labels) {
  return L"键已不存在,无需恢复: " + JoinWith(labels, L"、");
}

std::wstring ListedAgainText(const std::wstring& line) {
  return L"config.ini 的 [Machines] 中还有这块网卡(" + line +
         L"):开机服务的 /auto 会在下次开机时再次写入这些设置。不想这样时,请删除 [Machines] 中这一行,或运行 /uninstall "
         L"删除开机服务。";
}

std::wstring CheckVerdict(const CheckOutcome& check) {
  switch (ExitCodeOf(check)) {
    case exit_code::kDone: return std::wstring(kInEffect);
    case exit_code::kNotInEffect: return L"已写入注册表,但还没有全部生效";
    default: break;
  }
  return L"注册表与 config.ini 算出的设置不同";
}

std::wstring LogOutcome(const CheckOutcome& check) {
  if (check.plan.kind == Outcome::Kind::Refused) return LogOutcome(check.plan);
  return std::wstring(kCheckOutcome) + CheckVerdict(check);
}

}  // namespace vexa
