#include "app/unattended.h"

#include <algorithm>

#include "app/card_list.h"
#include "app/outcome_report.h"
#include "apply/apply_run.h"
#include "apply/machine_lookup.h"
#include "cafe/cafe_commands.h"
#include "cafe/wake.h"
#include "common/exit_codes.h"
#include "common/mac_address.h"
#include "common/text.h"
#include "config/venue.h"
#include "startup/startup_service.h"

namespace vexa {

namespace {

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

// A run without a window asks nobody: /force overrules a doubt; a busy log is no doubt, and the run has
// already waited its turn.
class ConsoleConfirmer : public Confirmer {
 public:
  explicit ConsoleConfirmer(bool force) : force_(force) {}
  bool AsksAPerson() const override { return false; }
  bool Overrule(const Notice&) override { return force_; }
  bool WaitLonger(const std::wstring&) override { return false; }

 private:
  bool force_;
};

void Say(Platform& platform, const std::wstring& text) { platform.console.Write(platform.text.ToAnsi(text + L"\r\n")); }

Target Refused(MachineInput number, std::wstring reason) {
  return Target{std::move(number), -1, Notice{L"", std::move(reason)}, L""};
}

std::wstring Positions(const std::vector<std::int32_t>& indexes) {
  std::vector<std::wstring> texts;
  texts.reserve(indexes.size());
  for (std::int32_t index : indexes) texts.push_back(L"第 " + IntText(index + 1) + L" 块");
  return JoinWith(texts, L"、");
}

// The card /n is for: by position from 1, or by a description no other card has.
Target NumberTarget(Platform& platform, const CardInventory& inventory, const CommandLine& command,
                    const MachineInput& number) {
  const std::int32_t cards = inventory.LastCard + 1;
  if (!command.card) {
    if (cards == 1) return Target{number, 0, std::nullopt, L""};
    if (cards == 0) return Refused(number, L"本机没有网卡。");
    return Refused(number, L"本机有 " + IntText(cards) + L" 块网卡,请用 /card 指定一块。");
  }
  const std::wstring& wanted = *command.card;
  const bool position = !wanted.empty() && wanted.size() <= 3 &&
                        std::all_of(wanted.begin(), wanted.end(), [](wchar_t c) { return IsDigit(c); });
  if (position) {
    int n = 0;
    for (wchar_t c : wanted) n = n * 10 + (c - L'0');
    if (n >= 1 && n <= cards) return Target{number, n - 1, std::nullopt, L""};
    return Refused(number, L"没有第 " + wanted + L" 块网卡(本机有 " + IntText(cards) + L" 块)。");
  }
  // A hardware address: the surest way a script names a card.
  if (const std::optional<MacAddress> mac = ParseMac(wanted)) {
    const std::vector<std::optional<MacAddress>> addresses = CardAddresses(platform, inventory);
    std::vector<std::int32_t> same;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      if (addresses[i] == mac) same.push_back(static_cast<std::int32_t>(i));
    }
    if (same.size() == 1) return Target{number, same.front(), std::nullopt, L""};
    if (same.empty())
      return Refused(number, L"没有网卡地址为 " + FormatMac(*mac) + L" 的网卡(用 /cards 查看本机的网卡)。");
    // Two cards of one address (a bridge, a virtual card copying the real one's): which is meant is unknown.
    return Refused(number, L"网卡地址为 " + FormatMac(*mac) + L" 的网卡有 " + IntText(same.size()) + L" 块(" +
                               Positions(same) + L"),请用 /card 序号指定。");
  }
  const std::vector<std::int32_t> found = CardsDescribedAs(platform, inventory, wanted);
  if (found.size() == 1) return Target{number, found.front(), std::nullopt, L""};
  if (found.empty()) return Refused(number, L"没有描述为\"" + wanted + L"\"的网卡(用 /cards 查看本机的网卡)。");
  return Refused(number, L"描述为\"" + wanted + L"\"的网卡有 " + IntText(found.size()) + L" 块(" + Positions(found) +
                             L"),请用 /card 序号指定。");
}

// The machine a run is for: /n's number (checked once, against the run's zones) and card, or [Machines]'
// (the start-up run waits for its card; inventory is the run's, listed again meanwhile).
Target FindTarget(Platform& platform, const RunContext& run, CardInventory& inventory, const CommandLine& command,
                  const MachineInput& number, bool startup) {
  if (command.mode == CommandLine::Mode::Number) return NumberTarget(platform, run.inventory, command, number);
  const MachineLookup lookup =
      startup ? WaitForMachine(platform, inventory, run.venue) : LookUpMachine(platform, run.inventory, run.venue);
  if (lookup.result != MachineLookup::Result::Found) return Refused(MachineInput{}, LookupRefusal(lookup));
  return Target{lookup.number, lookup.cardIndex, std::nullopt, LookupNote(lookup)};
}

// What a run does, by its switches: the log's column, and that a number a person gave is guarded by the
// cafe's log.
RunOptions OptionsOf(const CommandLine& command) {
  RunOptions options;
  options.logWait = kLogQueueMilliseconds;
  options.restart = !command.noReboot;
  options.requireConfig = true;
  options.skipInPlace = true;
  options.typedNumber = command.mode == CommandLine::Mode::Number;
  options.mode = command.check                               ? RunMode::Check
                 : command.mode == CommandLine::Mode::Undo   ? RunMode::Undo
                 : command.mode == CommandLine::Mode::Number ? RunMode::Number
                                                             : RunMode::Auto;
  if (command.mode == CommandLine::Mode::Undo) options.requireConfig = options.skipInPlace = false;
  return options;
}

// /table, /report, /export and /wake: the cafe as the shared log and [Machines] show it; nothing for any
// other run.
std::optional<CafeOutput> CafeRun(Platform& platform, const CommandLine& command) {
  switch (command.mode) {
    case CommandLine::Mode::Table: return TableCommand(platform, IniFile::ReadVenue(platform));
    case CommandLine::Mode::Report: return ReportCommand(platform, IniFile::ReadVenue(platform));
    case CommandLine::Mode::Export:
      return ExportCommand(platform, IniFile::ReadVenue(platform), command.format, command.force);
    case CommandLine::Mode::Wake: {
      CafeOutput out = WakeCommand(platform, IniFile::ReadVenue(platform), command.wake);
      if (out.exitCode == exit_code::kBadArguments) out.text = BadArgumentsText(out.text);
      return out;
    }
    case CommandLine::Mode::Install: return InstallStartupService(platform, command.force);
    case CommandLine::Mode::Uninstall: return UninstallStartupService(platform);
    default: return std::nullopt;
  }
}

int MachineRun(Platform& real, const CommandLine& command, bool startup);

// What the start-up service runs: /auto once its card is there, with /force when /install was given it.
// Started by a person instead of the service control manager, it is a bad argument.
int ServiceRun(Platform& real, const CommandLine& command) {
  CommandLine automatic;
  automatic.mode = CommandLine::Mode::Auto;
  automatic.force = command.force;
  int exitCode = exit_code::kDone;
  if (real.services.RunAsService(kServiceName, [&] { return exitCode = MachineRun(real, automatic, true); })) {
    return exitCode;
  }
  Say(real, BadArgumentsText(L"/service 只由 Windows 的服务管理器启动;要装上开机服务请用 /install"));
  return exit_code::kBadArguments;
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
  if (command.mode == CommandLine::Mode::Service) return ServiceRun(real, command);
  if (const std::optional<CafeOutput> out = CafeRun(real, command)) {
    Say(real, out->text);
    return out->exitCode;
  }
  if (command.mode == CommandLine::Mode::Bad) {
    Say(real, BadArgumentsText(command.error));
    return exit_code::kBadArguments;
  }
  return MachineRun(real, command, false);
}

namespace {

// /cards, /n, /auto, /check and /undo: one machine's run (startup: the service's, which waits for its card).
int MachineRun(Platform& real, const CommandLine& command, bool startup) {
  ConsoleMessages messages(real);
  Platform unattended{real.registry, real.profile,  messages,     real.restart, real.system,  real.text,
                      real.files,    real.adapters, real.console, real.network, real.services};
  CardInventory inventory;
  EnumNetworkCards(unattended, inventory);  // the key closes at once: nothing is listed
  if (command.mode == CommandLine::Mode::Cards) {
    Say(unattended, CardList(unattended, inventory));
    return exit_code::kDone;
  }
  // One reading of config.ini and one plan for the whole run: the values never mix two versions of a file
  // being saved.
  RunOptions options = OptionsOf(command);
  options.everyPlayer = startup;  // SYSTEM's own key is no player's
  RunContext run = OpenRun(unattended, inventory, options);
  // /n's number, checked once: one config.ini does not allow is a bad argument, named with the numbers it
  // allows (a config.ini that cannot be used is the plan's to refuse).
  MachineInput number;
  if (command.mode == CommandLine::Mode::Number) {
    number = ReadMachineNumber(command.number, run.venue.zones);
    if (run.venue.Ok() && number.verdict != Refusal::None) {
      Say(unattended, BadArgumentsText(NumberArgumentError(command.number, run.venue.zones.RangeText())));
      return exit_code::kBadArguments;
    }
  }
  if (command.mode == CommandLine::Mode::Undo) {
    ConsoleConfirmer confirmer(false);
    const Outcome out = UndoMachine(run, confirmer);
    Say(unattended, ConsoleReport(out));
    return ExitCodeOf(out);
  }
  const Target target = FindTarget(unattended, run, inventory, command, number, startup);
  if (!target.note.empty()) Say(unattended, target.note);
  if (command.check) {
    const CheckOutcome check = CheckMachine(run, target);
    Say(unattended, ConsoleReport(check));
    return ExitCodeOf(check);
  }
  ConsoleConfirmer confirmer(command.force);
  const Outcome out = ApplyMachine(run, target, confirmer);
  Say(unattended, ConsoleReport(out));
  return ExitCodeOf(out);
}

}  // namespace

}  // namespace vexa
