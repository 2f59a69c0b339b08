#include "app/command_line.h"

#include <cwctype>

#include "apply/machine_settings.h"
#include "common/exit_codes.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/version.h"
#include "log/run_log.h"

namespace vexa {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Folded(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

// Backslashes before a quote escape it in pairs; a quote inside quotes that is doubled stands for itself.
std::wstring NextArgument(std::wstring_view s, std::size_t& i) {
  std::wstring arg;
  bool quoted = false;
  while (i < s.size() && (quoted || !IsBlank(s[i]))) {
    std::size_t slashes = 0;
    while (i < s.size() && s[i] == L'\\') ++slashes, ++i;
    if (i < s.size() && s[i] == L'"') {
      arg.append(slashes / 2, L'\\');
      if (slashes % 2 == 1) {
        arg.push_back(L'"');
      } else if (quoted && i + 1 < s.size() && s[i + 1] == L'"') {
        arg.push_back(L'"');
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
      continue;
    }
    arg.append(slashes, L'\\');
    if (i < s.size() && (quoted || !IsBlank(s[i]))) arg.push_back(s[i++]);
  }
  return arg;
}

CommandLine Bad(std::wstring error) {
  CommandLine bad;
  bad.mode = CommandLine::Mode::Bad;
  bad.error = std::move(error);
  return bad;
}

// "/export FORMAT", with /force the only other switch (in any order).
CommandLine ExportCommandLine(const std::vector<std::wstring>& args, std::size_t at) {
  CommandLine command;
  command.mode = CommandLine::Mode::Export;
  const std::wstring formats = ExportFormatNames(L"、", L" 或 ");
  if (at + 1 >= args.size()) return Bad(args[at] + L" 后面缺少格式: " + formats);
  const std::optional<ExportFormat> format = ExportFormatNamed(args[at + 1]);
  if (!format) return Bad(args[at] + L" 后面应是 " + formats + L": " + args[at + 1]);
  command.format = *format;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i == at || i == at + 1) continue;
    const bool force = args[i].size() > 1 && (args[i][0] == L'/' || args[i][0] == L'-') &&
                       Folded(std::wstring_view(args[i]).substr(1)) == L"force";
    if (!force || command.force) return Bad(L"/export 只能再加 /force: " + args[i]);
    command.force = true;
  }
  return command;
}

// The switches taken together: what may go with what, and the number's digits.
CommandLine Checked(CommandLine command, bool automatic, bool undo, const std::optional<std::wstring>& number) {
  if (undo) {
    if (automatic || number || command.card || command.check || command.force) {
      return Bad(L"/undo 只能再加 /noreboot");
    }
    command.mode = CommandLine::Mode::Undo;
    return command;
  }
  if (automatic && number) return Bad(L"/auto 和 /n 不能同时使用");
  if (automatic && command.card) return Bad(L"/auto 从 [Machines] 找网卡,不能再用 /card");
  if (!number && command.card) return Bad(L"/card 需要和 /n 一起使用");
  if (!automatic && !number && !command.check) return Bad(L"需要 /auto、/n 机号、/check 或 /undo");
  if (command.check && command.force) return Bad(L"/check 只检查,不写入,不能再用 /force");
  // Whether the number is one config.ini allows the run decides, once it has read config.ini: its zones
  // may allow numbers past 254 (NumberArgumentError).
  command.mode = number ? CommandLine::Mode::Number : CommandLine::Mode::Auto;
  command.number = number.value_or(L"");
  return command;
}

}  // namespace

std::vector<std::wstring> SplitArguments(std::wstring_view s) {
  std::vector<std::wstring> args;
  std::size_t i = 0;
  while (true) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) return args;
    args.push_back(NextArgument(s, i));
  }
}

CommandLine ParseCommandLine(std::wstring_view arguments) {
  const std::vector<std::wstring> args = SplitArguments(arguments);
  CommandLine command;
  bool automatic = false;
  bool undo = false;
  std::optional<std::wstring> number;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) return Bad(L"无法识别的参数: " + arg);
    const std::wstring name = Folded(std::wstring_view(arg).substr(1));
    if (name == L"?" || name == L"h" || name == L"help") {
      command.mode = CommandLine::Mode::Usage;
      return command;
    }
    if (name == L"table" || name == L"report") {
      if (args.size() != 1) return Bad(L"/" + name + L" 不与其他参数同用");
      command.mode = name == L"table" ? CommandLine::Mode::Table : CommandLine::Mode::Report;
      return command;
    }
    if (name == L"export") return ExportCommandLine(args, i);
    const bool takesValue = name == L"n" || name == L"card";
    if (takesValue && i + 1 >= args.size()) return Bad(arg + L" 后面缺少值");
    if (name == L"auto" && !automatic) {
      automatic = true;
    } else if (name == L"noreboot" && !command.noReboot) {
      command.noReboot = true;
    } else if (name == L"undo" && !undo) {
      undo = true;
    } else if (name == L"check" && !command.check) {
      command.check = true;
    } else if (name == L"force" && !command.force) {
      command.force = true;
    } else if (name == L"n" && !number) {
      number = args[++i];
    } else if (name == L"card" && !command.card) {
      command.card = args[++i];
    } else {
      const bool known = takesValue || name == L"auto" || name == L"noreboot" || name == L"check" || name == L"force" ||
                         name == L"undo";
      return Bad((known ? L"参数重复: " : L"无法识别的参数: ") + arg);
    }
  }
  if (args.empty()) return command;
  return Checked(std::move(command), automatic, undo, number);
}

std::wstring NumberArgumentError(const std::wstring& number, const std::wstring& range) {
  return L"/n 后面应是 " + range + L" 的机号(只用数字): " + number;
}

std::wstring BadArgumentsText(const std::wstring& error) {
  return L"命令行参数错误: " + error + L"\r\n\r\n" + UsageText();
}

namespace {

// An exit code as the usage lists it: the number and a blank.
std::wstring Code(int code) { return IntText(code) + L" "; }

}  // namespace

std::wstring UsageText() {
  return JoinLines({
      L"VexaIpSet " + std::wstring(kProductVersion) + L" - 按 config.ini 设置本机的计算机名、IP 地址和游戏序列号",
      L"",
      L"  VexaIpSet.exe                          打开窗口",
      L"  VexaIpSet.exe /auto [/noreboot] [/force]",
      L"                                         用网卡地址在 config.ini 的 [Machines] 中找到本机的机号和网卡",
      L"  VexaIpSet.exe /n 机号 [/card 网卡] [/noreboot] [/force]",
      L"                                         /card: 网卡在列表中的序号(从 1 起)或完整的网卡描述;",
      L"                                         只有一块网卡时可以不写",
      L"  VexaIpSet.exe /check [/n 机号 [/card 网卡]]",
      L"                                         只检查,不写入,不重启:设置是否已在注册表中并" +
          std::wstring(kInEffect) + L";",
      L"                                         逐项列出注册表现在的值、将写入的值,相同或将改",
      L"  VexaIpSet.exe /undo [/noreboot]        恢复本程序第一次修改本机之前的设置(保存在本机注册表中),",
      L"                                         计算机名因此改变时重启",
      L"  VexaIpSet.exe /table                   按 VexaIpSet.log 生成 [Machines] 机器表(只显示,不写入)",
      L"  VexaIpSet.exe /report                  按日志生成全网吧机位一览网页 VexaIpSet.html(在日志旁边)",
      L"  VexaIpSet.exe /export 格式 [/force]    按日志导出 DHCP 保留地址或 IP-MAC 绑定(在日志旁边)",
      L"                                         格式: " + ExportFormatNames(L" ", L" "),
      L"  VexaIpSet.exe /?                       显示本说明",
      L"",
      L"  /noreboot  写入后不重新启动(默认写入后立即强制重启)。设置已经相同时什么也不写,也不重启。",
      L"  /force     默认网关不在本机子网内、日志说这个机号已给了别的网卡、或日志读不全无法确认时,仍然写入",
      L"             (窗口中会先询问;不加 /force 则拒绝);和 /export 同用时跳过冲突的机位,导出其余的。",
      L"  机号: 1-" + IntText(kLastMachine) + L";config.ini 有 [Zones] 时是某个区里的机号(1-" +
          IntText(kLastZonedMachine) + L"),按那个区的设置算出。",
      L"  结果写在命令行窗口和日志 VexaIpSet.log 中:日志在 config.ini 的 [Log] Folder= 指定的文件夹(例如服务器的",
      L"  共享文件夹),没有指定时在 config.ini 旁边。每次运行排队等日志的锁,最多 " +
          IntText(kLogQueueMilliseconds / 1000) + L" 秒;没拿到锁就什么",
      L"  也不写(退出码 " + IntText(exit_code::kRefused) + L",加 /force 也一样)。指定的文件夹用不了时,/n 同样什么",
      L"  也不写;/auto 和 /undo 照常写入,这次记在 config.ini 旁边。",
      L"",
      L"退出码: " + Code(exit_code::kDone) + L"已写入或已是这些设置(/check: " + std::wstring(kInEffect) + L")  " +
          Code(exit_code::kBadArguments) + L"参数错误  " + Code(exit_code::kRefused) + L"拒绝(原因见输出)",
      L"        " + Code(exit_code::kNotAllWritten) + L"有项目未能写入或恢复  " + Code(exit_code::kRestartRefused) +
          L"已写入但重启请求失败  " + Code(exit_code::kNotInEffect) +
          L"已写入但还没有生效(重启后 Windows 没有采用计算机名)",
      L"        " + Code(exit_code::kRegistryDiffers) + L"/check: 注册表与这些设置不同  " + Code(exit_code::kNoWindow) +
          L"窗口无法创建(没有可显示的桌面,例如在服务中运行)",
  });
}

}  // namespace vexa
