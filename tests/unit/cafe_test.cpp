// The cafe the shared log shows: the [Machines] table, the page and the export built from a log, a log that
// cannot be read said as such.
#include <gtest/gtest.h>

#include <algorithm>

#include "cafe/cafe_export.h"
#include "cafe_fixture.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "common/version.h"
#include "log/log_text.h"
#include "row.h"
#include "shared_folder/shared_folder.h"

namespace vexa {
namespace {

using test::CafeTest;
using test::kA;
using test::kB;
using test::Line;

// Logs as a cafe's shared folder holds them: /table takes only lines that vouch, and says what it skipped.
TEST_F(CafeTest, TheTableTakesOnlyWhatTheLogVouchesFor) {
  const std::wstring a(kA);
  const std::wstring b(kB);
  PutLog(Line(L"/n", L"已写入", L"015", a, L"0", a + L"=015") + L"\r\n" +
             Line(L"/n", L"拒绝: x", L"20", L"00-00-00-00-00-03", L"2", L"") + L"\r\n" +
             Line(L"/check", L"检查: 已生效", L"16", L"00-00-00-00-00-06", L"0", L"") + L"\r\n" +
             Line(L"/n", L"已写入", L"15", b, L"", b + L"=15") + L"\r\n" +
             Line(L"/n", L"已写入", L"0", L"00-00-00-00-00-07", L"0", L"00-00-00-00-00-07=0") + L"\r\n" +
             // A number config.ini (without [Zones]) does not allow: no line the table could read.
             Line(L"/n", L"已写入", L"255", L"00-00-00-00-00-09", L"0", L"00-00-00-00-00-09=255") + L"\r\n" +
             // A blank line is no line of the tool's, nor a skipped one.
             // Keys no card has; a malformed one (it would break the line it is on) is no line of the tool's.
             Line(L"/n", L"已写入", L"6", L"FF-FF-FF-FF-FF-FF", L"0", L"FF-FF-FF-FF-FF-FF=6") + L"\r\n" +
             Line(L"/n", L"已写入", L"14", L"00-1A-2B-3C-4D-0E;touch", L"0", L"") + L"\r\n" +
             Line(L"/n", L"已写入", L"23", L"00-1A-2B-3C-4D", L"0", L"") + L"\r\n" +
             Line(L"/n", L"已写入", L"22", L"00:00:00:00:00:0f", L"0", L"00:00:00:00:00:0f=22") + L"\r\n" +
             L"\r\ngarbage\r\n" + Line(L"/n", L"已写入", L"21", L"00-00-00-00-00-08", L"0", L"00-00-00-00-00-08=2"),
         Line(L"/n", L"已写入", L"3", L"00-00-00-00-00-02", L"0", L"00-00-00-00-00-02=3") + L"\r\n");
  sim.PutConfig(L"[Log]\r\nFolder=\\\\server\\gone\r\n");  // not reached: the log beside config.ini is read
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_EQ(
      Output(),
      L"[Machines]\r\n00-00-00-00-00-02=3\r\n00-00-00-00-00-0A=015\r\n00-00-00-00-00-0B=15\r\n"
      L"00-00-00-00-00-0F=22\r\n"
      L"; 冲突: 机号 15 给了 2 个地址: 00-00-00-00-00-0A, 00-00-00-00-00-0B\r\n"
      L"; 00-00-00-00-00-03 没有一行可作依据(写入全部成功、机号有效),最后一次: 2026-12-01 10:00:00 拒绝: x, 机号 20\r\n"
      L"; 00-00-00-00-00-07 没有一行可作依据(写入全部成功、机号有效),最后一次: 2026-12-01 10:00:00 已写入, 机号 0\r\n"
      L"; 没有列出 00-00-00-00-00-09=255: 机号不在 config.ini 允许的 1-254 中\r\n"
      L"; 没有列出 FF-FF-FF-FF-FF-FF: 不是网卡的地址(组播、广播、全 0 或不是 6 个十六进制字节)\r\n"
      L"; 日志文件夹 \\\\server\\gone 无法访问,读的是 C:\\VexaIpSet\\VexaIpSet.log。\r\n"
      L"; 跳过了日志中无法信任的 4 行: 1 行不完整(写入时被中断), 1 行不是本程序写的格式, 2 "
      L"行有重复或无法读取的列(可能是更新版本写的,或被人改过)\r\n");
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n跳过了日志中无法信任的 4 行"), std::wstring::npos) << sim.console.output;
  // A page another program holds open is said as held.
  const std::string page = sim.system.moduleDirectory + "\\VexaIpSet.html";
  sim.files.Hold(page, true);
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"网页 C:\\VexaIpSet\\VexaIpSet.html 被其他程序打开着,无法替换"), std::wstring::npos);
  sim.files.Hold(page, false);
  // A page that cannot replace the old one says Windows' reason and leaves no new file behind.
  sim.files.BlockReplace(sim.system.moduleDirectory + "\\VexaIpSet.html");
  const std::size_t files = sim.files.Count();
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_EQ(sim.files.Count(), files);
  EXPECT_NE(
      Output().find(L"网页 C:\\VexaIpSet\\VexaIpSet.html 无法替换:Windows 拒绝改名(在这个文件夹里没有删除或改名的权限"),
      std::wstring::npos)
      << ToUtf8(Output());
  // A share whose client refuses to rename: the page is written in place, no new file left.
  {
    sim::SimPlatform other;
    Platform p = other.platform();
    other.files.AddFolder("C:\\share");
    other.files.FailRenameOnto("C:\\share\\VexaIpSet.html");
    other.files.Put("C:\\share\\VexaIpSet.html", "old page");
    EXPECT_TRUE(WriteInFolder(p, "C:\\share", "VexaIpSet.html", "new page").problem.empty());
    EXPECT_EQ(other.files.Get("C:\\share\\VexaIpSet.html"), "new page");
    EXPECT_EQ(other.files.CountIn("C:\\share"), 1u);
  }
  // A share that grants no deleting: the new file it could not remove is named for the operator.
  const std::string next =
      sim.system.moduleDirectory + "\\vxi" + std::to_string(sim.files.TempFilesMade() + 1) + ".tmp";
  sim.files.KeepFile(next);
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"临时文件 " + sim.text.FromAnsi(next) + L" 没能删除,请手动删除。"), std::wstring::npos)
      << ToUtf8(Output());
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"网页 C:\\VexaIpSet\\VexaIpSet.html 无法写入(文件夹只读或没有权限)。"), std::wstring::npos);
}

// A log that a person opened in Notepad and saved again is read as it was saved.
TEST_F(CafeTest, ALogReSavedInNotepadIsReadAsSaved) {
  const std::wstring line = Line(L"/n", L"已写入", L"15", kA, L"0", std::wstring(kA) + L"=15") + L"\r\n";
  std::string utf16le = "\xFF\xFE";
  std::string utf16be = "\xFE\xFF";
  for (wchar_t c : line) {
    utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  for (const std::string& bytes : {sim.text.ToAnsi(line), utf16le, utf16be, ToUtf8(line)}) {
    sim.files.Put(log, bytes);
    EXPECT_EQ(Run(L"/table"), exit_code::kDone) << sim.console.output;
    EXPECT_EQ(Output(), L"[Machines]\r\n00-00-00-00-00-0A=15\r\n");
  }
}

// A log that cannot be read whole is said and the run exits 2: never a silent empty table or page.
TEST_F(CafeTest, ALogThatCannotBeReadIsSaid) {
  const std::string line = ToUtf8(Line(L"/n", L"已写入", L"15", kA, L"0", std::wstring(kA) + L"=15") + L"\r\n");
  const struct {
    int line;
    std::string bytes;
    const wchar_t* says;
  } cases[] = {
      ROW(line + std::string(kLogReadLimit, 'x'), L"VexaIpSet.log: 大于 2112 KB,不是本程序写成的日志"),
      ROW(std::string(5000, 'x') + "\r\n" + "garbage\r\n",
          L"跳过了日志中无法信任的 2 行: 1 行过长, 1 行不是本程序写的格式"),
      ROW("", L"VexaIpSet.log 中还没有任何记录。"),
      ROW(ToUtf8(Line(L"/n", L"已写入", L"15", kA, L"", L"", L"IPX 网络号") + L"\n"),  // a bare LF
          L"跳过了日志中无法信任的 1 行: 1 行不是本程序写的格式"),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.files.Put(log, c.bytes);
    for (const wchar_t* command : {L"/table", L"/report"}) {
      EXPECT_EQ(Run(command), exit_code::kRefused) << command;
      EXPECT_NE(Output().find(c.says), std::wstring::npos) << sim.console.output;
      EXPECT_EQ(Output().find(L"[Machines]"), std::wstring::npos);
      EXPECT_EQ(Output().find(L"还没有任何记录") != std::wstring::npos, c.bytes.empty());
      EXPECT_EQ(Page(), "");
    }
  }
  sim.files.Put(log, line);
  sim.files.Hold(log, true);  // open in another program without sharing
  EXPECT_EQ(Run(L"/table"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"VexaIpSet.log: 被其他程序占用,等了 3 秒仍无法读取"), std::wstring::npos);
  sim.files.Hold(log, false);
  sim.files.Put(log, "");
  EXPECT_EQ(Run(L"/table"), exit_code::kRefused);
  EXPECT_EQ(Output(), L"日志 C:\\VexaIpSet\\VexaIpSet.log 中还没有任何记录。\r\n");
  sim.files.Put(log, line + std::string(kLogReadLimit - line.size(), 'x'));  // as large as a log may be
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  // A torn last line may end inside a character: the lines before it are still read.
  sim.files.Put(log, line + "2026-12-01 10:00:00\t/n\t\xE5\xB7");
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"00-00-00-00-00-0A=15\r\n; 跳过了日志中无法信任的 1 行: 1 行不完整"), std::wstring::npos);
  // A crash's NUL bytes where a line was being written: one torn stretch, the lines around it read.
  sim.files.Put(log, line + "2026-12-01 10:00:01\t/n" + std::string(700, '\0') + line);
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"跳过了日志中无法信任的 1 行: 1 行被 NUL 字节取代(写入时断电或死机)"), std::wstring::npos)
      << sim.console.output;
}

// Each seat's state on the page as its cell shows it: word, mark and colour.
struct SeatCellRow {
  int line;
  int number;
  const wchar_t* cell;
};
const SeatCellRow kSeatCells[] = {
    // Looked at since (/check): said apart, never the seat's state; a look at another number changes no seat.
    ROW(12,
        L"<div class=\"c ok\" title=\"已生效: 已是这些设置; 已检查 12-01 10:05: 注册表与计划不同\"><b>12</b><i>✓</i>"
        L"<u>WB-12</u><u>12-01 10:00</u>"),
    ROW(61, L"<div class=\"c no\" title=\"没有记录: \"><b>61</b>"),
    ROW(13, L"<div class=\"c wa\" title=\"已写入,等待重启或计算机名未生效: 已写入, 已请求重启\"><b>13</b><i>↻</i>"),
    ROW(14, L"<div class=\"c no2\" title=\"拒绝或未写入: 拒绝: 机号 &lt;b&gt;\"><b>14</b><i>✗</i>"),
    ROW(15, L"<b>15</b><i>⚠</i><u>00-00-00-00-00-0D</u><u>00-00-00-00-00-0E</u>"),
    ROW(30, L"<div class=\"c li\" title=\"在机器表中,还没有运行: 机器表: 00-00-00-00-00-0C\"><b>30</b><i>○</i></div>"),
    ROW(31, L"<div class=\"c no\" title=\"没有记录: \"><b>31</b><i></i></div>"),
    ROW(16, L"<div class=\"c no2\" title=\"拒绝或未写入: 拒绝: y\"><b>16</b>"),
    ROW(17, L"<div class=\"c no2\" title=\"拒绝或未写入: 已写入, 部分未写入\"><b>17</b>"),
    ROW(18, L"<div class=\"c no\" title=\"没有记录: \"><b>18</b>"),
    ROW(19, L"<div class=\"c no\" title=\"没有记录: \"><b>19</b>"),
    ROW(24, L"<div class=\"c wa\" title=\"已写入,等待重启或计算机名未生效: 已写入\"><b>24</b>"),
};

// Each seat's state on the page, with its word and mark besides its colour.
TEST_F(CafeTest, ThePageShowsEachSeatInItsState) {
  const std::wstring a(kA);
  const std::wstring b(kB);
  const std::wstring d = L"00-00-00-00-00-0D";
  const std::wstring e = L"00-00-00-00-00-0E";
  PutLog(
      Line(L"/auto", L"已是这些设置", L"12", a, L"0", a + L"=12") + L"\r\n" +     // in effect
      Line(L"/n", L"已写入, 已请求重启", L"13", b, L"0", b + L"=13") + L"\r\n" +  // restart asked
      Line(L"/n", L"拒绝: 机号 <b>", L"14", d, L"2", L"") + L"\r\n" +             // refused
      Line(L"/n", L"已写入", L"15", d, L"0", d + L"=15") + L"\r\n" +              // two cards on 15
      Line(L"窗口", L"已写入", L"15", e, L"0", e + L"=15") + L"\r\n" +
      // Lines of an earlier version, without the exit code: their outcome decides.
      Line(L"/n", L"拒绝: y", L"16", L"", L"", L"") + L"\r\n" +
      Line(L"/n", L"已写入, 部分未写入", L"17", L"", L"", L"", L"IPX") + L"\r\n" +
      Line(L"/check", L"检查: 已生效", L"18", L"", L"", L"") + L"\r\n" +
      Line(L"/check", L"检查: 注册表与 config.ini 算出的设置不同", L"19", L"", L"", L"") + L"\r\n" +
      Line(L"/n", L"已写入", L"24", L"", L"", L"") + L"\r\n" +
      Line(L"/check", L"检查: 注册表与 config.ini 算出的设置不同", L"61", a, L"6", L"", L"", L"2026-12-01 10:04:00") +
      L"\r\n" +
      Line(L"/check", L"检查: 注册表与 config.ini 算出的设置不同", L"12", a, L"6", L"", L"", L"2026-12-01 10:05:00") +
      L"\r\n");
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(
      Output().find(L"已生成网页: C:\\VexaIpSet\\VexaIpSet.html\r\n机位: 没有记录 246, 在机器表中,还没有运行 1, "
                    L"已生效 1, 已写入,等待重启或计算机名未生效 2, 拒绝或未写入 3, 已撤销 0, 一个机号给了两块网卡 1"),
      std::wstring::npos)
      << sim.console.output;
  const std::string page = Page();
  for (const SeatCellRow& row : kSeatCells) {
    TRACE_ROW(row);
    EXPECT_NE(page.find(ToUtf8(row.cell)), std::string::npos) << row.number;
  }
  EXPECT_NE(page.find("<b>254</b>"), std::string::npos);
  EXPECT_NE(
      page.find(ToUtf8(
          L"<tr><td>12</td><td>✓ 已生效</td><td class=\"n\">00-00-00-00-00-0A</td><td class=\"n\">192.168.0.12</td>"
          L"<td>WB-12</td><td class=\"n\">2026-12-01 10:00:00</td><td>已是这些设置; 已检查 12-01 10:05: "
          L"注册表与计划不同</td><td>1</td><td></td></tr>")),
      std::string::npos);
  EXPECT_EQ(page.find("<tr><td>31</td>"), std::string::npos) << "a seat never seen has no row";
  EXPECT_NE(page.find("<meta http-equiv=\"refresh\" content=\"30\">"), std::string::npos);
  EXPECT_NE(
      page.find(ToUtf8(
          L"<tr><td>15</td><td>⚠ 一个机号给了两块网卡</td><td class=\"n\">00-00-00-00-00-0D, 00-00-00-00-00-0E</td>")),
      std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"\">没有记录: 246</span> <span class=\"c li\">○ 在机器表中")), std::string::npos);
  EXPECT_EQ(Output().find(L"跳过"), std::wstring::npos) << "no line was skipped";
  EXPECT_NE(page.find(ToUtf8(L"<pre>00-00-00-00-00-0B=13\n00-00-00-00-00-0D=15\n00-00-00-00-00-0E=15\n</pre>")),
            std::string::npos);  // ready [Machines] lines for the cards the table lacks
  EXPECT_NE(page.find(ToUtf8(L"<pre>00-00-00-00-00-0C=30\n</pre>")), std::string::npos);  // never run
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(
      page.find(ToUtf8(
          L"</span> <span>版本: " + std::wstring(kProductVersion) +
          L"</span> <span>导出给 DHCP 服务器或路由器: VexaIpSet.exe /export "
          L"dnsmasq|<wbr>dhcpd|<wbr>dhcpd-hosts|<wbr>kea|<wbr>kea-reservations|<wbr>netsh|<wbr>arp|<wbr>csv</span>")),
      std::string::npos);
  EXPECT_NE(page.find("<span>IPOffset=0</span> <span>Mask=255.255.255.0</span>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("://"), std::string::npos) << "nothing fetched";
  EXPECT_EQ(sim.files.CountIn(sim.system.moduleDirectory), 4u) << "config.ini, the log, .old and the page";
}

// A page name that is a link is never written through, whatever kind of link.
TEST_F(CafeTest, APageNameThatIsALinkIsNeverWrittenThrough) {
  PutLog(Line(L"/n", L"已写入", L"15", kA, L"0", std::wstring(kA) + L"=15") + L"\r\n");
  ASSERT_EQ(Run(L"/report"), exit_code::kDone);
  const std::string page = Page();
  sim.files.Links(sim.system.moduleDirectory + "\\VexaIpSet.html", 2);
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"网页 C:\\VexaIpSet\\VexaIpSet.html 是链接"), std::wstring::npos);
  EXPECT_EQ(Page(), page);
  const std::string html = sim.system.moduleDirectory + "\\VexaIpSet.html";
  sim.files.RemoveFile(html.c_str());
  sim.files.DanglingLink(html);
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_EQ(Page(), "");
}
}  // namespace
}  // namespace vexa
