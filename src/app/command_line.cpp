#include "app/command_line.h"

#include <cwctype>

#include "apply/machine_settings.h"
#include "cafe/wake.h"
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

// A command's own words (args[at] up to args[end]) with /force the only other switch, in any order.
CommandLine WithForceOnly(CommandLine command, const std::vector<std::wstring>& args, std::size_t at, std::size_t end,
                          std::wstring_view name) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i >= at && i <= end) continue;
    const bool force = args[i].size() > 1 && (args[i][0] == L'/' || args[i][0] == L'-') &&
                       Folded(std::wstring_view(args[i]).substr(1)) == L"force";
    if (!force || command.force) return Bad(std::wstring(name) + L" 只能再加 /force: " + args[i]);
    command.force = true;
  }
  return command;
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
  return WithForceOnly(std::move(command), args, at, at + 1, L"/export");
}

// "/install" (the start-up service, its /auto with /force when given) and "/service" (what the service
// runs), with /force the only other switch.
CommandLine ServiceCommandLine(const std::vector<std::wstring>& args, std::size_t at, const std::wstring& name) {
  CommandLine command;
  command.mode = name == L"install" ? CommandLine::Mode::Install : CommandLine::Mode::Service;
  return WithForceOnly(std::move(command), args, at, at, L"/" + name);
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

namespace {

// A Chinese input method types full-width digits, and a full-width '／' or '－': on the command line they are
// the half-width ones (the number box keeps its own rule).
std::wstring HalfWidth(std::wstring arg) {
  if (!arg.empty() && (arg[0] == L'\xFF0F' || arg[0] == L'\xFF0D')) arg[0] = arg[0] == L'\xFF0F' ? L'/' : L'-';
  for (wchar_t& c : arg) {
    if (c >= L'\xFF10' && c <= L'\xFF19') c = static_cast<wchar_t>(L'0' + (c - L'\xFF10'));
  }
  return arg;
}

// A switch and its value written as one ("/n15", "-card2"): the spelling that works, or nothing.
std::optional<std::wstring> Unglued(const std::wstring& arg, const std::wstring& name) {
  for (const std::wstring_view takes : {std::wstring_view(L"card"), std::wstring_view(L"n")}) {
    if (name.size() <= takes.size() || !name.starts_with(takes)) continue;
    const std::wstring value = arg.substr(1 + takes.size());
    if (std::all_of(value.begin(), value.end(), IsDigit)) return arg.substr(0, 1 + takes.size()) + L" " + value;
  }
  return std::nullopt;
}

// "/wake" and the words after it (all, a zone, N, N-M; the run checks them against config.ini), nothing else.
CommandLine WakeCommandLine(const std::vector<std::wstring>& args, std::size_t at) {
  CommandLine command;
  command.mode = CommandLine::Mode::Wake;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i == at) continue;
    const std::wstring& word = args[i];
    const bool switchLike =
        !word.empty() && (word[0] == L'/' || (word[0] == L'-' && word.size() > 1 && !IsDigit(word[1])));
    if (i < at || switchLike) return Bad(L"/wake 只能跟 all、区名、机号或机号范围: " + word);
    command.wake.push_back(args[i]);
  }
  return command;
}

// A switch that stands alone (/table, /report, /cards, /uninstall).
CommandLine AloneCommandLine(const std::wstring& name, std::size_t arguments) {
  if (arguments != 1) {
    std::wstring alone = L"/" + name;
    alone += L" 不与其他参数同用,只写 VexaIpSet.exe /";
    return Bad(alone + name);
  }
  CommandLine command;
  command.mode = name == L"table"    ? CommandLine::Mode::Table
                 : name == L"report" ? CommandLine::Mode::Report
                 : name == L"cards"  ? CommandLine::Mode::Cards
                                     : CommandLine::Mode::Uninstall;
  return command;
}

// A switch given twice or not known: what is wrong, and the spelling that works where there is one.
std::wstring SwitchError(const std::wstring& arg, const std::wstring& name) {
  for (const wchar_t* known : {L"auto", L"noreboot", L"check", L"force", L"undo", L"n", L"card"}) {
    if (name == known) return L"参数重复: " + arg + L",只写一次";
  }
  if (const std::optional<std::wstring> apart = Unglued(arg, name)) {
    return L"无法识别的参数: " + arg + L",开关和数字之间要有空格: " + *apart;
  }
  return L"无法识别的参数: " + arg;
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
  std::vector<std::wstring> args = SplitArguments(arguments);
  for (std::wstring& arg : args) arg = HalfWidth(std::move(arg));
  CommandLine command;
  bool automatic = false;
  bool undo = false;
  std::optional<std::wstring> number;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) {
      return Bad(L"无法识别的参数: " + arg + L",开关以 / 或 - 开头(例如 /n 15)");
    }
    const std::wstring name = Folded(std::wstring_view(arg).substr(1));
    if (name == L"?" || name == L"h" || name == L"help") {
      command.mode = CommandLine::Mode::Usage;
      return command;
    }
    if (name == L"table" || name == L"report" || name == L"cards" || name == L"uninstall") {
      return AloneCommandLine(name, args.size());
    }
    if (name == L"install" || name == L"service") return ServiceCommandLine(args, i, name);
    if (name == L"export") return ExportCommandLine(args, i);
    if (name == L"wake") return WakeCommandLine(args, i);
    const bool takesValue = name == L"n" || name == L"card";
    if (takesValue && i + 1 >= args.size()) {
      std::wstring missing = arg + L" 后面缺少值,例如 ";
      missing += arg;
      return Bad(missing + (name == L"n" ? L" 15" : L" 2(网卡的序号,见 /cards)"));
    }
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
      return Bad(SwitchError(arg, name));
    }
  }
  if (args.empty()) return command;
  return Checked(std::move(command), automatic, undo, number);
}

std::wstring NumberArgumentError(const std::wstring& number, const std::wstring& range) {
  return L"/n 后面应是 " + range + L" 的机号(只用数字): " + number;
}

std::wstring BadArgumentsText(const std::wstring& error) {
  return L"命令行参数错误: " + error + L"\r\n" + std::wstring(kSeeUsage);
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
      L"                                         /card: 网卡的序号(从 1 起,见 /cards)、网卡地址(如 00-1A-2B-3C-4D-5E)",
      L"                                         或完整的网卡描述;",
      L"                                         只有一块网卡时可以不写",
      L"  VexaIpSet.exe /check [/n 机号 [/card 网卡]]",
      L"                                         只检查,不写入,不重启:设置是否已在注册表中并" +
          std::wstring(kInEffect) + L";",
      L"                                         逐项列出注册表现在的值、将写入的值,相同或将改",
      L"  VexaIpSet.exe /undo [/noreboot]        恢复本程序第一次修改本机之前的设置(保存在本机注册表中),",
      L"                                         计算机名因此改变时重启",
      L"  VexaIpSet.exe /cards                   列出本机的网卡:序号、描述、网卡地址、DHCP 或地址、连接名",
      L"  VexaIpSet.exe /wake [all | 区名 | 机号 | 机号-机号] ...",
      L"                                         唤醒机位(网络唤醒):网卡地址取自 [Machines] 和日志,按 [Wake]",
      L"                                         PerSecond= 每秒几台(默认 " + IntText(kWakeSeatsPerSecond) +
          L"),不写时唤醒全部",
      L"  VexaIpSet.exe /install [/force]        装上开机服务:每次开机、有人登录之前运行 /auto [/force]",
      L"  VexaIpSet.exe /uninstall               删除开机服务",
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
