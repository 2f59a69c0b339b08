// The tool's command line, in the manner of Windows admin tools: /switch or -switch, names not
// case-sensitive.
//   VexaIpSet.exe                                  the window
//   VexaIpSet.exe /auto [/noreboot] [/force]                number and card from [Machines]
//   VexaIpSet.exe /n 15 [/card 2 | /card "描述"] [/noreboot] [/force]
//   VexaIpSet.exe /check [/n 15 [/card 2]]             reads only: is the plan in effect? every value before/after
//   VexaIpSet.exe /undo [/noreboot]                    the values the machine held before the tool changed it
//   VexaIpSet.exe /cards                               the cards, numbered as /card takes them
//   VexaIpSet.exe /wake [all | 区名 | N | N-M] ...      the seats woken (Wake-on-LAN), paced
//   VexaIpSet.exe /install [/force]                  the start-up service: /auto [/force] at every start
//   VexaIpSet.exe /uninstall                          the start-up service removed
//   VexaIpSet.exe /service [/force]                   what the service control manager starts
//   VexaIpSet.exe /table                               [Machines] built from VexaIpSet.log
//   VexaIpSet.exe /report                              VexaIpSet.html: a page of the whole cafe
//   VexaIpSet.exe /export dnsmasq [/force]             the log's seats for DHCP servers and routers
//   VexaIpSet.exe /?
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cafe/cafe_export.h"

namespace vexa {

struct CommandLine {
  enum class Mode {
    Window,
    Auto,
    Number,
    Undo,
    Table,
    Report,
    Export,
    Cards,
    Wake,
    Install,
    Uninstall,
    Service,
    Usage,
    Bad
  };
  Mode mode = Mode::Window;
  std::wstring number;               // /n
  std::optional<std::wstring> card;  // /card: a position from 1, a hardware address or a description
  bool noReboot = false;
  bool check = false;  // /check: write nothing, restart nothing, report what is in effect
  bool force = false;  // /force: write what the window would ask about (a gateway outside the subnet, a number
                       // the log gives another card or cannot confirm); with /export, leave conflicts out;
                       // with /install, the service's /auto takes it
  ExportFormat format = ExportFormat::Csv;  // /export
  std::vector<std::wstring> wake;           // /wake's words: all, a zone, N, N-M (none: all)
  std::wstring error;                       // Bad: what is wrong, in Chinese
};

// The arguments after the program's name, split as CommandLineToArgvW splits them.
std::vector<std::wstring> SplitArguments(std::wstring_view arguments);

CommandLine ParseCommandLine(std::wstring_view arguments);

// The usage text, lines joined by CR LF.
std::wstring UsageText();
// A /n that is no number config.ini allows, in digits (range: the numbers it allows, as Zones::RangeText
// says them; exit code 1); and what the console says of any bad arguments.
std::wstring NumberArgumentError(const std::wstring& number, const std::wstring& range);
// One line that says what is wrong and what to type instead, and where the usage is: a small console
// window keeps the mistake in sight.
std::wstring BadArgumentsText(const std::wstring& error);
inline constexpr std::wstring_view kSeeUsage = L"用 VexaIpSet.exe /? 查看用法";

}  // namespace vexa
