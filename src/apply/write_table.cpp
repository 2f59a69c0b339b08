#include "apply/write_table.h"

#include <algorithm>

#include "common/text.h"
#include "registry/locations.h"

namespace vexa {

std::wstring GameKeyLabel(const std::wstring& profileName) { return L"CS 序列号 (" + profileName + L")"; }

bool IsUsersGameKey(std::wstring_view path) {
  const std::wstring users = std::wstring(locations::kUsers) + L"\\";
  if (path.size() <= users.size() || !SameName(path.substr(0, users.size()), users)) return false;
  path.remove_prefix(users.size());
  const std::size_t slash = path.find(L'\\');
  return slash != 0 && slash != std::wstring_view::npos &&
         SameName(path.substr(slash + 1), locations::kGameSettingsInHive);
}

std::vector<WriteRow> WriteRows(TextCodec& text, const MachineSettings& s, const std::wstring& serviceName,
                                const std::wstring& set, const std::vector<UserProfile>& players) {
  using namespace locations;
  using Reg::DwordData, Reg::MultiSzData, Reg::SzData;
  const std::wstring card = TcpipInterface(set, serviceName);
  const std::wstring end(2, L'\0');  // one-element multi-string: the address, its NUL, the list's NUL
  std::vector<WriteRow> rows{
      {IpxParameters(set), kVirtualNetworkNumber, L"IPX 网络号", L"IPX 未安装", DwordData(s.MachineNumber)},
      {card, kEnableDhcp, L"DHCP 开关", L"", DwordData(0)},
      {card, kIpAddress, L"IP 地址", L"", MultiSzData(text, s.IpAddress + end)},
      {card, kSubnetMask, std::wstring(kMaskLabel), L"", MultiSzData(text, s.SubnetMask + end)},
      {card, kDefaultGateway, std::wstring(kGatewayLabel), L"", MultiSzData(text, s.DefaultGateway + end)},
      {card, kNameServer, std::wstring(kDnsLabel), L"", SzData(text, s.DnsServers)},
      {TcpipParameters(set), kNvHostname, L"计算机名 (NV Hostname)", L"", SzData(text, s.HostName)},
      {std::wstring(kComputerName), kComputerNameValue, L"计算机名 (ComputerName)", L"", SzData(text, s.HostName)},
  };
  if (players.empty())
    rows.push_back({std::wstring(kGameSettings), kGameKeyValue, L"CS 序列号", L"游戏未安装", SzData(text, s.GameKey)});
  for (const UserProfile& player : players) {
    rows.push_back({player.hiveKey + L"\\" + std::wstring(kGameSettingsInHive), kGameKeyValue,
                    GameKeyLabel(player.name), L"游戏未安装", SzData(text, s.GameKey)});
  }
  return rows;
}

WriteRow MachineGuidRow(TextCodec& text, const std::wstring& guid) {
  return {std::wstring(locations::kCryptography),
          locations::kMachineGuid,
          std::wstring(kMachineGuidLabel),
          L"本机没有机器码",
          Reg::SzData(text, guid),
          Reg::View::Bits64};
}

bool NotInstalled(const WriteRow& row, bool noKey) { return noKey && !row.absentLabel.empty(); }

WriteReport WriteMachine(Platform& platform, const std::vector<WriteRow>& rows,
                         const std::vector<std::wstring>& leaveOut) {
  WriteReport report;
  for (const WriteRow& row : rows) {
    const bool left = std::find(leaveOut.begin(), leaveOut.end(), row.label) != leaveOut.end();
    const Reg::Written written =
        left ? Reg::Written::Failed : Reg::WriteRegData(platform, row.path, row.valueName, row.data, row.view);
    if (written == Reg::Written::Yes) continue;
    if (NotInstalled(row, written == Reg::Written::NoKey)) {
      // Said once however many profiles lack the game.
      auto& said = report.notApplicable;
      if (std::find(said.begin(), said.end(), row.absentLabel) == said.end()) said.emplace_back(row.absentLabel);
      continue;
    }
    report.notWritten.emplace_back(row.label);
    if (row.absentLabel.empty()) report.networkWritten = false;
  }
  return report;
}

bool InPlace(Platform& platform, const std::vector<WriteRow>& rows) {
  for (const WriteRow& row : rows) {
    const Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName, row.view);
    if (NotInstalled(row, read.noKey)) continue;
    if (!read.value || !(*read.value == row.data)) return false;
  }
  return true;
}

std::wstring ValueText(TextCodec& text, const Reg::RegData& data) {
  const std::string& b = data.bytes;
  if (data.type == kRegDword && b.size() == 4) {
    const auto byte = [&b](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
    return IntText(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
  }
  if (data.type == kRegSz || data.type == kRegExpandSz)
    return text.FromAnsi(std::string_view(b).substr(0, b.find('\0')));
  if (data.type == kRegMultiSz) {
    // The strings end at the list's closing NUL (two NULs), or with the bytes; an empty one before it is
    // one of the list's.
    std::string_view list(b);
    if (list.ends_with(std::string_view("\0\0", 2))) list.remove_suffix(2);
    if (list.ends_with('\0')) list.remove_suffix(1);
    std::vector<std::wstring> strings;
    for (std::size_t at = 0; at <= list.size() && !list.empty();) {
      const std::size_t end = std::min(list.find('\0', at), list.size());
      strings.push_back(end == at ? std::wstring(L"(空)") : text.FromAnsi(list.substr(at, end - at)));
      at = end + 1;
    }
    return JoinWith(strings, L", ");
  }
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring hex;
  for (const char c : b) {
    if (!hex.empty()) hex += L' ';
    hex += kHex[static_cast<unsigned char>(c) >> 4];
    hex += kHex[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

std::wstring TypeName(std::uint32_t type) {
  switch (type) {
    case kRegSz: return L"REG_SZ";
    case kRegExpandSz: return L"REG_EXPAND_SZ";
    case kRegBinary: return L"REG_BINARY";
    case kRegDword: return L"REG_DWORD";
    case kRegMultiSz: return L"REG_MULTI_SZ";
    default: break;
  }
  return L"类型 " + IntText(type);
}

std::vector<PreviewLine> Preview(Platform& platform, const std::vector<WriteRow>& rows) {
  std::vector<PreviewLine> lines;
  for (const WriteRow& row : rows) {
    PreviewLine line{row.label};
    line.planned = ValueText(platform.text, row.data);
    const Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName, row.view);
    if (read.value) {
      line.current = ValueText(platform.text, *read.value);
      line.same = *read.value == row.data;
      if (read.value->type != row.data.type) {
        line.currentType = TypeName(read.value->type);
        line.plannedType = TypeName(row.data.type);
      }
    } else if (NotInstalled(row, read.noKey)) {
      line.now = PreviewLine::Now::NotInstalled;
    } else {
      line.now = read.absent ? PreviewLine::Now::Absent : PreviewLine::Now::Unreadable;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace vexa
