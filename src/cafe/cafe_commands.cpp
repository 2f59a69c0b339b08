#include "cafe/cafe_commands.h"

#include "cafe/cafe_export.h"
#include "cafe/cafe_page.h"
#include "cafe/export_files.h"
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
#include "config/zones.h"
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
    values.emplace_back(key.key, IniFile::ReadZoneValue(platform, config, nullptr, key).text);
  }
  return values;
}

// config.ini as the views need it: nothing when it cannot be used (out says why, exit 2).
bool ConfigUsable(const IniFile::Venue& venue, CafeOutput& out) {
  if (venue.Ok()) return true;
  out.text = venue.problem;
  out.exitCode = exit_code::kRefused;
  return false;
}

std::wstring NumberList(const std::vector<int>& numbers) {
  std::wstring list;
  for (int n : numbers) list += (list.empty() ? L"" : L", ") + IntText(n);
  return list;
}

// The console names up to this many seats an export left out; past it, the count, and each file's head
// names them all.
constexpr std::size_t kSeatsNamed = 20;

// What the console says of the seats an export left out, and why.
std::vector<std::wstring> LeftOut(const ExportPlan& plan, ExportFormat format, const std::vector<LeftOutSeat>& left,
                                  bool written) {
  std::vector<std::wstring> lines;
  if (format == ExportFormat::Csv) return lines;  // every seat the page shows, conflicts as a state
  for (const std::wstring& conflict : plan.conflicts) lines.push_back(L"冲突: " + conflict);
  if (NamesMustBeUnique(format)) {
    for (const std::wstring& same : plan.sameNames) lines.push_back(L"冲突: " + same);
  }
  if (left.size() > kSeatsNamed) {
    lines.push_back(written ? L"没有导出 " + IntText(left.size()) + L" 个机位,每个机位和原因列在导出文件开头的注释中。"
                            : L"另有 " + IntText(left.size()) + L" 个机位不能导出,导出时会在文件开头的注释中列出。");
  } else {
    for (const LeftOutSeat& seat : left) {
      lines.push_back(L"没有导出机号 " + IntText(seat.number) + L": " + seat.reason);
    }
  }
  if (format == ExportFormat::Dhcpd || format == ExportFormat::DhcpdHosts) {
    for (const std::wstring& renamed : plan.renamed) lines.push_back(renamed);
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

CafeOutput TableCommand(Platform& platform, const IniFile::Venue& venue) {
  CafeOutput out;
  if (!ConfigUsable(venue, out)) return out;
  const LogPlace place = PlaceOfLog(platform, venue.file);
  const RunLog log = ReadRunLog(platform, place);
  if (!Usable(platform, place, log, out)) return out;
  out.text = WithProblems(TableFromLog(log, venue.zones), out);
  return out;
}

namespace {

// The format's files beside the log, and what the console says of each.
void WriteExport(Platform& platform, const LogPlace& place, ExportFormat format, const ExportPlan& plan,
                 const CafeView& view, const std::vector<LeftOutSeat>& left, CafeOutput& out,
                 std::vector<std::wstring>& lines) {
  const std::wstring note = L"VexaIpSet " + std::wstring(kProductVersion) + L" /export " +
                            std::wstring(ExportFormatName(format)) + L", " + LogStamp(platform.system.Now());
  const std::size_t dropped = NamesMustBeUnique(format) ? plan.sameNameSeats.size() : 0;
  const std::size_t count = format == ExportFormat::Csv
                                ? SeatNumbers(view).size() - CountsOf(view)[static_cast<int>(SeatState::Unseen)]
                                : plan.bindings.size() - dropped;
  for (const ExportFile& file : ExportFiles(format, plan, view, note, left, platform.text)) {
    const Written written = WriteInFolder(platform, place.folder, file.name, file.bytes);
    if (!written.problem.empty()) out.exitCode = exit_code::kRefused;
    lines.push_back(written.problem.empty() ? L"已导出 " + IntText(count) + L" 个机位: " + written.shown
                                            : L"文件 " + written.shown + written.problem);
  }
}

// The numbers the log's lines give that no zone holds, when there are zones.
void SayOutside(const CafeView& view, std::vector<std::wstring>& lines) {
  if (view.outside.empty()) return;
  lines.push_back(L"日志中这些机号不在 config.ini 的任何区里,没有列出: " + NumberList(view.outside));
}

}  // namespace

CafeOutput ReportCommand(Platform& platform, const IniFile::Venue& venue) {
  CafeOutput out;
  if (!ConfigUsable(venue, out)) return out;
  const LogPlace place = PlaceOfLog(platform, venue.file);
  const RunLog log = ReadRunLog(platform, place);
  if (!Usable(platform, place, log, out)) return out;
  const CafeView view = ViewOfCafe(log, IniFile::ReadMachineTable(venue.file), venue.zones);
  const std::string bytes = CafePage({platform.system.Now(), NetworkValues(platform, venue.file)}, view);
  std::vector<std::wstring> lines;
  const Written page = WriteInFolder(platform, place.folder, kPageName, bytes);
  lines.push_back(page.problem.empty() ? L"已生成网页: " + page.shown : L"网页 " + page.shown + page.problem);
  if (!page.problem.empty()) out.exitCode = exit_code::kRefused;
  const std::vector<int> counts = CountsOf(view);
  std::vector<std::wstring> parts;
  for (std::size_t state = 0; state < counts.size(); ++state) {
    parts.push_back(std::wstring(StateWord(static_cast<SeatState>(state))) + L" " + IntText(counts[state]));
  }
  lines.push_back(L"机位: " + JoinWith(parts, L", "));
  SayOutside(view, lines);
  if (!out.text.empty()) lines.push_back(out.text);
  out.text = JoinWith(lines, L"\r\n");
  return out;
}

CafeOutput ExportCommand(Platform& platform, const IniFile::Venue& venue, ExportFormat format, bool force) {
  CafeOutput out;
  if (!ConfigUsable(venue, out)) return out;
  const LogPlace place = PlaceOfLog(platform, venue.file);
  const RunLog log = ReadRunLog(platform, place);
  if (!Usable(platform, place, log, out)) return out;
  const CafeView view = ViewOfCafe(log, IniFile::ReadMachineTable(venue.file), venue.zones);
  const ExportPlan plan = PlanExport(view);
  const std::vector<LeftOutSeat> left = SeatsLeftOut(plan, view, format);
  // What stops the formats a server reads: a conflict it would not take, a zone without a subnet.
  std::vector<std::wstring> stops;
  const bool names = NamesMustBeUnique(format) && !plan.sameNames.empty();
  if ((!plan.conflicts.empty() || names) && !force && format != ExportFormat::Csv) {
    stops.emplace_back(
        L"没有导出:服务器不会接受一个机号、一个 IP 或一个计算机名给两块网卡。改正后再导出;要导出其余的机位,请加 "
        L"/force。");
  } else if (format != ExportFormat::Csv) {
    for (const IniFile::ZonePlan& zone : view.zones) {
      if (ParseMask(zone.mask).ok()) continue;
      stops.push_back(L"没有导出: config.ini 中" + (zone.name.empty() ? L"" : L"区 " + zone.name + L" ") + L"的 Mask=" +
                      zone.mask + L" 不是有效的子网掩码,无法算出子网。");
    }
  }
  std::vector<std::wstring> lines = LeftOut(plan, format, left, stops.empty());
  SayOutside(view, lines);
  if (stops.empty()) {
    WriteExport(platform, place, format, plan, view, left, out, lines);
  } else {
    lines.insert(lines.end(), stops.begin(), stops.end());
    out.exitCode = exit_code::kRefused;
  }
  if (!out.text.empty()) lines.push_back(out.text);
  out.text = JoinWith(lines, L"\r\n");
  return out;
}

}  // namespace vexa
