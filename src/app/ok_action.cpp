#include "app/ok_action.h"

#include "app/outcome_report.h"
#include "apply/apply_run.h"
#include "apply/outcome_texts.h"
#include "apply/shut_down.h"

namespace vexa {

namespace {

constexpr std::wstring_view kRestartTitle = L"全部设置完毕 需要重启计算机！";

// The window's questions, each in a box while nothing is held.
class WindowConfirmer : public Confirmer {
 public:
  explicit WindowConfirmer(MessageBoxes& boxes) : boxes_(boxes) {}
  bool AsksAPerson() const override { return true; }
  bool Overrule(const Notice& doubt) override {
    return boxes_.Show(doubt.text + L"\r\n" + std::wstring(kConfirmQuestion), doubt.title, MsgButtons::YesNo,
                       MsgIcon::Exclamation) == MsgAnswer::Yes;
  }
  bool WaitLonger(const std::wstring& question) override {
    return boxes_.Show(question, std::nullopt, MsgButtons::RetryCancel, MsgIcon::Exclamation) == MsgAnswer::Retry;
  }

 private:
  MessageBoxes& boxes_;
};

}  // namespace

Refusal RunOkAction(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                    const std::wstring& shownCardText) {
  RunContext run = OpenRun(platform, inventory, RunOptions{});  // one reading of config.ini a press
  const Target target{ValidateInput(typedText, run.venue.zones), FindCardIndex(platform, inventory, shownCardText),
                      std::nullopt, L""};
  WindowConfirmer confirmer(platform.messages);
  const Outcome out = ApplyMachine(run, target, confirmer);
  if (out.kind == Outcome::Kind::Refused) {
    // The operator's own No or Cancel to a question needs no box of its own.
    if (out.refusal != Refusal::Unconfirmed && out.refusal != Refusal::NoLogLock) {
      platform.messages.Show(out.notice.text, out.notice.title, MsgButtons::Ok, MsgIcon::Critical);
    }
    return out.refusal;
  }
  platform.messages.Show(SummaryText(out), std::wstring(L"网络设置信息"), MsgButtons::Ok,
                         out.report.notWritten.empty() ? MsgIcon::Information : MsgIcon::Exclamation);
  return Refusal::None;
}

bool AskAndRestart(Platform& platform) {
  MsgAnswer answer = platform.messages.Show(L"重新启动计算机才能生效,现在就要重启吗?\r\n", std::wstring(kRestartTitle),
                                            MsgButtons::YesNo, MsgIcon::None);
  if (answer == MsgAnswer::No) return false;
  if (!ShutDown::RequestReboot(platform.restart)) {
    platform.messages.Show(std::wstring(kRestartRefusedText), std::wstring(kRestartTitle), MsgButtons::Ok,
                           MsgIcon::Information);
  }
  return true;
}

}  // namespace vexa
