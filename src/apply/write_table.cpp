#include "apply/write_table.h"

#include "registry/locations.h"

namespace vexa {

std::vector<WriteRow> WriteRows(TextCodec& text, const MachinePlan& plan) {
  using namespace locations;
  using Reg::DwordData, Reg::MultiSzData, Reg::SzData;
  const MachineSettings& s = plan.settings;
  const std::wstring& set = plan.controlSet;
  const std::wstring card = TcpipInterface(set, plan.serviceName);
  const std::wstring end(2, L'\0');  // one-element multi-string: the address, its NUL, the list's NUL
  return {
      {IpxParameters(set), kVirtualNetworkNumber, L"IPX 网络号", L"IPX 未安装", DwordData(s.MachineNumber)},
      {card, kEnableDhcp, L"DHCP 开关", L"", DwordData(0)},
      {card, kIpAddress, L"IP 地址", L"", MultiSzData(text, s.IpAddress + end)},
      {card, kSubnetMask, kMaskLabel, L"", MultiSzData(text, s.SubnetMask + end)},
      {card, kDefaultGateway, kGatewayLabel, L"", MultiSzData(text, s.DefaultGateway + end)},
      {card, kNameServer, kDnsLabel, L"", SzData(text, s.DnsServers)},
      {TcpipParameters(set), kNvHostname, L"计算机名 (NV Hostname)", L"", SzData(text, s.HostName)},
      {std::wstring(kComputerName), kComputerNameValue, L"计算机名 (ComputerName)", L"", SzData(text, s.HostName)},
      {std::wstring(kGameSettings), kGameKeyValue, L"CS 序列号", L"游戏未安装", SzData(text, s.GameKey)},
  };
}

WriteReport WriteMachine(Platform& platform, const MachinePlan& plan) {
  WriteReport report;
  for (const WriteRow& row : WriteRows(platform.text, plan)) {
    const Reg::Written written = Reg::WriteRegData(platform, row.path, row.valueName, row.data);
    if (written == Reg::Written::Yes) continue;
    // A row of a component that need not be installed applies only when its key exists.
    if (written == Reg::Written::NoKey && !row.absentLabel.empty()) {
      report.notApplicable.emplace_back(row.absentLabel);
      continue;
    }
    report.notWritten.emplace_back(row.label);
    if (row.absentLabel.empty()) report.networkWritten = false;
  }
  return report;
}

bool InPlace(Platform& platform, const MachinePlan& plan) {
  for (const WriteRow& row : WriteRows(platform.text, plan)) {
    const Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName);
    if (!read.keyOpened && !row.absentLabel.empty()) continue;  // not installed: nothing to hold
    if (!read.value || !(*read.value == row.data)) return false;
  }
  return true;
}

}  // namespace vexa
