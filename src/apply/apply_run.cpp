#include "apply/apply_run.h"

#include <algorithm>
#include <optional>

#include "apply/log_turn.h"
#include "apply/machine_identity.h"
#include "apply/outcome_texts.h"
#include "apply/saved_state.h"
#include "apply/shut_down.h"
#include "common/mac_address.h"
#include "common/text.h"
#include "config/machine_table.h"
#include "log/number_claims.h"
#include "log/unset_machines.h"
#include "registry/locations.h"
#include "registry/machine_guid.h"

namespace vexa {

namespace {

// The card's hardware address as GetAdaptersAddresses reports it; "" when unknown.
std::wstring AddressOf(Platform& platform, const std::wstring& serviceName) {
  if (serviceName.empty()) return L"";
  const auto adapters = platform.adapters.GetAdaptersAddresses(AdapterDetail::Hardware);
  if (!adapters) return L"";
  const auto address = AdapterAddressOf(platform.text, *adapters, serviceName);
  return address ? FormatMac(*address) : L"";
}

// The string value as stored, up to its NUL; nothing when it cannot be read.
std::optional<std::wstring> ReadName(Platform& platform, std::wstring_view path, std::wstring_view valueName) {
  const Reg::RegRead read = Reg::ReadRegData(platform, std::wstring(path), valueName);
  if (!read.value || (read.value->type != kRegSz && read.value->type != kRegExpandSz)) return std::nullopt;
  const std::string& bytes = read.value->bytes;
  return platform.text.FromAnsi(std::string_view(bytes).substr(0, bytes.find('\0')));
}

Outcome OutcomeOf(Platform& platform, const Target& target, const MachinePlan& plan) {
  Outcome out;
  out.refusal = plan.refusal;
  out.notice = plan.notice;
  out.settings = plan.settings;
  if (out.settings.NumberText.empty()) out.settings.NumberText = target.number.NumberText;
  out.card = plan.card;
  out.address = AddressOf(platform, plan.serviceName);
  out.kind = plan.refusal == Refusal::None ? Outcome::Kind::Written : Outcome::Kind::Refused;
  // A run that found no machine to be (no card [Machines] names) names the machine by the name it runs
  // under: the log's only word on which machine failed to set itself.
  if (out.kind == Outcome::Kind::Refused && target.cardIndex < 0 && out.settings.HostName.empty()) {
    out.settings.HostName =
        ReadName(platform, locations::kActiveComputerName, locations::kComputerNameValue).value_or(L"");
  }
  return out;
}

// Whether Windows runs under hostName: both names it keeps until the next restart say so. A name that
// cannot be read is not known to differ.
bool NameActive(Platform& platform, const std::wstring& hostName, std::wstring& activeName) {
  bool active = true;
  const std::pair<std::wstring_view, std::wstring_view> names[] = {
      {locations::kActiveComputerName, locations::kComputerNameValue},
      {locations::kRunningTcpip, locations::kHostname},
  };
  for (const auto& [path, value] : names) {
    const std::optional<std::wstring> name = ReadName(platform, path, value);
    if (!name || SameName(*name, hostName)) continue;
    if (active) activeName = *name;
    active = false;
  }
  return active;
}

// The registry holds the plan but Windows still runs under the old name: a restart never happened, or
// Windows did not take the name. One retry at most, none when the machine restarted since the request,
// and none when the log cannot tell whether one was asked already: a restart too few is mended by a
// person, a loop is not.
void FollowPendingRename(RunContext& run, LineLog& log, Outcome& out) {
  Platform& platform = run.platform;
  out.renamePending = !NameActive(platform, out.settings.HostName, out.activeName);
  if (!out.renamePending || !run.options.restart) {
    LogAndRestart(run, log, false, false, out);
    return;
  }
  const LogText& runLog = log.held->Read();
  const RestartRequests requests = FindRestartRequests(runLog, out.settings.HostName);
  const std::int64_t boot =
      SecondsOf(platform.system.Now()) - static_cast<std::int64_t>(platform.system.MillisecondsSinceBoot() / 1000);
  if (!runLog.Whole() || requests.untrusted > 0) {
    out.restart = RestartState::Unknown;
    out.unreadLog = runLog.unreadable;
    if (requests.untrusted > 0)
      out.unreadLog.push_back(UntrustedRequestsText(RunLogPath(platform, log.place), requests.untrusted));
  } else if (requests.last && SecondsOf(*requests.last) < boot) {
    out.restart = RestartState::NotTaken;
  } else if (requests.retries > 0) {
    out.restart = RestartState::AskedTwice;
  }
  const bool ask = out.restart == RestartState::NotAsked;
  LogAndRestart(run, log, ask, true, out);
}

// A doubt is overruled by /force, or in the window by the operator's Yes; otherwise nothing is written.
bool Confirmed(Confirmer& confirmer, const Notice& doubt, Outcome& out) {
  const bool person = confirmer.AsksAPerson();
  const std::wstring reason = FirstLine(doubt.text);
  if (confirmer.Overrule(doubt)) {
    if (!out.overruled.empty()) out.overruled += L"; ";
    out.overruled += (person ? L"经操作员确认: " : L"/force: ") + reason;
    return true;
  }
  out.kind = Outcome::Kind::Refused;
  out.refusal = Refusal::Unconfirmed;
  out.notice = {doubt.title, person ? reason : doubt.text + L"\r\n" + std::wstring(kForceHint)};
  return false;
}

// Another card holds the number as the shared log shows it, or the log cannot tell (unknown is never
// free); nothing when neither, or when this card's address is unknown. Running again on the same card
// (after a re-clone) is never a conflict.
std::optional<Notice> NumberNotFree(HeldLog& held, const Outcome& out) {
  if (out.address.empty()) return std::nullopt;
  const LogText& log = held.Read();
  if (!log.Whole()) {
    return Notice{std::wstring(kConfirmTitle), NumberUnknownText(out.settings.MachineNumber, log.unreadable)};
  }
  const NumberClaim claim = ClaimOn(log, out.settings.MachineNumber, out.address);
  if (claim.holder)
    return Notice{std::wstring(kConfirmTitle), NumberHeldText(out.settings.MachineNumber, *claim.holder)};
  if (claim.untrusted) {
    return Notice{std::wstring(kConfirmTitle), NumberUntrustedText(out.settings.MachineNumber, *claim.untrusted)};
  }
  return std::nullopt;
}

CheckOutcome::Address AddressState(Platform& platform, const MachinePlan& plan, std::vector<std::wstring>& live) {
  const auto adapters = platform.adapters.GetAdaptersAddresses(AdapterDetail::Ipv4);
  if (!adapters) return CheckOutcome::Address::Unknown;
  const std::string wanted = platform.text.ToAnsi(plan.settings.IpAddress);
  const std::string service = platform.text.ToAnsi(CutAtNul(plan.serviceName));
  for (const AdapterAddress& adapter : *adapters) {
    if (!SameName(platform.text.FromAnsi(adapter.name), platform.text.FromAnsi(service))) continue;
    for (const UnicastAddress& a : adapter.ipv4) live.push_back(platform.text.FromAnsi(a.address));
    if (!adapter.up) return CheckOutcome::Address::NotConnected;
    for (const UnicastAddress& a : adapter.ipv4) {
      if (a.address != wanted) continue;
      if (a.dad == UnicastAddress::Dad::Duplicate) return CheckOutcome::Address::Conflict;
      if (a.dad == UnicastAddress::Dad::Preferred) return CheckOutcome::Address::Live;
    }
    return CheckOutcome::Address::Missing;
  }
  return CheckOutcome::Address::Unknown;
}

// The doubts a person or /force must overrule before this run writes, as the log held now shows them:
// Windows' own (not when the values are in place already), and a number the log gives another card; those
// confirmed already are not asked again.
std::vector<Notice> DoubtsOf(const MachinePlan& plan, bool writes, HeldLog& log, const RunOptions& options,
                             const std::vector<std::wstring>& confirmed, Outcome& out) {
  std::vector<Notice> doubts;
  if (plan.doubt && writes) doubts.push_back(*plan.doubt);
  if (plan.cardDoubt) doubts.push_back(*plan.cardDoubt);
  if (std::optional<Notice> held = NumberNotFree(log, out)) {
    // /auto follows [Machines], which refuses a number given twice: the log only gets a word.
    if (!options.typedNumber) {
      out.note = held->text;
    } else {
      doubts.push_back(*held);
    }
  }
  std::erase_if(doubts, [&confirmed](const Notice& doubt) {
    return std::find(confirmed.begin(), confirmed.end(), doubt.text) != confirmed.end();
  });
  return doubts;
}

// What the machine holds now is kept for /undo before anything changes; a machine whose earlier values
// cannot be kept is not changed. Then the write (a new MachineGuid first, when the twin rule gives one; in
// place, only that), its line and the restart.
void SaveAndWrite(RunContext& run, const MachinePlan& plan, const std::optional<GuidRenewalReason>& renewal,
                  LineLog& log, Outcome& out) {
  Platform& platform = run.platform;
  const bool inPlace = out.kind == Outcome::Kind::InPlace;
  std::vector<WriteRow> rows;
  if (renewal) {
    out.guidRenewal = GuidRenewalText(*renewal);
    if (const std::wstring guid = NewMachineGuid(platform); !guid.empty()) {
      rows.push_back(MachineGuidRow(platform.text, guid));
    } else {
      out.report.notWritten.emplace_back(kMachineGuidLabel);  // no random bytes: none is made up
    }
  }
  if (!inPlace) rows.insert(rows.end(), plan.rows.begin(), plan.rows.end());
  const SaveResult saved = SaveBefore(platform, rows, plan.serviceName);
  if (!saved.failed.empty()) {
    out.kind = Outcome::Kind::Refused;
    out.refusal = Refusal::NotSaved;
    out.notice = {std::wstring(kApplicationTitle), saved.failed};
    Log(run, log, out);
    return;
  }
  WriteReport report = WriteMachine(platform, rows, saved.unsaved);
  report.notWritten.insert(report.notWritten.begin(), out.report.notWritten.begin(), out.report.notWritten.end());
  out.report = std::move(report);
  if (renewal) log.held->MachineGuidChanged();  // the line names the machine as it is now
  if (inPlace) {
    FollowPendingRename(run, log, out);
    return;
  }
  LogAndRestart(run, log, run.options.restart, false, out);
}

// A player's profile whose hive could not be mounted gets no game key: its row leaves the plan (nothing of
// it is read, saved or compared) and counts as not written, with why.
void LeaveOutUnmounted(const MountedHives& hives, MachinePlan& plan, Outcome& out) {
  for (const MountedHives::Failure& failure : hives.failed()) {
    std::erase_if(plan.rows, [&failure](const WriteRow& row) { return InHive(row.path, failure.profile.hiveKey); });
    out.report.notWritten.push_back(GameKeyLabel(failure.profile.name) + L" (" + failure.why + L")");
  }
}

}  // namespace

Outcome ApplyMachine(RunContext& run, const Target& target, Confirmer& confirmer) {
  Platform& platform = run.platform;
  MachinePlan plan = PlanMachine(run, target);
  Outcome out = OutcomeOf(platform, target, plan);
  LineLog log{run.logPlace, std::nullopt, LogFolderProblem(run.logPlace)};
  if (out.kind == Outcome::Kind::Refused) {
    LogRefusal(run, log, out);
    return out;
  }
  const MountedHives hives(platform, plan.players);
  LeaveOutUnmounted(hives, plan, out);
  // A profile left without its key does not count: writing again would only restart the machine again.
  const bool inPlace = run.options.skipInPlace && InPlace(platform, plan.rows);
  std::vector<std::wstring> confirmed;  // the doubts overruled so far
  for (;;) {
    // From the reading of the log to the run's own line under its lock: of runs at once that want one
    // number, the first writes and the others find its line.
    const Turn turn = TakeTurn(run, log, confirmer, out);
    if (turn == Turn::Again) continue;
    if (turn == Turn::Refused) return out;
    const std::vector<Notice> doubts = DoubtsOf(plan, !inPlace, *log.held, run.options, confirmed, out);
    if (!doubts.empty()) {
      // Answered without the lock the whole cafe shares (a person may take minutes over a question); the log
      // is read again after the answers, and what it says then is asked anew.
      log.held->Release();
      for (const Notice& doubt : doubts) {
        if (!Confirmed(confirmer, doubt, out)) {
          LogRefusal(run, log, out);
          return out;
        }
        confirmed.push_back(doubt.text);
      }
      continue;
    }
    std::optional<GuidRenewalReason> renewal = GuidRenewalOf(run, *log.held, out.settings.MachineNumber);
    if (renewal && renewal->renewedBefore) {
      out.twinIgnored = GuidRenewalText(*renewal);
      renewal.reset();
    }
    if (inPlace) out.kind = Outcome::Kind::InPlace;
    if (inPlace && !renewal) {
      FollowPendingRename(run, log, out);
    } else {
      SaveAndWrite(run, plan, renewal, log, out);
    }
    return out;
  }
}

namespace {

// This machine's start-up that could not set it, as the log shows it (UnsetMachines); "" when none.
std::wstring UnsetOfThisMachine(HeldLog& held) {
  const std::wstring& print = held.Machine().machineGuid;
  if (print.empty() || !held.Held()) return L"";
  const RunLog lines = held.Read().Select({});
  for (const LogEntry* entry : UnsetMachines(lines)) {
    if (entry->record.machineGuid == print) return UnsetMachineText(*entry);
  }
  return L"";
}

}  // namespace

CheckOutcome CheckMachine(RunContext& run, const Target& target) {
  Platform& platform = run.platform;
  CheckOutcome check;
  const MachinePlan plan = PlanMachine(run, target);
  check.plan = OutcomeOf(platform, target, plan);
  if (check.plan.kind != Outcome::Kind::Refused) {
    check.registryHolds = InPlace(platform, plan.rows);
    check.plan.kind = check.registryHolds ? Outcome::Kind::InPlace : Outcome::Kind::Written;
    check.nameActive = NameActive(platform, plan.settings.HostName, check.plan.activeName);
    if (check.nameActive) check.plan.activeName = plan.settings.HostName;
    check.address = AddressState(platform, plan, check.liveAddresses);
    check.preview = Preview(platform, plan.rows);
  }
  RunRecord record = RecordOf(RunMode::Check, check.plan, LogOutcome(check));
  record.inPlace = false;  // a check writes nothing: its line adds no [Machines] entry
  record.exitCode = ExitCodeOf(check);
  LineLog log{run.logPlace, std::nullopt, LogFolderProblem(run.logPlace)};
  Take(run, log, run.logPlace);
  check.sidShared = SeatsSharingThisSid(run, *log.held);
  check.unset = UnsetOfThisMachine(*log.held);
  if (check.plan.kind != Outcome::Kind::Refused && log.held->Held()) {
    const auto renewal = GuidRenewalOf(run, *log.held, check.plan.settings.MachineNumber);
    if (renewal && !renewal->renewedBefore) check.guidRenewal = GuidRenewalText(*renewal);
  }
  Append(run, log, record, check.plan);
  return check;
}

namespace {

// The service names of the cards the machine has now.
std::vector<std::wstring> PresentCards(Platform& platform, const CardInventory& inventory) {
  std::vector<std::wstring> cards;
  for (std::int32_t i = 0; i <= inventory.LastCard; ++i) {
    if (const std::optional<std::wstring> service = CardServiceName(platform, inventory, i))
      cards.push_back(CutAtNul(*service));
  }
  return cards;
}

// One card of an undo as its line and the console name it: its description and hardware address (the
// service name alone for a card that left the machine), the number its last vouching line held, and the
// address put back.
UndoneCard UndoneOf(Platform& platform, const CardInventory& inventory, const SavedState& saved,
                    const CardRestore& restore, HeldLog& log) {
  UndoneCard card{restore.card, L"", L"", L"", restore.restored, restore.notRestored, restore.keyGone, restore.gone};
  for (std::int32_t i = 0; i <= inventory.LastCard && !restore.gone; ++i) {
    if (!SameName(CutAtNul(CardServiceName(platform, inventory, i).value_or(L"")), restore.card)) continue;
    card.card = CutAtNul(CardDescription(platform, inventory, i));
    card.address = AddressOf(platform, restore.card);
  }
  // The number the card held as the log says it: its line, which ends that claim, names it.
  if (!card.address.empty()) card.number = NumberOfCard(log.Read(), card.address).value_or(L"");
  for (const SavedValue& value : saved.values) {
    if (SameName(value.card, restore.card) && SameName(value.name, locations::kIpAddress) &&
        value.was == SavedValue::Was::Value) {
      card.ipAddress = ValueText(platform.text, value.data);
    }
  }
  return card;
}

// The [Machines] line of an undone card that the start-up task's /auto would write again; "" when none.
std::wstring ListedLine(const IniFile::Venue& venue, const std::vector<UndoneCard>& cards) {
  for (const IniFile::MachineEntry& entry : IniFile::ReadMachineTable(venue.file).entries) {
    const std::wstring address = FormatMac(entry.address);
    for (const UndoneCard& card : cards) {
      if (card.address == address) return address + L"=" + entry.numberText;
    }
  }
  return L"";
}

// The values put back, card by card, into the outcome: the host name put back, what each card got back and
// what did not come back.
void Undone(RunContext& run, const SavedState& saved, HeldLog& log, Outcome& out) {
  Platform& platform = run.platform;
  const RestoreReport restored = RestoreSaved(platform, saved, PresentCards(platform, run.inventory));
  out.kind = Outcome::Kind::Undone;
  for (const CardRestore& restore : restored.cards) {
    out.undone.push_back(UndoneOf(platform, run.inventory, saved, restore, log));
    for (const std::wstring& label : restore.notRestored) out.report.notWritten.push_back(label);
  }
  out.report.networkWritten = out.report.notWritten.empty();
  for (const SavedValue& value : saved.values) {
    if (value.was == SavedValue::Was::Value && SameName(value.name, locations::kComputerNameValue))
      out.settings.HostName = ValueText(platform.text, value.data);
  }
  if (!out.undone.empty()) out.settings.IpAddress = out.undone.front().ipAddress;
  if (const std::wstring line = ListedLine(run.venue, out.undone); !line.empty()) out.note = ListedAgainText(line);
}

}  // namespace

Outcome UndoMachine(RunContext& run, Confirmer& confirmer) {
  Platform& platform = run.platform;
  Outcome out;
  LineLog log;
  for (;;) {
    const Turn turn = TakeTurn(run, log, confirmer, out);
    if (turn == Turn::Again) continue;
    if (turn == Turn::Refused) return out;
    const SavedState saved = ReadSavedState(platform);
    if (saved.found != SavedState::Found::Complete) {
      out.refusal = saved.found == SavedState::Found::None ? Refusal::NothingSaved : Refusal::NotSaved;
      out.notice = {L"",
                    saved.found == SavedState::Found::None ? std::wstring(kNothingToUndo) : UnusableStateText(saved)};
      Log(run, log, out);
      return out;
    }
    Undone(run, saved, *log.held, out);
    log.held->MachineGuidChanged();  // the image's may be back
    // As after a write: a host name that changes takes a restart.
    const bool renamed = !out.settings.HostName.empty() && !NameActive(platform, out.settings.HostName, out.activeName);
    LogAndRestart(run, log, run.options.restart && renamed, false, out);
    return out;
  }
}

}  // namespace vexa
