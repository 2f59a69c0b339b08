#include "cafe/cafe_commands.h"

#include "cafe/cafe_export.h"
#include "cafe/cafe_page.h"
#include "cafe/log_table.h"
#include "cafe/seats.h"
#include "common/exit_codes.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"
#include "common/version.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "log/run_log.h"

namespace vexa {

namespace {

// The log as /table and /report may use it: nothing when a file could not be read or every line had to
// be skipped; out says why.
bool Usable(Platform& platform, const LogPlace& place, const RunLog& log, CafeOutput& out) {
  std::vector<std::wstring> problems = ReadingProblems(log);
  if (!place.unreachable.empty()) {
    problems.insert(problems.begin(), LogFolderProblem(place) + L"读的是 " + RunLogPath(platform, place) + L"。");
  }
  out.text = JoinWith(problems, L"\r\n");
  if (log.unreadable.empty() && !log.entries.empty()) return true;
  if (log.unreadable.empty() && log.Skipped() == 0) {
    if (!out.text.empty()) out.text += L"\r\n";
    out.text += L"日志 " + RunLogPath(platform, place) + L" 中还没有任何记录。";
  }
  out.exitCode = exit_code::kRefused;
  return false;
}

std::wstring WithProblems(const std::wstring& text, const CafeOutput& problems) {
  if (problems.text.empty()) return text;
  // On the console after the table: ';' makes them comments where the table is pasted.
  std::wstring out = text;
  for (std::size_t start = 0; start < problems.text.size();) {
    std::size_t end = problems.text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = problems.text.size();
    out += L"\r\n; " + problems.text.substr(start, end - start);
    start = end + 2;
  }
  return out;
}

// The [NetWork] values the page shows, as a run would read them.
std::vector<std::pair<std::wstring, std::wstring>> NetworkValues(Platform& platform,
                                                                 const IniFile::ConfigFile& config) {
  std::vector<std::pair<std::wstring, std::wstring>> values;
  for (const IniFile::KeyDefault& key : IniFile::kNetWorkKeys) {
    values.emplace_back(key.key,
                        IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kNetWork, key.key, key.fallback));
  }
  return values;
}

std::wstring NumberList(const std::vector<int>& numbers) {
  std::wstring list;
  for (int n : numbers) list += (list.empty() ? L"" : L", ") + std::to_wstring(n);
  return list;
}

// What the console says of the seats an export left out, and why.
std::vector<std::wstring> LeftOut(const ExportPlan& plan, ExportFormat format, bool force) {
  std::vector<std::wstring> lines;
  if (format == ExportFormat::Csv) return lines;  // every seat the page shows, conflicts as a state
  for (const std::wstring& conflict : plan.conflicts) lines.push_back(L"冲突: " + conflict);
  if (!plan.conflicts.empty() && force) lines.push_back(L"冲突的机位没有导出: 机号 " + NumberList(plan.conflictSeats));
  if (!plan.notWritten.empty()) {
    lines.push_back(L"最后一次拒绝或没有全部写入的机位没有导出: 机号 " + NumberList(plan.notWritten));
  }
  if (!plan.noAddress.empty()) {
    lines.push_back(L"日志中的 IP 地址不是有效的地址,没有导出: 机号 " + JoinWith(plan.noAddress, L", "));
  }
  if (!plan.unnamed.empty() && format != ExportFormat::Arp) {
    lines.push_back(L"计算机名不是有效的 DNS 名称(只能用字母、数字和 -),只导出了地址: 机号 " +
                    JoinWith(plan.unnamed, L", "));
  }
  if (const std::vector<int> numbers = LeaseTimeNames(plan); !numbers.empty() && format == ExportFormat::Dnsmasq) {
    lines.push_back(L"计算机名只有数字,dnsmasq 会把它当作租期,只导出了地址: 机号 " + NumberList(numbers));
  }
  return lines;
}

}  // namespace

CafeOutput TableCommand(Platform& platform, const IniFile::ConfigFile& config) {
  const LogPlace place = PlaceOfLog(platform, config);
  const RunLog log = ReadRunLog(platform, place);
  CafeOutput out;
  if (!Usable(platform, place, log, out)) return out;
  out.text = WithProblems(TableFromLog(log), out);
  return out;
}

CafeOutput ReportCommand(Platform& platform, const IniFile::ConfigFile& config) {
  const LogPlace place = PlaceOfLog(platform, config);
  const RunLog log = ReadRunLog(platform, place);
  CafeOutput out;
  if (!Usable(platform, place, log, out)) return out;
  const CafeView view = ViewOfCafe(log, IniFile::ReadMachineTable(config));
  const std::string bytes = CafePage({platform.system.Now(), NetworkValues(platform, config)}, view);
  std::vector<std::wstring> lines;
  const Written page = WriteBesideLog(platform, place, kPageName, bytes);
  lines.push_back(page.problem.empty() ? L"已生成网页: " + page.shown : L"网页 " + page.shown + page.problem);
  if (!page.problem.empty()) out.exitCode = exit_code::kRefused;
  const std::vector<int> counts = CountsOf(view);
  std::vector<std::wstring> parts;
  for (std::size_t state = 0; state < counts.size(); ++state) {
    parts.push_back(std::wstring(StateWord(static_cast<SeatState>(state))) + L" " + std::to_wstring(counts[state]));
  }
  lines.push_back(L"机位: " + JoinWith(parts, L", "));
  if (!out.text.empty()) lines.push_back(out.text);
  out.text = JoinWith(lines, L"\r\n");
  return out;
}

CafeOutput ExportCommand(Platform& platform, const IniFile::ConfigFile& config, ExportFormat format, bool force) {
  const LogPlace place = PlaceOfLog(platform, config);
  const RunLog log = ReadRunLog(platform, place);
  CafeOutput out;
  if (!Usable(platform, place, log, out)) return out;
  const CafeView view = ViewOfCafe(log, IniFile::ReadMachineTable(config));
  const ExportPlan plan = PlanExport(view);
  std::vector<std::wstring> lines = LeftOut(plan, format, force);
  // Only Kea's subnets and netsh's scopes need the mask: the other formats do not read config.ini again.
  const bool bySubnet = format == ExportFormat::Kea || format == ExportFormat::Netsh;
  const std::wstring maskText = bySubnet ? IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kNetWork,
                                                                  IniFile::kMask.key, IniFile::kMask.fallback)
                                         : L"";
  const Ipv4 mask = ParseMask(maskText);
  if (!plan.conflicts.empty() && !force && format != ExportFormat::Csv) {
    lines.push_back(
        L"没有导出:服务器不会接受一个机号或一个 IP 给两块网卡。改正后再导出;要导出其余的机位,请加 /force。");
    out.exitCode = exit_code::kRefused;
  } else if (bySubnet && !mask.ok()) {
    lines.push_back(L"没有导出: config.ini 中的 Mask=" + maskText + L" 不是有效的子网掩码,无法算出子网。");
    out.exitCode = exit_code::kRefused;
  } else {
    const std::wstring note =
        L"VexaIpSet " + std::wstring(kProductVersion) + L" /export, " + LogStamp(platform.system.Now());
    const std::size_t count = format == ExportFormat::Csv
                                  ? kLastMachine - CountsOf(view)[static_cast<int>(SeatState::Unseen)]
                                  : plan.bindings.size();
    for (const ExportFile& file : ExportFiles(format, plan, view, mask.bits, ToUtf8(note))) {
      const Written written = WriteBesideLog(platform, place, file.name, file.bytes);
      if (!written.problem.empty()) out.exitCode = exit_code::kRefused;
      lines.push_back(written.problem.empty() ? L"已导出 " + std::to_wstring(count) + L" 个机位: " + written.shown
                                              : L"文件 " + written.shown + written.problem);
    }
  }
  if (!out.text.empty()) lines.push_back(out.text);
  out.text = JoinWith(lines, L"\r\n");
  return out;
}

}  // namespace vexa
