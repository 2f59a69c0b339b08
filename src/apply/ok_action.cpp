#include "apply/ok_action.h"

#include <vector>

#include "apply/machine_settings.h"
#include "apply/shut_down.h"
#include "config/ini_file.h"
#include "registry/reg.h"

namespace vexa {

namespace {

constexpr std::wstring_view kHintTitle = L"Quorlis Vexa IP自动修改 提示！";
constexpr std::wstring_view kNoCardText = L"你没有选择网卡！请在下面的网卡列表中选择！";
constexpr std::wstring_view kRestartTitle = L"全部设置完毕 需要重启计算机！";

enum class Kind { Dword, MultiSz, Sz };

// One registry value the action writes, in write order.
struct WriteRow {
  Kind kind;
  std::wstring path;
  std::wstring valueName;
  std::wstring label;  // named in the summary when the write fails
  std::int32_t number = 0;
  std::wstring text;
};

std::vector<WriteRow> NetworkRows(const MachineSettings& s, const std::wstring& serviceName) {
  const std::wstring card = std::wstring(kInterfacesPath) + serviceName;
  const std::wstring tcpip(kTcpipParametersPath);
  const std::wstring end(2, L'\0');  // one-element multi-string: the address, its NUL, the list's NUL
  return {
      {Kind::Dword, L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters",
       L"VirtualNetworkNumber", L"IPX 网络号", s.MachineNumber, L""},
      {Kind::Dword, card, L"EnableDHCP", L"DHCP 开关", 0, L""},
      {Kind::MultiSz, card, L"IPAddress", L"IP 地址", 0, s.IpAddress + end},
      {Kind::MultiSz, card, L"SubnetMask", L"子网掩码", 0, s.SubnetMask + end},
      {Kind::MultiSz, card, L"DefaultGateway", L"默认网关", 0, s.DefaultGateway + end},
      {Kind::Sz, card, L"NameServer", L"DNS 信息", 0, s.DnsServers},
      {Kind::Sz, tcpip, L"NV Hostname", L"计算机名 (NV Hostname)", 0, s.HostName},
      {Kind::Sz, L"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", L"ComputerName",
       L"计算机名 (ComputerName)", 0, s.HostName},
  };
}

WriteRow GameKeyRow(const MachineSettings& s) {
  return {Kind::Sz, L"HKEY_CURRENT_USER\\Software\\Valve\\CounterStrike\\Settings", L"Key", L"CS 序列号", 0, s.GameKey};
}

bool Write(Platform& platform, const WriteRow& row) {
  switch (row.kind) {
    case Kind::Dword: return Reg::WriteRegDword(platform, row.path, row.valueName, row.number);
    case Kind::MultiSz: return Reg::WriteRegMultiSz(platform, row.path, row.valueName, row.text);
    case Kind::Sz: return Reg::WriteRegSz(platform, row.path, row.valueName, row.text);
  }
  return false;
}

void ShowSummary(Platform& platform, const MachineSettings& s, const std::vector<std::wstring>& failed) {
  const std::wstring crlf = L"\r\n";
  std::wstring text = L"     网络信息设置如下 : 有错误吗？" + crlf + std::wstring(19, L'┄') + crlf + L"计算机名  :  " +
                      s.HostName + crlf + L"I P 地 址   :  " + s.IpAddress + crlf + L"子网掩码  :  " + s.SubnetMask +
                      crlf + L"默认网关  :  " + s.DefaultGateway + crlf + L"DNS 信息  :  " + s.DnsServers + crlf +
                      L"CS 序列号 :  " + s.GameKey + crlf;
  if (!failed.empty()) {
    text += std::wstring(19, L'┄') + crlf + L"以下设置未能写入:" + crlf;
    for (const auto& label : failed) text += L"  " + label + crlf;
  }
  platform.messages.Show(text, std::wstring(L"网络设置信息"), MsgButtons::Ok,
                         failed.empty() ? MsgIcon::Information : MsgIcon::Exclamation);
}

}  // namespace

OkOutcome RunOkAction(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                      const std::wstring& shownCardText) {
  OkOutcome outcome;
  MachineInput input = ValidateInput(typedText);
  if (input.verdict != InputVerdict::Accepted) {
    ShowInputRejection(platform.messages, input.verdict);
    outcome.focus = FocusTarget::TxtNum;
    outcome.clearTxtNum = input.verdict == InputVerdict::OutOfRange;
    return outcome;
  }

  // Without a card the interface paths would name no key: refuse before anything is read or written.
  std::wstring serviceName = FindCardServiceName(platform, inventory, shownCardText);
  if (serviceName.empty()) {
    platform.messages.Show(std::wstring(kNoCardText), std::wstring(kHintTitle), MsgButtons::Ok, MsgIcon::Critical);
    outcome.focus = FocusTarget::CboInterface;
    return outcome;
  }

  const std::wstring iniPath = IniFile::ConfigPath(platform);
  MachineSettings settings = DeriveSettings(platform, input, iniPath);
  SettingsVerdict verdict = CheckSettings(platform.text, settings);
  if (verdict != SettingsVerdict::Valid) {
    ShowSettingsRejection(platform.messages, verdict, settings);
    outcome.focus = FocusTarget::TxtNum;
    return outcome;
  }

  std::vector<std::wstring> failed;
  for (const WriteRow& row : NetworkRows(settings, serviceName)) {
    if (!Write(platform, row)) failed.push_back(row.label);
  }
  settings.GameKey = DeriveGameKey(platform, settings.MachineNumber, iniPath);
  WriteRow gameKey = GameKeyRow(settings);
  if (!Write(platform, gameKey)) failed.push_back(gameKey.label);

  ShowSummary(platform, settings, failed);
  outcome.askRestart = true;
  return outcome;
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
