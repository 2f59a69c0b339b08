#include "app/outcome_report.h"

#include "apply/outcome_texts.h"
#include "apply/write_table.h"
#include "common/text.h"
#include "log/machine_twins.h"

namespace vexa {

namespace {

constexpr std::wstring_view kRule = L"┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄";

// A label and its value with the colon in one column for every label: the console counts a Chinese
// character as two columns, the window's box text ("I P 地 址   :  ") stands two out of line there.
std::wstring ConsoleLine(std::wstring_view label, std::wstring_view value) {
  constexpr std::size_t kColon = 10;
  const std::wstring name = TrimBlanks(label);
  const std::size_t columns = DisplayColumns(name);
  return name + std::wstring(columns < kColon ? kColon - columns : 1, L' ') + L":  " + std::wstring(value);
}

// The summary's values as the window's box shows them, with the card first, lined up for the console.
std::wstring ConsoleSettings(const Outcome& out) {
  std::vector<std::wstring> lines = {ConsoleLine(L"网卡", out.card)};
  for (const std::wstring& line : SettingsLines(out.settings)) {
    const std::size_t colon = line.find(L":  ");  // every box line parts label and value so
    lines.push_back(ConsoleLine(std::wstring_view(line).substr(0, colon), std::wstring_view(line).substr(colon + 3)));
  }
  return JoinWith(lines, L"\r\n");
}

// What the console says of a rename that Windows has not taken yet.
std::wstring PendingRename(const Outcome& out) {
  const std::wstring now = L"(Windows 当前的计算机名: " + out.activeName + L")";
  switch (out.restart) {
    case RestartState::NotAsked: return L"计算机名 " + out.settings.HostName + L" 在重启后生效" + now + L"。";
    case RestartState::Requested:
      return L"计算机名 " + out.settings.HostName + L" 还没有生效" + now + L",正在重新启动计算机。";
    case RestartState::Refused: return std::wstring(kRestartRefusedText);
    case RestartState::NotTaken:
      return L"已经为计算机名 " + out.settings.HostName + L" 请求过重启,计算机也重启过了,Windows 仍没有采用它" + now +
             L"。不再重启,请检查本机。";
    case RestartState::AskedTwice:
      return L"计算机名 " + out.settings.HostName + L" 请求过两次重启,计算机名仍未生效" + now +
             L"。不再重启,请检查本机。";
    case RestartState::Unknown:
      return L"计算机名 " + out.settings.HostName + L" 还没有生效" + now + L"。无法读取日志 " +
             JoinWith(out.unreadLog, L"; ") + L",不能确认是否已经请求过重启,所以不重启:请手动重新启动计算机。";
    case RestartState::Unrecorded:
      return L"计算机名 " + out.settings.HostName + L" 还没有生效" + now +
             L"。日志无法写入,记不下重启请求,所以不重启:请手动重新启动计算机。";
  }
  return L"";
}

std::wstring WithLogProblem(const std::wstring& text, const Outcome& out) {
  return out.logNote.empty() ? text : text + L"\r\n" + out.logNote;
}

// What came back, card by card: the machine's name once, then each card with its address and its values.
std::wstring UndoReport(const Outcome& out) {
  std::wstring text = out.report.notWritten.empty() ? L"已恢复本程序第一次修改本机之前的设置:"
                                                    : L"部分设置没能恢复,保存的原来设置仍留在本机,可以再运行 /undo:";
  text += L"\r\n" + ConsoleLine(L"计算机名", out.settings.HostName);
  for (const UndoneCard& card : out.undone) {
    text += L"\r\n" + ConsoleLine(L"网卡", card.card + (card.address.empty() ? L"" : L"(" + card.address + L")"));
    if (card.gone) text += L"\r\n" + std::wstring(kCardGone) + L",它自己的值无处可放(不影响其余的值)。";
    if (!card.gone)
      text += L"\r\n" + ConsoleLine(L"I P 地 址", card.ipAddress.empty() ? L"(自动获得)" : card.ipAddress);
    if (!card.restored.empty()) text += L"\r\n已恢复: " + JoinWith(card.restored, L", ");
    if (!card.notRestored.empty()) text += L"\r\n未恢复: " + JoinWith(card.notRestored, L", ");
    if (!card.keyGone.empty()) text += L"\r\n" + KeyGoneText(card.keyGone);
  }
  if (out.restart == RestartState::Requested) text += L"\r\n计算机名改变了,正在重新启动计算机。";
  if (out.restart == RestartState::Refused) text += L"\r\n" + std::wstring(kRestartRefusedText);
  return text;
}

std::wstring RunReport(const Outcome& out) {
  const std::wstring guid = GuidRenewalLine(out).empty() ? L"" : L"\r\n" + GuidRenewalLine(out);
  switch (out.kind) {
    case Outcome::Kind::Refused:
      // In the console's own words: a box's title ("… - 请确认") means nothing where nothing is asked.
      return std::wstring(kRefusedOutcome) + out.notice.text;
    case Outcome::Kind::InPlace: {
      // A player's profile that could not be mounted is still without its key.
      const std::wstring rest =
          (out.report.notWritten.empty() ? L"" : L"\r\n未写入: " + JoinWith(out.report.notWritten, L", ")) + guid;
      // A new MachineGuid is a write: never "nothing written".
      const std::wstring heading = !out.guidRenewal.empty() && GuidWritten(out) ? L"本机已是这些设置,只写入了新的机器码"
                                                                                : L"本机已是这些设置,没有写入";
      if (!out.renamePending) return heading + L",也不重启:\r\n" + ConsoleSettings(out) + rest;
      return heading + L":\r\n" + ConsoleSettings(out) + rest + L"\r\n" + PendingRename(out);
    }
    case Outcome::Kind::Written: break;
    case Outcome::Kind::Undone: return UndoReport(out);
  }
  const WriteReport& report = out.report;
  std::wstring text = WrittenHeading(report) + L":\r\n" + ConsoleSettings(out);
  if (!report.notApplicable.empty()) text += L"\r\n不适用: " + JoinWith(report.notApplicable, L", ");
  if (!report.notWritten.empty()) text += L"\r\n未写入: " + JoinWith(report.notWritten, L", ");
  if (!out.overruled.empty()) text += L"\r\n" + out.overruled;
  text += guid;
  if (out.restart == RestartState::Requested) text += L"\r\n正在重新启动计算机。";
  if (out.restart == RestartState::Refused) text += L"\r\n" + std::wstring(kRestartRefusedText);
  return text;
}

}  // namespace

std::vector<std::wstring> SettingsLines(const MachineSettings& s) {
  const std::wstring colon = L"  :  ";
  return {L"计算机名" + colon + s.HostName,
          L"I P 地 址   :  " + s.IpAddress,
          std::wstring(kMaskLabel) + colon + s.SubnetMask,
          std::wstring(kGatewayLabel) + colon + s.DefaultGateway,
          std::wstring(kDnsLabel) + colon + s.DnsServers,
          L"CS 序列号 :  " + s.GameKey};
}

std::wstring SummaryText(const Outcome& out) {
  std::vector<std::wstring> lines = {L"     网络信息设置如下 : 有错误吗？", std::wstring(kRule)};
  for (auto& line : SettingsLines(out.settings)) lines.push_back(std::move(line));
  const WriteReport& report = out.report;
  if (!report.notApplicable.empty() || !report.notWritten.empty()) lines.emplace_back(kRule);
  for (const auto& label : report.notApplicable) lines.push_back(label);
  if (!report.notWritten.empty()) {
    lines.emplace_back(L"以下设置未能写入:");
    for (const auto& label : report.notWritten) lines.push_back(L"  " + label);
  }
  if (!GuidRenewalLine(out).empty()) lines.push_back(GuidRenewalLine(out));
  if (!out.logNote.empty()) lines.push_back(out.logNote);
  return JoinWith(lines, L"\r\n") + L"\r\n";
}

std::wstring ConsoleReport(const Outcome& out) {
  const std::wstring report = out.note.empty() ? RunReport(out) : RunReport(out) + L"\r\n注意: " + out.note;
  return WithLogProblem(report, out);
}

namespace {

std::wstring AddressLine(const CheckOutcome& check) {
  const std::wstring ip = L"IP 地址 " + check.plan.settings.IpAddress;
  switch (check.address) {
    case CheckOutcome::Address::Live: return ip + L": " + std::wstring(kInEffect);
    case CheckOutcome::Address::Conflict: return ip + L": 网络上有地址冲突";
    case CheckOutcome::Address::NotConnected: return ip + L": 网卡未连接";
    case CheckOutcome::Address::Missing: return ip + L": 网卡上还没有这个地址";
    case CheckOutcome::Address::Unknown: break;
  }
  return ip + L": 无法查询网卡的地址";
}

// One value the plan writes: its label, what the registry holds now, what would be written, and whether
// that changes it.
std::wstring PreviewText(const PreviewLine& line) {
  std::wstring now;
  std::wstring verdict = line.same ? L"相同" : L"将改";
  switch (line.now) {
    case PreviewLine::Now::Value: now = line.current.empty() ? L"(空)" : line.current; break;
    case PreviewLine::Now::Absent: now = L"(没有这个值)"; break;
    case PreviewLine::Now::NotInstalled:
      now = L"(没有这个键,未安装)";
      verdict = L"不适用";
      break;
    case PreviewLine::Now::Unreadable: now = L"(无法读取)"; break;
  }
  const auto typed = [](const std::wstring& type) { return type.empty() ? type : L"(" + type + L")"; };
  return L"  " + std::wstring(line.label) + L": 现在 " + now + typed(line.currentType) + L",计划 " + line.planned +
         typed(line.plannedType) + L" → " + verdict;
}

std::wstring CheckReport(const CheckOutcome& check) {
  const Outcome& out = check.plan;
  std::vector<std::wstring> lines = {ConsoleSettings(out), L"逐项对比(注册表现在的值 → 将写入的值):"};
  for (const PreviewLine& line : check.preview) lines.push_back(PreviewText(line));
  lines.push_back(check.registryHolds ? L"注册表: 已是这些设置" : L"注册表: 与这些设置不同");
  lines.push_back(check.nameActive ? L"计算机名: " + std::wstring(kInEffect) + L"(" + out.activeName + L")"
                                   : L"计算机名: 还没有生效(Windows 当前的计算机名: " + out.activeName + L")");
  lines.push_back(L"网卡现在的地址: " +
                  (check.liveAddresses.empty() ? std::wstring(L"(没有)") : JoinWith(check.liveAddresses, L", ")));
  lines.push_back(AddressLine(check));
  if (!check.sidShared.empty()) {
    lines.push_back(L"机器 SID: 与机号 " + JoinWith(check.sidShared, L", ") + L" 的机器相同。" +
                    std::wstring(kSharedSidMeaning));
  }
  if (!check.unset.empty()) lines.push_back(L"没能自动设置: " + check.unset);
  if (!check.guidRenewal.empty())
    lines.push_back(L"写入时本机会换新机器码 (MachineGuid)(" + check.guidRenewal + L"),/undo 可恢复。");
  lines.push_back(L"结论: " + CheckVerdict(check));
  return JoinWith(lines, L"\r\n");
}

}  // namespace

std::wstring ConsoleReport(const CheckOutcome& check) {
  if (check.plan.kind == Outcome::Kind::Refused) return ConsoleReport(check.plan);
  return WithLogProblem(CheckReport(check), check.plan);
}

}  // namespace vexa
