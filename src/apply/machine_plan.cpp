#include "apply/machine_plan.h"

#include "common/mac_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "registry/control_set.h"
#include "shared_folder/shared_folder.h"

namespace vexa {

namespace {

constexpr std::wstring_view kHintTitle = L"Quorlis Vexa IP自动修改 提示！";
constexpr std::wstring_view kNoCardText = L"你没有选择网卡！请在下面的网卡列表中选择！";

// What is wrong with config.ini for a run that must not fall back on the defaults; nothing when it is fine.
std::optional<std::wstring> ConfigProblem(Platform& platform, const IniFile::ConfigFile& config,
                                          const MachinePlan& plan) {
  std::wstring problem;
  switch (config.State()) {
    case IniFile::ConfigState::Missing: problem = L"找不到配置文件 " + plan.configPath + L"。"; break;
    case IniFile::ConfigState::Unreadable:
      problem = L"无法读取配置文件 " + plan.configPath + L": " + ReadFailureText(config.Unreadable()) + L"。";
      break;
    case IniFile::ConfigState::Empty: problem = L"配置文件 " + plan.configPath + L" 是空的。"; break;
    case IniFile::ConfigState::Readable:
      if (!IniFile::ReadIniKeys(platform, config.ReadPath(), IniFile::kNetWork).empty()) return std::nullopt;
      problem = L"配置文件 " + plan.configPath + L" 中没有 [NetWork] 节。";
      break;
  }
  // Notepad with hidden extensions saves "config.ini" as config.ini.txt.
  for (const wchar_t* extra : {L".txt", L".ini"}) {
    if (platform.files.FileSize(platform.text.ToAnsi(plan.configPath + extra).c_str())) {
      problem +=
          L"\r\n同一文件夹里有 config.ini" + std::wstring(extra) + L":保存时多了扩展名,请把它改名为 config.ini。";
    }
  }
  return problem;
}

void Refuse(MachinePlan& plan, Refusal refusal, Notice notice) {
  plan.refusal = refusal;
  plan.notice = std::move(notice);
}

// A number a person gave that [Machines] gives to another card of this machine: the wrong card picked, or a
// table out of date. A doubt naming both cards.
std::optional<Notice> OtherCardListed(const RunContext& run, const Target& target, int number) {
  const std::vector<std::optional<MacAddress>> addresses = CardAddresses(run.platform, run.inventory);
  const auto named = [&](std::size_t i) {
    const std::wstring address = addresses[i] ? FormatMac(*addresses[i]) : L"地址未知";
    return L"第 " + IntText(i + 1) + L" 块 " +
           CutAtNul(CardDescription(run.platform, run.inventory, static_cast<std::int32_t>(i))) + L"(" + address + L")";
  };
  for (const IniFile::MachineEntry& entry : IniFile::ReadMachineTable(run.venue.file).entries) {
    if (MachineNumberOf(entry.numberText, kLastZonedMachine) != number) continue;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      if (static_cast<std::int32_t>(i) == target.cardIndex || addresses[i] != entry.address) continue;
      return Notice{std::wstring(kConfirmTitle), L"config.ini 的 [Machines] 把机号 " + IntText(number) +
                                                     L" 给了本机的另一块网卡: " + named(i) + L";要写入的是" +
                                                     named(static_cast<std::size_t>(target.cardIndex)) + L"。"};
    }
  }
  return std::nullopt;
}

}  // namespace

Notice NoCardNotice() { return {std::wstring(kHintTitle), std::wstring(kNoCardText)}; }

MachinePlan PlanMachine(const RunContext& run, const Target& target) {
  Platform& platform = run.platform;
  const IniFile::Zones& zones = run.venue.zones;
  MachinePlan plan;
  plan.configPath = IniFile::ConfigPath(platform);
  if (target.refusal) {
    Refuse(plan, Refusal::NoTarget, *target.refusal);
    return plan;
  }
  const bool card = target.cardIndex >= 0 && target.cardIndex <= run.inventory.LastCard;
  if (card) plan.card = CutAtNul(CardDescription(platform, run.inventory, target.cardIndex));
  const MachineInput& input = target.number;
  plan.settings.NumberText = input.NumberText;
  if (input.verdict == Refusal::Empty) {
    Refuse(plan, Refusal::Empty, InputRejection(input.verdict));
    return plan;
  }
  if (!run.venue.Ok()) {
    Refuse(plan, Refusal::BadConfig, ConfigRejection(run.venue.problem, plan.configPath));
    return plan;
  }
  if (input.verdict != Refusal::None) {
    Refuse(plan, Refusal::OutOfRange, InputRejection(input.verdict, zones));
    return plan;
  }
  // Without a card the interface paths would name no key: refuse before anything is read or written.
  if (!card) {
    Refuse(plan, Refusal::NoCard, NoCardNotice());
    return plan;
  }
  // A service name that cannot be read names no interface key: those rows are not written, and said.
  plan.serviceName = CardServiceName(platform, run.inventory, target.cardIndex).value_or(L"");
  plan.controlSet = BootControlSet(platform);
  if (run.options.requireConfig) {
    if (auto problem = ConfigProblem(platform, run.venue.file, plan)) {
      Refuse(plan, Refusal::NoConfig, {std::wstring(kConfigErrorTitle), *problem});
      return plan;
    }
  }
  const IniFile::Zone* zone = zones.Holding(input.MachineNumber);
  plan.zone = zone != nullptr ? zone->name : L"";
  plan.settings = DeriveSettings(input, *zones.PlanOf(input.MachineNumber));
  DeriveGameKey(platform, plan.settings, run.venue.file.ReadPath());
  const Refusal verdict = CheckSettings(platform.text, plan.settings);
  if (verdict != Refusal::None) {
    Refuse(plan, verdict, SettingsRejection(platform.text, verdict, plan.settings, plan.configPath));
    return plan;
  }
  plan.doubt = SettingsDoubt(plan.settings);
  if (run.options.typedNumber) plan.cardDoubt = OtherCardListed(run, target, input.MachineNumber);
  if (run.options.everyPlayer) plan.players = UserProfiles(platform);
  plan.rows = WriteRows(platform.text, plan.settings, plan.serviceName, plan.controlSet, plan.players);
  return plan;
}

}  // namespace vexa
