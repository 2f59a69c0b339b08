#include "apply/apply_machine.h"

#include "registry/control_set.h"
#include "registry/locations.h"
#include "registry/reg.h"

namespace vexa {

namespace {

constexpr std::wstring_view kHintTitle = L"Quorlis Vexa IP自动修改 提示！";
constexpr std::wstring_view kNoCardText = L"你没有选择网卡！请在下面的网卡列表中选择！";

// One registry value the action writes, in write order.
struct WriteRow {
  std::wstring path;
  std::wstring_view valueName;
  std::wstring_view label;  // named in the summary when the write fails
  Reg::RegData data;
};

std::vector<WriteRow> NetworkRows(TextCodec& text, const MachineSettings& s, const std::wstring& serviceName,
                                  const std::wstring& set) {
  using namespace locations;
  using Reg::DwordData, Reg::MultiSzData, Reg::SzData;
  const std::wstring card = TcpipInterface(set, serviceName);
  const std::wstring end(2, L'\0');  // one-element multi-string: the address, its NUL, the list's NUL
  return {
      {IpxParameters(set), kVirtualNetworkNumber, L"IPX 网络号", DwordData(s.MachineNumber)},
      {card, kEnableDhcp, L"DHCP 开关", DwordData(0)},
      {card, kIpAddress, L"IP 地址", MultiSzData(text, s.IpAddress + end)},
      {card, kSubnetMask, L"子网掩码", MultiSzData(text, s.SubnetMask + end)},
      {card, kDefaultGateway, L"默认网关", MultiSzData(text, s.DefaultGateway + end)},
      {card, kNameServer, L"DNS 信息", SzData(text, s.DnsServers)},
      {TcpipParameters(set), kNvHostname, L"计算机名 (NV Hostname)", SzData(text, s.HostName)},
      {std::wstring(kComputerName), kComputerNameValue, L"计算机名 (ComputerName)", SzData(text, s.HostName)},
  };
}

WriteRow GameKeyRow(TextCodec& text, const MachineSettings& s) {
  return {std::wstring(locations::kGameSettings), locations::kGameKeyValue, L"CS 序列号", Reg::SzData(text, s.GameKey)};
}

bool Write(Platform& platform, const WriteRow& row) {
  return Reg::WriteRegData(platform, row.path, row.valueName, row.data);
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
  for (const WriteRow& row : NetworkRows(platform.text, plan.settings, plan.serviceName, plan.controlSet)) {
    if (!Write(platform, row)) notWritten.emplace_back(row.label);
  }
  plan.settings.GameKey = DeriveGameKey(platform, plan.settings.MachineNumber, plan.config.ReadPath());
  const WriteRow gameKey = GameKeyRow(platform.text, plan.settings);
  if (!Write(platform, gameKey)) notWritten.emplace_back(gameKey.label);
  return notWritten;
}

bool AlreadyInPlace(Platform& platform, MachinePlan& plan) {
  plan.settings.GameKey = DeriveGameKey(platform, plan.settings.MachineNumber, plan.config.ReadPath());
  std::vector<WriteRow> rows = NetworkRows(platform.text, plan.settings, plan.serviceName, plan.controlSet);
  rows.push_back(GameKeyRow(platform.text, plan.settings));
  bool anyKey = false;
  for (const WriteRow& row : rows) {
    const Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName);
    if (!read.keyOpened) continue;  // a value whose key is missing cannot be written at all
    anyKey = true;
    if (!read.value || !(*read.value == row.data)) return false;
  }
  return anyKey;
}

std::vector<std::wstring> SettingsLines(const MachineSettings& s) {
  return {L"计算机名  :  " + s.HostName,       L"I P 地 址   :  " + s.IpAddress, L"子网掩码  :  " + s.SubnetMask,
          L"默认网关  :  " + s.DefaultGateway, L"DNS 信息  :  " + s.DnsServers,  L"CS 序列号 :  " + s.GameKey};
}

RunRecord RecordOf(Platform& platform, RunMode mode, const MachinePlan& plan, const std::wstring& shownCardText) {
  RunRecord record;
  record.mode = mode;
  record.number = plan.settings.NumberText;
  record.hostName = plan.settings.HostName;
  record.ipAddress = plan.settings.IpAddress;
  record.card = shownCardText;
  if (!plan.serviceName.empty()) {
    if (const auto adapters = platform.adapters.GetAdaptersAddresses()) {
      if (const auto address = AdapterAddressOf(platform.text, *adapters, plan.serviceName)) {
        record.address = FormatMac(*address);
      }
    }
  }
  return record;
}

std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find_first_of(L"\r\n")); }

}  // namespace vexa
