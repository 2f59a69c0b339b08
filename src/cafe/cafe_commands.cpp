#include "cafe/cafe_commands.h"

#include "cafe/cafe_page.h"
#include "cafe/log_table.h"
#include "cafe/seats.h"
#include "common/exit_codes.h"
#include "common/text.h"
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
  const std::string& folder = place.folder;
  const std::string path = PathIn<char>(folder, kPageName);
  const std::wstring shown = platform.text.FromAnsi(path);
  Files& files = platform.files;
  std::vector<std::wstring> lines;
  if (files.IsLinkName(path.c_str())) {
    lines.push_back(L"网页 " + shown + L" 是链接(硬链接、符号链接或重解析点),为安全起见没有写入。");
    out.exitCode = exit_code::kRefused;
  } else {
    const std::string made = files.CreateTempFile(bytes, folder);
    const MoveStatus moved = made.empty() ? MoveStatus::Failed : files.MoveOver(made.c_str(), path.c_str());
    if (moved != MoveStatus::Moved) {
      if (!made.empty()) files.RemoveFile(made.c_str());
      lines.push_back(L"网页 " + shown +
                      (moved == MoveStatus::Held ? L" 被其他程序打开着,无法替换:请关闭它后再试。"
                                                 : L" 无法写入(文件夹只读或没有权限)。"));
      out.exitCode = exit_code::kRefused;
    } else {
      lines.push_back(L"已生成网页: " + shown);
    }
  }
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

}  // namespace vexa
