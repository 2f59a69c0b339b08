#include "app/startup_service.h"

#include "common/exit_codes.h"
#include "common/text.h"
#include "config/venue.h"
#include "log/log_text.h"
#include "log/run_log.h"

namespace vexa {

namespace {

constexpr std::wstring_view kDisplayName = L"VexaIpSet 开机设置";
constexpr std::wstring_view kDescription =
    L"每次开机按 config.ini 的 [Machines] 设置本机的计算机名、IP 地址和游戏序列号(VexaIpSet.exe /auto),然后停止。";

std::wstring ServiceName() { return std::wstring(kServiceName.begin(), kServiceName.end()); }

// The change's line in the log beside config.ini, or where [Log] Folder= puts it; a log that cannot be
// written is said (the change is made: it is Windows' record too).
void LogChange(Platform& platform, RunMode mode, const std::wstring& outcome, int exitCode,
               std::vector<std::wstring>& lines) {
  const IniFile::Venue venue = IniFile::ReadVenue(platform);
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

CafeOutput Done(Platform& platform, RunMode mode, std::vector<std::wstring> lines, const std::wstring& outcome,
                int exitCode) {
  LogChange(platform, mode, outcome, exitCode, lines);
  return {JoinWith(lines, L"\r\n"), exitCode};
}

}  // namespace

CafeOutput InstallStartupService(Platform& platform, bool force) {
  const std::string command = "\"" + platform.system.ModulePath() + "\" /service" + (force ? " /force" : "");
  const ServiceResult result = platform.services.Install(kServiceName, platform.text.ToAnsi(std::wstring(kDisplayName)),
                                                         platform.text.ToAnsi(std::wstring(kDescription)), command);
  if (result.change == ServiceChange::Refused) {
    const std::wstring outcome = L"拒绝: 无法装上开机服务 " + ServiceName() + L": " + result.why;
    return Done(platform, RunMode::Install, {outcome, L"请以管理员身份运行。"}, outcome, exit_code::kRefused);
  }
  const std::wstring outcome =
      (result.change == ServiceChange::Updated ? L"开机服务 " + ServiceName() + L" 已存在,已改为这次的设置"
                                               : L"已装上开机服务 " + ServiceName());
  return Done(platform, RunMode::Install,
              {outcome + L":每次开机、有人登录之前以 SYSTEM 账户运行", L"  " + platform.text.FromAnsi(command),
               L"它按 config.ini 的 [Machines] 设置本机(同 /auto" + std::wstring(force ? L" /force" : L"") +
                   L"):设置不同时写入并重启一次,设置相同时什么也不做。",
               L"游戏序列号写进 SYSTEM 账户的 HKEY_CURRENT_USER。删除开机服务: VexaIpSet.exe /uninstall"},
              outcome, exit_code::kDone);
}

CafeOutput UninstallStartupService(Platform& platform) {
  const ServiceResult result = platform.services.Remove(kServiceName);
  switch (result.change) {
    case ServiceChange::Removed: {
      const std::wstring outcome = L"已删除开机服务 " + ServiceName();
      return Done(platform, RunMode::Uninstall, {outcome + L",以后开机不再自动设置。"}, outcome, exit_code::kDone);
    }
    case ServiceChange::Absent: {
      const std::wstring outcome = L"没有开机服务 " + ServiceName() + L",不用删除";
      return {outcome + L"。", exit_code::kDone};
    }
    default: {
      const std::wstring outcome = L"拒绝: 无法删除开机服务 " + ServiceName() + L": " + result.why;
      return Done(platform, RunMode::Uninstall, {outcome, L"请以管理员身份运行。"}, outcome, exit_code::kRefused);
    }
  }
}

}  // namespace vexa
