#include "app/unattended.h"

#include <algorithm>

#include "apply/apply_machine.h"
#include "apply/machine_lookup.h"
#include "apply/shut_down.h"
#include "common/text.h"

namespace vexa {

namespace {

constexpr std::wstring_view kRestartRefused = L"重启请求失败,请手动重新启动计算机,新设置在重启后生效。";

// What would be a message box goes to the console: nothing may wait for a click here.
class ConsoleMessages : public MessageBoxes {
 public:
  explicit ConsoleMessages(Platform& platform) : platform_(platform) {}
  MsgAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MsgButtons buttons,
                 MsgIcon) override {
    platform_.console.Write(
        platform_.text.ToAnsi(title.value_or(std::wstring(kApplicationTitle)) + L": " + text + L"\r\n"));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
  }

 private:
  Platform& platform_;
};

void Say(Platform& platform, const std::wstring& text) { platform.console.Write(platform.text.ToAnsi(text + L"\r\n")); }

// The card an unattended run is for, as the combo box would show it; empty text and a reason when none.
struct CardChoice {
  std::int32_t index = -1;
  std::wstring refusal;
};

CardChoice ChooseCard(Platform& platform, const CardInventory& inventory, const CommandLine& command) {
  const std::int32_t cards = inventory.LastCard + 1;
  if (!command.card) {
    if (cards == 1) return {0, L""};
    if (cards == 0) return {-1, L"本机没有网卡。"};
    return {-1, L"本机有 " + std::to_wstring(cards) + L" 块网卡,请用 /card 指定一块。"};
  }
  const std::wstring& wanted = *command.card;
  const bool position = !wanted.empty() && wanted.size() <= 3 &&
                        std::all_of(wanted.begin(), wanted.end(), [](wchar_t c) { return IsDigit(c); });
  if (position) {
    int n = 0;
    for (wchar_t c : wanted) n = n * 10 + (c - L'0');
    if (n >= 1 && n <= cards) return {n - 1, L""};
    return {-1, L"没有第 " + wanted + L" 块网卡(本机有 " + std::to_wstring(cards) + L" 块)。"};
  }
  for (std::int32_t index = 0; index < cards; ++index) {
    if (CutAtNul(CardDescription(platform, inventory, index)) == wanted) return {index, L""};
  }
  return {-1, L"没有描述为\"" + wanted + L"\"的网卡。"};
}

// The summary's values, as the window's box shows them, with the card first.
std::wstring Summary(const MachineSettings& s, const std::wstring& card) {
  std::vector<std::wstring> lines = {L"网卡      :  " + card};
  for (auto& line : SettingsLines(s)) lines.push_back(std::move(line));
  return JoinWith(lines, L"\r\n");
}

int Refuse(Platform& platform, RunRecord& record, const std::wstring& reason) {
  Say(platform, L"拒绝: " + reason);
  record.outcome = L"拒绝: " + FirstLine(reason);
  AppendRunLog(platform, record);
  return exit_code::kRefused;
}

// The number and card from the command line or the table; the run's end when neither gives them.
struct Target {
  std::wstring number;
  std::wstring card;
  std::wstring refusal;
};

Target FindTarget(Platform& platform, const CardInventory& inventory, const CommandLine& command) {
  if (command.mode == CommandLine::Mode::Number) {
    const CardChoice choice = ChooseCard(platform, inventory, command);
    if (choice.index < 0) return {command.number, L"", choice.refusal};
    return {command.number, CutAtNul(CardDescription(platform, inventory, choice.index)), L""};
  }
  const IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
  const MachineLookup lookup = LookUpMachine(platform, inventory, config.ReadPath());
  if (lookup.result != MachineLookup::Result::Found) return {L"", L"", LookupRefusal(lookup)};
  return {lookup.numberText, CutAtNul(CardDescription(platform, inventory, lookup.cardIndex)), L""};
}

int Apply(Platform& platform, const CardInventory& inventory, const CommandLine& command, const Target& target) {
  const RunMode mode = command.mode == CommandLine::Mode::Auto ? RunMode::Auto : RunMode::Number;
  MachinePlan plan = PlanMachine(platform, inventory, target.number, target.card);
  RunRecord record = RecordOf(platform, mode, plan, target.card);
  if (plan.refusal != Refusal::None) {
    const Notice notice = RefusalNotice(plan);
    return Refuse(platform, record, notice.title + L": " + notice.text);
  }
  record.written = true;
  if (AlreadyInPlace(platform, plan)) {
    Say(platform, L"本机已是这些设置,没有写入,也不重启:\r\n" + Summary(plan.settings, target.card));
    record.outcome = L"已是这些设置";
    AppendRunLog(platform, record);
    return exit_code::kDone;
  }
  record.notWritten = WriteMachine(platform, plan);
  Say(platform, L"已写入:\r\n" + Summary(plan.settings, target.card));
  std::wstring outcome = record.notWritten.empty() ? L"已写入" : L"已写入, 部分未写入";
  int code = record.notWritten.empty() ? exit_code::kDone : exit_code::kNotAllWritten;
  if (!record.notWritten.empty()) Say(platform, L"以下设置未能写入: " + JoinWith(record.notWritten, L", "));
  if (!command.noReboot) {
    // Asked before the line is logged: the request returns at once, and the log tells whether it was taken.
    if (ShutDown::RequestReboot(platform.restart)) {
      Say(platform, L"正在重新启动计算机。");
      outcome += L", 已请求重启";
    } else {
      Say(platform, std::wstring(kRestartRefused));
      outcome += L", 重启请求失败";
      code = exit_code::kRestartRefused;
    }
  }
  record.outcome = outcome;
  AppendRunLog(platform, record);
  return code;
}

}  // namespace

int RunUnattended(Platform& real, const CommandLine& command) {
  const bool console = real.console.Attach();
  if (command.mode == CommandLine::Mode::Usage) {
    if (console) {
      Say(real, UsageText());
    } else {
      real.messages.Show(UsageText(), std::wstring(kApplicationTitle), MsgButtons::Ok, MsgIcon::Information);
    }
    return exit_code::kDone;
  }
  if (command.mode == CommandLine::Mode::Bad) {
    Say(real, L"命令行参数错误: " + command.error + L"\r\n\r\n" + UsageText());
    return exit_code::kBadArguments;
  }
  ConsoleMessages messages(real);
  Platform unattended{real.registry, real.profile, messages,      real.restart, real.system,
                      real.text,     real.files,   real.adapters, real.console};
  CardInventory inventory;
  EnumNetworkCards(unattended, inventory);  // the key closes at once: nothing is listed
  const Target target = FindTarget(unattended, inventory, command);
  if (!target.refusal.empty()) {
    RunRecord record;
    record.mode = command.mode == CommandLine::Mode::Auto ? RunMode::Auto : RunMode::Number;
    record.number = target.number;
    return Refuse(unattended, record, target.refusal);
  }
  return Apply(unattended, inventory, command, target);
}

}  // namespace vexa
