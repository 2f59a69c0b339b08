#include "startup/startup_service.h"

#include "common/exit_codes.h"
#include "common/text.h"
#include "config/config_copy.h"
#include "config/ini_file.h"
#include "config/venue.h"
#include "log/log_text.h"
#include "log/run_log.h"
#include "registry/locations.h"
#include "registry/reg.h"
#include "shared_folder/shared_folder.h"

namespace vexa {

namespace {

constexpr std::wstring_view kDisplayName = L"VexaIpSet 开机设置";
constexpr std::wstring_view kDescription =
    L"每次开机等本机的网卡出现,按 config.ini 的 [Machines] 设置本机的计算机名、IP 地址和游戏序列号"
    L"(VexaIpSet.exe /auto),然后停止。";
constexpr std::wstring_view kFolderName = L"VexaIpSet";
constexpr std::string_view kToolName = "VexaIpSet.exe";
constexpr std::string_view kConfigName = "config.ini";
// A larger executable is no build of this tool.
constexpr std::uint64_t kLargestTool = std::uint64_t{16} * 1024 * 1024;

std::wstring ServiceName() { return std::wstring(kServiceName.begin(), kServiceName.end()); }

// The change's line in the log the operator's runs write (beside config.ini, or where [Log] Folder= puts
// it); a log that cannot be written is said (the change is made: it is Windows' record too).
void LogChange(Platform& platform, const IniFile::Venue& venue, RunMode mode, const std::wstring& outcome, int exitCode,
               std::vector<std::wstring>& lines) {
  if (!venue.Ok()) {
    lines.push_back(L"config.ini 不能用,这次没有记在日志里: " + venue.problem);
    return;
  }
  RunRecord record;
  record.mode = mode;
  record.outcome = outcome;
  record.exitCode = exitCode;
  const LogPlace place = PlaceOfLog(platform, venue.file);
  if (AppendRunLog(platform, place, record) != LogResult::Appended) {
    lines.push_back(L"日志 " + RunLogPath(platform, place) + L" 无法写入,这次没有记录。");
  }
}

CafeOutput Done(Platform& platform, const IniFile::Venue& venue, RunMode mode, std::vector<std::wstring> lines,
                const std::wstring& outcome, int exitCode) {
  LogChange(platform, venue, mode, outcome, exitCode, lines);
  return {JoinWith(lines, L"\r\n"), exitCode};
}

// The tool's own folder under Program Files; "" when Windows names no Program Files.
std::wstring InstallFolder(Platform& platform) {
  const Reg::RegRead read =
      Reg::ReadRegData(platform, std::wstring(locations::kCurrentVersion), locations::kProgramFilesDir);
  if (!read.value || (read.value->type != kRegSz && read.value->type != kRegExpandSz)) return L"";
  const std::string& bytes = read.value->bytes;
  const std::wstring programFiles = platform.text.FromAnsi(std::string_view(bytes).substr(0, bytes.find('\0')));
  return programFiles.empty() ? L"" : PathIn<wchar_t>(programFiles, kFolderName);
}

// Where the start-up run's copy lies, and how it came there.
struct Copy {
  std::wstring folder;     // under Program Files
  std::wstring logFolder;  // the [Log] Folder= the copied config.ini names; "" when config.ini's own
  bool itself = false;     // /install ran from the copy: nothing copied
  std::wstring problem;    // why there is no copy
};

// VexaIpSet.exe and config.ini copied into the folder of the tool's own, each to a new file renamed over the
// old one (a start-up run never reads half of either).
Copy CopyTool(Platform& platform, const IniFile::Venue& venue) {
  Copy copy{InstallFolder(platform), L"", false, L""};
  if (copy.folder.empty()) {
    copy.problem = L"注册表中没有 Program Files 文件夹(" + std::wstring(locations::kCurrentVersion) + L" 的 " +
                   std::wstring(locations::kProgramFilesDir) + L")";
    return copy;
  }
  const std::wstring from = platform.text.FromAnsi(platform.system.ModuleDirectory());
  copy.itself = SameName(from, copy.folder);
  if (copy.itself) return copy;
  const std::string folder = platform.text.ToAnsi(copy.folder);
  if (!platform.files.CreateFolder(folder.c_str())) {
    copy.problem = L"无法建立文件夹 " + copy.folder + L"(没有权限)";
    return copy;
  }
  const std::string toolPath = platform.system.ModulePath();
  const FileRead tool = platform.files.ReadWholeFile(toolPath.c_str(), kLargestTool);
  if (!tool.ok()) {
    copy.problem = platform.text.FromAnsi(toolPath) + L" " + ReadFailureText(tool.status);
    return copy;
  }
  const std::wstring named =
      IniFile::ReadIniString(platform, venue.file.ReadPath(), IniFile::kLogSection, IniFile::kLogFolderKey, L"");
  IniFile::ConfigCopy config = IniFile::CopyForStartup(platform.text, venue.file.Bytes(), named, from);
  copy.logFolder = std::move(config.logFolder);
  const std::pair<std::string_view, const std::string*> files[] = {{kToolName, &tool.bytes},
                                                                   {kConfigName, &config.bytes}};
  for (const auto& [name, bytes] : files) {
    const Written written = WriteInFolder(platform, folder, name, *bytes);
    if (!written.problem.empty()) {
      copy.problem = written.shown + written.problem;
      return copy;
    }
  }
  return copy;
}

// What /install says of the copy it registered.
std::wstring CopyText(const Copy& copy, std::uint32_t waitSeconds) {
  std::wstring text =
      copy.itself ? L"这就是开机服务运行的副本,没有复制" : L"VexaIpSet.exe 和 config.ini 已复制到 " + copy.folder;
  text += L"(只有管理员能修改):开机时运行这个副本,读那里的 config.ini,改了 config.ini 请再运行 /install。";
  if (!copy.logFolder.empty()) text += L"\r\n日志写在 " + copy.logFolder + L"(复制的 config.ini 的 [Log] Folder=)。";
  return text + L"\r\n开机时等 [Machines] 中本机的网卡出现,最多 " + IntText(waitSeconds) +
         L" 秒([Startup] WaitSeconds=);等不到就在日志里记下本机,/report 的页面列出它。";
}

}  // namespace

CafeOutput InstallStartupService(Platform& platform, bool force) {
  const IniFile::Venue venue = IniFile::ReadVenue(platform);
  Copy copy;
  if (venue.file.State() != IniFile::ConfigState::Readable) {
    copy.problem = L"没有 config.ini(或为空、无法读取): " + IniFile::ConfigPath(platform);
  } else if (!venue.Ok()) {
    copy.problem = L"config.ini 不能用: " + venue.problem;
  } else {
    copy = CopyTool(platform, venue);
  }
  if (!copy.problem.empty()) {
    const std::wstring outcome = L"拒绝: 没有装上开机服务 " + ServiceName() + L": " + copy.problem;
    return Done(platform, venue, RunMode::Install, {outcome, L"请以管理员身份运行。"}, outcome, exit_code::kRefused);
  }
  const std::string command = "\"" + platform.text.ToAnsi(PathIn<wchar_t>(copy.folder, L"VexaIpSet.exe")) +
                              "\" /service" + (force ? " /force" : "");
  const ServiceResult result =
      platform.services.Install(kServiceName, platform.text.ToAnsi(std::wstring(kDisplayName)),
                                platform.text.ToAnsi(std::wstring(kDescription)), command, kServiceDependsOn);
  if (result.change == ServiceChange::Refused) {
    const std::wstring outcome = L"拒绝: 无法装上开机服务 " + ServiceName() + L": " + result.why;
    return Done(platform, venue, RunMode::Install, {outcome, L"请以管理员身份运行。"}, outcome, exit_code::kRefused);
  }
  const std::wstring outcome =
      (result.change == ServiceChange::Updated ? L"开机服务 " + ServiceName() + L" 已存在,已改为这次的设置"
                                               : L"已装上开机服务 " + ServiceName());
  std::vector<std::wstring> lines{outcome + L":每次开机、有人登录之前以 SYSTEM 账户运行",
                                  L"  " + platform.text.FromAnsi(command), CopyText(copy, venue.startupWaitSeconds),
                                  L"然后按 [Machines] 设置本机(同 /auto):设置不同时写入并重启一次,相同时什么也不做。"
                                  L"删除开机服务: VexaIpSet.exe /uninstall"};
  return Done(platform, venue, RunMode::Install, std::move(lines), outcome, exit_code::kDone);
}

namespace {

// The copy's two files removed, and its folder when nothing else is left in it (a log someone keeps there
// stays); whether none of the files is left.
bool RemoveCopy(Platform& platform, const std::string& folder) {
  bool gone = true;
  for (const std::string_view name : {kToolName, kConfigName}) {
    const std::string path = PathIn<char>(folder, name);
    gone = (platform.files.RemoveFile(path.c_str()) || !platform.files.FileSize(path.c_str())) && gone;
  }
  platform.files.RemoveFolder(folder.c_str());
  return gone;
}

}  // namespace

CafeOutput UninstallStartupService(Platform& platform) {
  const IniFile::Venue venue = IniFile::ReadVenue(platform);
  const ServiceResult result = platform.services.Remove(kServiceName);
  if (result.change == ServiceChange::Refused) {
    const std::wstring outcome = L"拒绝: 无法删除开机服务 " + ServiceName() + L": " + result.why;
    return Done(platform, venue, RunMode::Uninstall, {outcome, L"请以管理员身份运行。"}, outcome, exit_code::kRefused);
  }
  const std::wstring folder = InstallFolder(platform);
  const bool copied = !folder.empty() && platform.files.IsFolder(platform.text.ToAnsi(folder).c_str());
  const bool had = result.change == ServiceChange::Removed;
  std::wstring outcome = had ? L"已删除开机服务 " + ServiceName() : L"没有开机服务 " + ServiceName() + L",不用删除";
  std::vector<std::wstring> lines{outcome + (had ? L",以后开机不再自动设置。" : L"。")};
  if (copied && !RemoveCopy(platform, platform.text.ToAnsi(folder))) {
    outcome = L"拒绝: " + outcome + L",但无法删除 " + folder + L" 中的副本";
    lines.push_back(outcome + L"(正在运行或没有权限):请以管理员身份从别的文件夹再运行一次 /uninstall。");
    return Done(platform, venue, RunMode::Uninstall, std::move(lines), outcome, exit_code::kRefused);
  }
  if (copied) lines.push_back(L"已删除 " + folder + L" 中的 VexaIpSet.exe 和 config.ini(日志没有删除)。");
  if (!had && !copied) return {lines.front(), exit_code::kDone};
  return Done(platform, venue, RunMode::Uninstall, std::move(lines), outcome, exit_code::kDone);
}

}  // namespace vexa
