#include "apply/ok_action.h"

#include <vector>

#include "apply/apply_machine.h"
#include "apply/shut_down.h"

namespace vexa {

namespace {

constexpr std::wstring_view kRestartTitle = L"全部设置完毕 需要重启计算机！";

OkResult ResultOf(Refusal refusal) {
  switch (refusal) {
    case Refusal::Empty: return OkResult::Empty;
    case Refusal::OutOfRange: return OkResult::OutOfRange;
    case Refusal::NoCard: return OkResult::NoCard;
    case Refusal::BadIpAddress:
    case Refusal::BadHostName: return OkResult::RejectedConfiguration;
    case Refusal::None: break;
  }
  return OkResult::Written;
}

// Lines joined by CR LF, the last line also followed by CR LF.
std::wstring SummaryText(const MachineSettings& s, const std::vector<std::wstring>& notWritten) {
  const std::wstring rule(19, L'┄');
  std::vector<std::wstring> lines = {L"     网络信息设置如下 : 有错误吗？", rule};
  for (auto& line : SettingsLines(s)) lines.push_back(std::move(line));
  if (!notWritten.empty()) {
    lines.push_back(rule);
    lines.emplace_back(L"以下设置未能写入:");
    for (const auto& label : notWritten) lines.push_back(L"  " + label);
  }
  std::wstring text;
  for (const auto& line : lines) {
    text += line;
    text += L"\r\n";
  }
  return text;
}

void ShowSummary(Platform& platform, const MachineSettings& s, const std::vector<std::wstring>& notWritten) {
  platform.messages.Show(SummaryText(s, notWritten), std::wstring(L"网络设置信息"), MsgButtons::Ok,
                         notWritten.empty() ? MsgIcon::Information : MsgIcon::Exclamation);
}

}  // namespace

OkResult RunOkAction(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                     const std::wstring& shownCardText) {
  MachinePlan plan = PlanMachine(platform, inventory, typedText, shownCardText);
  RunRecord record = RecordOf(platform, RunMode::Window, plan, shownCardText);
  if (plan.refusal != Refusal::None) {
    const Notice notice = RefusalNotice(plan);
    record.outcome = L"拒绝: " + FirstLine(notice.text);
    AppendRunLog(platform, record);
    platform.messages.Show(notice.text, notice.title, MsgButtons::Ok, MsgIcon::Critical);
    return ResultOf(plan.refusal);
  }
  record.notWritten = WriteMachine(platform, plan);
  record.outcome = record.notWritten.empty() ? L"已写入" : L"已写入, 部分未写入";
  record.written = true;
  AppendRunLog(platform, record);
  ShowSummary(platform, plan.settings, record.notWritten);
  return OkResult::Written;
}

bool AskAndRestart(Platform& platform) {
  MsgAnswer answer = platform.messages.Show(L"重新启动计算机才能生效,现在就要重启吗?\r\n", std::wstring(kRestartTitle),
                                            MsgButtons::YesNo, MsgIcon::None);
  if (answer == MsgAnswer::No) return false;
  if (!ShutDown::RequestReboot(platform.restart)) {
    platform.messages.Show(L"重启请求失败,请手动重新启动计算机,新设置在重启后生效。", std::wstring(kRestartTitle),
                           MsgButtons::Ok, MsgIcon::Information);
  }
  return true;
}

}  // namespace vexa
