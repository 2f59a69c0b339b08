#include "apply/apply_machine.h"

#include "registry/control_set.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

namespace {

constexpr std::wstring_view kHintTitle = L"Quorlis Vexa IP自动修改 提示！";
constexpr std::wstring_view kNoCardText = L"你没有选择网卡！请在下面的网卡列表中选择！";

enum class Kind { Dword, MultiSz, Sz };

// One registry value the action writes, in write order.
struct WriteRow {
  Kind kind;
  std::wstring path;
  std::wstring_view valueName;
  std::wstring_view label;  // named in the summary when the write fails
  std::int32_t number = 0;
  std::wstring text;
};

std::vector<WriteRow> NetworkRows(const MachineSettings& s, const std::wstring& serviceName, const std::wstring& set) {
  using namespace locations;
  const std::wstring card = TcpipInterface(set, serviceName);
  const std::wstring end(2, L'\0');  // one-element multi-string: the address, its NUL, the list's NUL
  return {
      {Kind::Dword, IpxParameters(set), kVirtualNetworkNumber, L"IPX 网络号", s.MachineNumber, L""},
      {Kind::Dword, card, kEnableDhcp, L"DHCP 开关", 0, L""},
      {Kind::MultiSz, card, kIpAddress, L"IP 地址", 0, s.IpAddress + end},
      {Kind::MultiSz, card, kSubnetMask, L"子网掩码", 0, s.SubnetMask + end},
      {Kind::MultiSz, card, kDefaultGateway, L"默认网关", 0, s.DefaultGateway + end},
      {Kind::Sz, card, kNameServer, L"DNS 信息", 0, s.DnsServers},
      {Kind::Sz, TcpipParameters(set), kNvHostname, L"计算机名 (NV Hostname)", 0, s.HostName},
      {Kind::Sz, std::wstring(kComputerName), kComputerNameValue, L"计算机名 (ComputerName)", 0, s.HostName},
  };
}

WriteRow GameKeyRow(const MachineSettings& s) {
  return {Kind::Sz, std::wstring(locations::kGameSettings), locations::kGameKeyValue, L"CS 序列号", 0, s.GameKey};
}

bool Write(Platform& platform, const WriteRow& row) {
  switch (row.kind) {
    case Kind::Dword: return Reg::WriteRegDword(platform, row.path, row.valueName, row.number);
    case Kind::MultiSz: return Reg::WriteRegMultiSz(platform, row.path, row.valueName, row.text);
    case Kind::Sz: return Reg::WriteRegSz(platform, row.path, row.valueName, row.text);
  }
  return false;
}

}  // namespace

Notice NoCardNotice() { return {std::wstring(kHintTitle), std::wstring(kNoCardText)}; }

MachinePlan PlanMachine(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                        const std::wstring& shownCardText) {
  MachinePlan plan;
  const MachineInput input = ValidateInput(typedText);
  if (input.verdict != InputVerdict::Accepted) {
    plan.refusal = input.verdict == InputVerdict::Empty ? Refusal::Empty : Refusal::OutOfRange;
    plan.settings.NumberText = input.NumberText;
    return plan;
  }
  // Without a card the interface paths would name no key: refuse before anything is read or written.
  plan.serviceName = FindCardServiceName(platform, inventory, shownCardText);
  if (plan.serviceName.empty()) {
    plan.refusal = Refusal::NoCard;
    return plan;
  }
  plan.controlSet = BootControlSet(platform);
  plan.config = IniFile::ConfigFile::Open(platform);
  plan.settings = DeriveSettings(platform, input, plan.config.ReadPath());
  switch (CheckSettings(platform.text, plan.settings)) {
    case SettingsVerdict::Valid: break;
    case SettingsVerdict::BadIpAddress: plan.refusal = Refusal::BadIpAddress; break;
    case SettingsVerdict::BadHostName: plan.refusal = Refusal::BadHostName; break;
  }
  return plan;
}

Notice RefusalNotice(const MachinePlan& plan) {
  switch (plan.refusal) {
    case Refusal::Empty: return InputRejection(InputVerdict::Empty);
    case Refusal::OutOfRange: return InputRejection(InputVerdict::OutOfRange);
    case Refusal::NoCard: return NoCardNotice();
    case Refusal::BadIpAddress: return SettingsRejection(SettingsVerdict::BadIpAddress, plan.settings);
    case Refusal::BadHostName: return SettingsRejection(SettingsVerdict::BadHostName, plan.settings);
    case Refusal::None: break;
  }
  return {};
}

std::vector<std::wstring> WriteMachine(Platform& platform, MachinePlan& plan) {
  std::vector<std::wstring> notWritten;
  for (const WriteRow& row : NetworkRows(plan.settings, plan.serviceName, plan.controlSet)) {
    if (!Write(platform, row)) notWritten.emplace_back(row.label);
  }
  plan.settings.GameKey = DeriveGameKey(platform, plan.settings.MachineNumber, plan.config.ReadPath());
  const WriteRow gameKey = GameKeyRow(plan.settings);
  if (!Write(platform, gameKey)) notWritten.emplace_back(gameKey.label);
  return notWritten;
}

}  // namespace vexa
