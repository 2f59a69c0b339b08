// The cafe the shared log shows: the [Machines] table, the page and the export built from a log, a log that
// cannot be read said as such.
#include <gtest/gtest.h>

#include <algorithm>

#include "cafe/cafe_export.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "common/version.h"
#include "log/log_text.h"
#include "row.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::kA;
using test::kB;
using test::Line;

// The cafe's table, page and export built from a log.
class CafeTest : public test::UnattendedTest {
 protected:
  CafeTest() {
    sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-00-00-00-00-0C=30\r\n00-00-00-00-00-0A=12\r\n");
  }
  void PutLog(const std::wstring& lines, const std::wstring& old = L"") {
    sim.files.Put(log + ".old", "\xEF\xBB\xBF" + ToUtf8(old));
    sim.files.Put(log, "\xEF\xBB\xBF" + ToUtf8(lines));
  }
  std::string Page() { return FileBeside("VexaIpSet.html"); }
};

// Logs as a cafe's shared folder holds them: /table takes only lines that vouch, and says what it skipped.
TEST_F(CafeTest, TheTableTakesOnlyWhatTheLogVouchesFor) {
  const std::wstring a(kA);
  const std::wstring b(kB);
  PutLog(Line(L"/n", L"已写入", L"015", a, L"0", a + L"=015") + L"\r\n" +
             Line(L"/n", L"拒绝: x", L"20", L"00-00-00-00-00-03", L"2", L"") + L"\r\n" +
             Line(L"/check", L"检查: 已生效", L"16", L"00-00-00-00-00-06", L"0", L"") + L"\r\n" +
             Line(L"/n", L"已写入", L"15", b, L"", b + L"=15") + L"\r\n" +
             Line(L"/n", L"已写入", L"0", L"00-00-00-00-00-07", L"0", L"00-00-00-00-00-07=0") + L"\r\n" +
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
      L"; 00-00-00-00-00-06 没有一行可作依据(写入全部成功、机号有效),最后一次: 2026-12-01 10:00:00 检查: 已生效, "
      L"机号 16\r\n"
      L"; 00-00-00-00-00-07 没有一行可作依据(写入全部成功、机号有效),最后一次: 2026-12-01 10:00:00 已写入, 机号 0\r\n"
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
  // A page that cannot replace the old one leaves no new file behind.
  sim.files.BlockReplace(sim.system.moduleDirectory + "\\VexaIpSet.html");
  const std::size_t files = sim.files.Count();
  EXPECT_EQ(Run(L"/report"), exit_code::kRefused);
  EXPECT_EQ(sim.files.Count(), files);
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
    ROW(12, L"<div class=\"c ok\" title=\"已生效: 已是这些设置\"><b>12</b><i>✓</i><u>WB-12</u><u>12-01 10:00</u>"),
    ROW(13, L"<div class=\"c wa\" title=\"已写入,等待重启或计算机名未生效: 已写入, 已请求重启\"><b>13</b><i>↻</i>"),
    ROW(14, L"<div class=\"c no2\" title=\"拒绝或未写入: 拒绝: 机号 &lt;b&gt;\"><b>14</b><i>✗</i>"),
    ROW(15, L"<b>15</b><i>⚠</i><u>00-00-00-00-00-0D</u><u>00-00-00-00-00-0E</u>"),
    ROW(30, L"<div class=\"c li\" title=\"在机器表中,还没有运行: 机器表: 00-00-00-00-00-0C\"><b>30</b><i>○</i></div>"),
    ROW(31, L"<div class=\"c no\" title=\"没有记录: \"><b>31</b><i></i></div>"),
    ROW(16, L"<div class=\"c no2\" title=\"拒绝或未写入: 拒绝: y\"><b>16</b>"),
    ROW(17, L"<div class=\"c no2\" title=\"拒绝或未写入: 已写入, 部分未写入\"><b>17</b>"),
    ROW(18, L"<div class=\"c ok\" title=\"已生效: 检查: 已生效\"><b>18</b>"),
    ROW(19, L"<div class=\"c no2\" title=\"拒绝或未写入: 检查: 注册表与 config.ini 算出的设置不同\"><b>19</b>"),
    ROW(24, L"<div class=\"c wa\" title=\"已写入,等待重启或计算机名未生效: 已写入\"><b>24</b>"),
};

// Each seat's state on the page, with its word and mark besides its colour.
TEST_F(CafeTest, ThePageShowsEachSeatInItsState) {
  const std::wstring a(kA);
  const std::wstring b(kB);
  const std::wstring d = L"00-00-00-00-00-0D";
  const std::wstring e = L"00-00-00-00-00-0E";
  PutLog(Line(L"/auto", L"已是这些设置", L"12", a, L"0", a + L"=12") + L"\r\n" +     // in effect
         Line(L"/n", L"已写入, 已请求重启", L"13", b, L"0", b + L"=13") + L"\r\n" +  // restart asked
         Line(L"/n", L"拒绝: 机号 <b>", L"14", d, L"2", L"") + L"\r\n" +             // refused
         Line(L"/n", L"已写入", L"15", d, L"0", d + L"=15") + L"\r\n" +              // two cards on 15
         Line(L"窗口", L"已写入", L"15", e, L"0", e + L"=15") + L"\r\n" +
         // Lines of an earlier version, without the exit code: their outcome decides.
         Line(L"/n", L"拒绝: y", L"16", L"", L"", L"") + L"\r\n" +
         Line(L"/n", L"已写入, 部分未写入", L"17", L"", L"", L"", L"IPX") + L"\r\n" +
         Line(L"/check", L"检查: 已生效", L"18", L"", L"", L"") + L"\r\n" +
         Line(L"/check", L"检查: 注册表与 config.ini 算出的设置不同", L"19", L"", L"", L"") + L"\r\n" +
         Line(L"/n", L"已写入", L"24", L"", L"", L"") + L"\r\n");
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(
      Output().find(L"已生成网页: C:\\VexaIpSet\\VexaIpSet.html\r\n机位: 没有记录 244, 在机器表中,还没有运行 1, "
                    L"已生效 2, 已写入,等待重启或计算机名未生效 2, 拒绝或未写入 4, 已撤销 0, 一个机号给了两块网卡 1"),
      std::wstring::npos)
      << sim.console.output;
  const std::string page = Page();
  for (const SeatCellRow& row : kSeatCells) {
    TRACE_ROW(row);
    EXPECT_NE(page.find(ToUtf8(row.cell)), std::string::npos) << row.number;
  }
  EXPECT_NE(page.find("<b>254</b>"), std::string::npos);
  EXPECT_NE(
      page.find(ToUtf8(L"<tr><td>12</td><td>✓ 已生效</td><td>00-00-00-00-00-0A</td><td>192.168.0.12</td>"
                       L"<td>WB-12</td><td>2026-12-01 10:00:00</td><td>已是这些设置</td><td>1</td><td></td></tr>")),
      std::string::npos);
  EXPECT_EQ(page.find("<tr><td>31</td>"), std::string::npos) << "a seat never seen has no row";
  EXPECT_NE(
      page.find(ToUtf8(L"<tr><td>15</td><td>⚠ 一个机号给了两块网卡</td><td>00-00-00-00-00-0D, 00-00-00-00-00-0E</td>")),
      std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"\">没有记录: 244</span> <span class=\"c li\">○ 在机器表中")), std::string::npos);
  EXPECT_EQ(Output().find(L"跳过"), std::wstring::npos) << "no line was skipped";
  EXPECT_NE(page.find(ToUtf8(L"<pre>00-00-00-00-00-0B=13\n00-00-00-00-00-0D=15\n00-00-00-00-00-0E=15\n</pre>")),
            std::string::npos);  // ready [Machines] lines for the cards the table lacks
  EXPECT_NE(page.find(ToUtf8(L"<pre>00-00-00-00-00-0C=30\n</pre>")), std::string::npos);  // never run
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"</span> <span>版本: " + std::wstring(kProductVersion) +
                             L"</span> <span>导出给 DHCP 服务器或路由器: VexaIpSet.exe /export "
                             L"dnsmasq|dhcpd|kea|netsh|arp|csv</span>")),
            std::string::npos);
  EXPECT_NE(page.find("<span>IPOffset=0</span> <span>Mask=255.255.255.0</span>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos) << "nothing fetched";
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

// A line as a run of a seat writes it: number, card, host name, the address's last part, outcome, exit code,
// the address's first three parts.
std::wstring SeatLine(int number, const wchar_t* mac, const std::wstring& host, int ip, const wchar_t* outcome,
                      int code, const wchar_t* net = L"192.168.0.") {
  RunRecord r;
  r.mode = RunMode::Number;
  r.outcome = outcome;
  r.number = std::to_wstring(number);
  r.hostName = host;
  r.ipAddress = net + std::to_wstring(ip);
  r.card = L"NIC";
  r.address = mac;
  r.exitCode = code;
  r.inPlace = code != exit_code::kRefused;
  if (code == exit_code::kNotAllWritten) r.notWritten = {L"游戏序列号"};
  return LogLine(LocalTime{2026, 12, 1, 10, 0, number % 60}, r) + L"\r\n";
}

// /export: one log, each format's file. Seats: 3 only in .old; 15 in effect; 16 written; 17 a name of
// digits (dnsmasq would read a lease time); 18 vouched, then a run that wrote only part; 20 on two cards;
// 21 a Chinese host name; 22 and 23 two cards given one IP; 24 an IP no address; 254 the last seat.
class ExportLogTest : public CafeTest {
 protected:
  ExportLogTest() {
    PutLog(SeatLine(15, L"00-00-00-00-00-15", L"WB-15", 15, L"已是这些设置", 0) +
               SeatLine(16, L"00-00-00-00-00-16", L"WB-16", 16, L"已写入", 0) +
               SeatLine(17, L"00-00-00-00-00-17", L"17", 17, L"已写入", 0) +
               SeatLine(18, L"00-00-00-00-00-18", L"WB-18", 18, L"已写入", 0) +
               SeatLine(18, L"00-00-00-00-00-18", L"WB-18", 18, L"已写入, 部分未写入", 3) +
               SeatLine(20, L"00-00-00-00-00-20", L"WB-20", 20, L"已写入", 0) +
               SeatLine(20, L"00-00-00-00-00-2F", L"WB-20", 20, L"已写入", 0) +
               SeatLine(21, L"00-00-00-00-00-21", L"网吧21", 21, L"已写入", 0) +
               SeatLine(22, L"00-00-00-00-00-22", L"WB-22", 22, L"已写入", 0) +
               SeatLine(23, L"00-00-00-00-00-23", L"WB-23", 22, L"已写入", 0) +
               SeatLine(24, L"00-00-00-00-00-24", L"WB-24", 300, L"已写入", 0) +  // a line edited by hand
               SeatLine(254, L"00-00-00-00-00-FE", L"WB-254", 254, L"已写入", 0),
           SeatLine(3, L"00-00-00-00-00-03", L"WB-3", 3, L"已写入", 0));
  }
  std::string File(const char* name) {
    return sim.files.Get(sim.system.moduleDirectory + "\\" + name).value_or("(none)");
  }
  // The first line of every file but the CSV.
  const std::string note = ToUtf8(L"VexaIpSet " + std::wstring(kProductVersion)) + " /export, 2026-12-08 09:30:05";
};

// One number or one IP on two cards stops the formats a server reads, and says every seat left out and why.
TEST_F(ExportLogTest, ConflictsStopTheServersFormatsUnlessForced) {
  EXPECT_EQ(Run(L"/export dnsmasq"), exit_code::kRefused);
  EXPECT_EQ(Output(),
            L"冲突: 机号 20 给了 2 块网卡: 00-00-00-00-00-20, 00-00-00-00-00-2F\r\n"
            L"冲突: IP 192.168.0.22 写给了 2 块网卡: 00-00-00-00-00-22(机号 22), 00-00-00-00-00-23(机号 23)\r\n"
            L"最后一次拒绝或没有全部写入的机位没有导出: 机号 18\r\n"
            L"没有导出机号 24: 日志中的 IP 地址 192.168.0.300 不是有效的地址\r\n"
            L"计算机名不是有效的 DNS 名称(只能用字母、数字和 -),只导出了地址: 机号 21(网吧21)\r\n"
            L"计算机名只有数字,dnsmasq 会把它当作租期,只导出了地址: 机号 17\r\n"
            L"没有导出:服务器不会接受一个机号、一个 IP 或一个计算机名给两块网卡。改正后再导出;要导出其余的机位,请加 "
            L"/force。\r\n");
  EXPECT_EQ(File("VexaIpSet-dnsmasq.conf"), "(none)");
}

TEST_F(ExportLogTest, TheCsvShowsEverySeatThePageShows) {
  // The CSV: every seat the page shows, conflicts as a state, names as written; no /force needed.
  EXPECT_EQ(Run(L"/export csv"), exit_code::kDone);
  const std::string csv = File("VexaIpSet-csv.csv");
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find(ToUtf8(L"\r\n20,192.168.0.20,00-00-00-00-00-20 00-00-00-00-00-2F,WB-20,2026-12-01 10:00:20,"
                            L"一个机号给了两块网卡\r\n21,192.168.0.21,00-00-00-00-00-21,网吧21,")),
            std::string::npos);
  EXPECT_NE(csv.find(ToUtf8(L"\r\n30,,00-00-00-00-00-0C,,,\"在机器表中,还没有运行\"\r\n")), std::string::npos) << csv;
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 14) << "the header and 13 seats";
}

TEST_F(ExportLogTest, DnsmasqAndDhcpdTakeTheSeatsAServerCan) {
  EXPECT_EQ(Run(L"/export dnsmasq /force"), exit_code::kDone);
  EXPECT_NE(Output().find(L"冲突的机位没有导出: 机号 20, 22, 23\r\n"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Output().find(L"计算机名只有数字,dnsmasq 会把它当作租期,只导出了地址: 机号 17\r\n"
                          L"已导出 6 个机位: C:\\VexaIpSet\\VexaIpSet-dnsmasq.conf"),
            std::wstring::npos);
  EXPECT_EQ(File("VexaIpSet-dnsmasq.conf"), "# " + note +
                                                "\ndhcp-host=00:00:00:00:00:03,192.168.0.3,WB-3\n"
                                                "dhcp-host=00:00:00:00:00:15,192.168.0.15,WB-15\n"
                                                "dhcp-host=00:00:00:00:00:16,192.168.0.16,WB-16\n"
                                                "dhcp-host=00:00:00:00:00:17,192.168.0.17\n"
                                                "dhcp-host=00:00:00:00:00:21,192.168.0.21\n"
                                                "dhcp-host=00:00:00:00:00:fe,192.168.0.254,WB-254\n");
  EXPECT_EQ(Run(L"-EXPORT DHCPD -force"), exit_code::kDone);
  // The hosts inside their subnet's declaration, with its routers.
  EXPECT_NE(File("VexaIpSet-dhcpd.conf")
                .find("\nsubnet 192.168.0.0 netmask 255.255.255.0 {\n  option routers 192.168.0.1;\n  host WB-3 {\n"),
            std::string::npos)
      << File("VexaIpSet-dhcpd.conf");
  EXPECT_NE(File("VexaIpSet-dhcpd.conf")
                .find("\n  host WB-16 {\n    hardware ethernet 00:00:00:00:00:16;\n"
                      "    fixed-address 192.168.0.16;\n  }\n  host 17 {\n"),
            std::string::npos);
  EXPECT_NE(File("VexaIpSet-dhcpd.conf").find("\n  }\n  host seat-21 {\n"), std::string::npos) << "a name of its own";
}

// A venue's page: the zones' names linking to their grids, each grid under its heading with its own counts,
// and the numbers no zone holds named on the page and on the console.
TEST_F(CafeTest, APageOfZonesHasAHeadingAndCountsForEach) {
  sim.PutConfig(
      L"[NetWork]\r\n[Zones]\r\n一楼=1-200\r\n二楼=201-400\r\n[一楼]\r\n[二楼]\r\nIP=192.168.1\r\n"
      L"IPOffset=-200\r\nGateWay=192.168.1.254\r\nMask=255.255.254.0\r\n");
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"WB-5", 5, L"已是这些设置", 0) +
         SeatLine(215, L"00-00-00-00-02-15", L"WB-215", 15, L"已写入", 0, L"192.168.1.") +
         SeatLine(450, L"00-00-00-00-04-50", L"WB-450", 50, L"已写入", 0));
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n日志中这些机号不在 config.ini 的任何区里,没有列出: 450"), std::wstring::npos)
      << sim.console.output;
  const std::string page = Page();
  EXPECT_NE(page.find(ToUtf8(L"<span><a href=\"#z1\">一楼</a></span> <span><a href=\"#z2\">二楼</a></span>")),
            std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"<h2 id=\"z2\">二楼 <small>201-400 · 192.168.0.0/23 · 网关 192.168.1.254</small></h2>\n"
                             L"<div class=\"lg\"> <span class=\"c no\">没有记录: 199</span>")),
            std::string::npos)
      << page;
  EXPECT_NE(page.find(ToUtf8(L"<b>400</b>")), std::string::npos);
  EXPECT_EQ(page.find(ToUtf8(L"<b>401</b>")), std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"日志中这些机号不在 config.ini 的任何区里: 450")), std::string::npos);
  // A cafe without zones: one grid, no list of zones.
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_EQ(Page().find("href=\"#z1\""), std::string::npos);
  EXPECT_EQ(Page().find("<h2 id=\"z"), std::string::npos);
}

// A zone's first and last numbers are its own seats, in its subnet; numbers no zone holds are said once each,
// in order; a single named zone gets its heading; what the log lost follows /table as comments.
TEST_F(CafeTest, AZonesFirstAndLastSeatsAreItsOwn) {
  sim.PutConfig(
      L"[NetWork]\r\n[Zones]\r\nA=1-100\r\nB=101-200\r\n[A]\r\n[B]\r\nIP=192.168.1\r\nIPOffset=-100\r\n"
      L"GateWay=192.168.1.254\r\n");
  PutLog(SeatLine(100, L"00-00-00-00-01-00", L"WB-100", 100, L"已写入", 0) +
         SeatLine(101, L"00-00-00-00-01-01", L"WB-101", 1, L"已写入", 0, L"192.168.1.") +
         SeatLine(200, L"00-00-00-00-02-00", L"WB-200", 100, L"已写入", 0, L"192.168.1.") +
         SeatLine(450, L"00-00-00-00-04-50", L"WB-450", 50, L"已写入", 0) +
         SeatLine(300, L"00-00-00-00-09-00", L"WB-300", 30, L"已写入", 0) +
         SeatLine(450, L"00-00-00-00-04-51", L"WB-450", 51, L"已写入", 0) + L"not a line of ours\r\n");
  ASSERT_EQ(Run(L"/export dnsmasq /force"), exit_code::kDone) << sim.console.output;
  const std::string conf = FileBeside("VexaIpSet-dnsmasq.conf");
  for (const char* binding :
       {"00:00:00:00:01:00,192.168.0.100", "00:00:00:00:01:01,192.168.1.1", "00:00:00:00:02:00,192.168.1.100"}) {
    EXPECT_NE(conf.find(binding), std::string::npos) << binding << "\n" << conf;
  }
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"没有列出: 300, 450\r\n"), std::wstring::npos) << sim.console.output;
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n; "), std::wstring::npos) << sim.console.output;
  EXPECT_EQ(Output().find(L"\r\n; \r\n"), std::wstring::npos) << sim.console.output;
  sim.PutConfig(L"[NetWork]\r\n[Zones]\r\n大厅=1-254\r\n[大厅]\r\n");
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Page().find(ToUtf8(L"<h2 id=\"z1\">大厅 ")), std::string::npos);
}

// Kea's subnet4 and netsh's scopes a zone's subnet each; a subnet's id is its own address, the same whatever
// else the log holds.
TEST_F(CafeTest, KeaAndNetshGoByTheZonesSubnets) {
  sim.PutConfig(
      L"[NetWork]\r\n[Zones]\r\nA=1-100\r\nB=101-200\r\n[A]\r\n[B]\r\nIP=192.168.1\r\nIPOffset=-100\r\n"
      L"GateWay=192.168.1.1\r\n");
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"WB-5", 5, L"已写入", 0) +
         SeatLine(105, L"00-00-00-00-01-05", L"WB-105", 5, L"已写入", 0, L"192.168.1."));
  ASSERT_EQ(Run(L"/export kea"), exit_code::kDone) << sim.console.output;
  const std::string kea = FileBeside("VexaIpSet-kea.json");
  EXPECT_NE(kea.find("\"id\": 3232235520,\n        \"subnet\": \"192.168.0.0/24\""), std::string::npos) << kea;
  EXPECT_NE(kea.find("\"id\": 3232235776,\n        \"subnet\": \"192.168.1.0/24\""), std::string::npos) << kea;
  EXPECT_NE(kea.find("\"hw-address\": \"00:00:00:00:01:05\", \"ip-address\": \"192.168.1.5\""), std::string::npos);
  // A seat of the first zone more, and one outside every zone: the second zone's id stays.
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"WB-5", 5, L"已写入", 0) +
         SeatLine(6, L"00-00-00-00-00-06", L"WB-6", 6, L"已写入", 0) +
         SeatLine(105, L"00-00-00-00-01-05", L"WB-105", 5, L"已写入", 0, L"192.168.1.") +
         SeatLine(300, L"00-00-00-00-09-00", L"WB-300", 30, L"已写入", 0));
  ASSERT_EQ(Run(L"/export kea"), exit_code::kDone);
  EXPECT_NE(Output().find(L"日志中这些机号不在 config.ini 的任何区里,没有列出: 300"), std::wstring::npos);
  EXPECT_NE(FileBeside("VexaIpSet-kea.json").find("\"id\": 3232235776,\n        \"subnet\": \"192.168.1.0/24\""),
            std::string::npos);
  EXPECT_EQ(Run(L"/export netsh"), exit_code::kDone);
  EXPECT_NE(FileBeside("VexaIpSet-netsh.bat")
                .find("\r\nnetsh dhcp server scope 192.168.1.0 add reservedip 192.168.1.5 000000000105 WB-105\r\n"),
            std::string::npos);
  EXPECT_EQ(Run(L"/export dhcpd"), exit_code::kDone);
  EXPECT_NE(
      FileBeside("VexaIpSet-dhcpd.conf")
          .find("\n}\nsubnet 192.168.1.0 netmask 255.255.255.0 {\n  option routers 192.168.1.1;\n  host WB-105 {"),
      std::string::npos);
}

// Only bindings a machine could use: an address in the seat's subnet that is not its network, broadcast or
// gateway address, nor one no host may have; a hardware address a card can have. Each left out is named
// with the column that is wrong.
TEST_F(CafeTest, OnlyBindingsAMachineCouldUseAreExported) {
  const struct {
    int line;
    std::wstring log;
    const wchar_t* says;  // nullptr: exported
  } rows[] = {
      ROW(SeatLine(2, L"00-00-00-00-00-02", L"WB-2", 2, L"已写入", 0), nullptr),
      ROW(SeatLine(2, L"00-00-00-00-00-02", L"WB-2", 0, L"已写入", 0), L"IP 地址 192.168.0.0 是子网的网络地址"),
      ROW(SeatLine(2, L"00-00-00-00-00-02", L"WB-2", 255, L"已写入", 0), L"IP 地址 192.168.0.255 是子网的广播地址"),
      ROW(SeatLine(2, L"00-00-00-00-00-02", L"WB-2", 1, L"已写入", 0), L"IP 地址 192.168.0.1 是网关的地址"),
      ROW(SeatLine(2, L"01-00-5E-00-00-02", L"WB-2", 2, L"已写入", 0), L"网卡地址 01-00-5E-00-00-02 不是网卡的地址"),
      ROW(SeatLine(2, L"33-33-00-00-00-02", L"WB-2", 2, L"已写入", 0), L"网卡地址 33-33-00-00-00-02 不是网卡的地址"),
      ROW(SeatLine(2, L"00-00-00-00-00-00", L"WB-2", 2, L"已写入", 0), L"网卡地址 00-00-00-00-00-00 不是网卡的地址"),
      ROW(SeatLine(2, L"FF-FF-FF-FF-FF-FF", L"WB-2", 2, L"已写入", 0), L"网卡地址 FF-FF-FF-FF-FF-FF 不是网卡的地址"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    PutLog(row.log);
    for (const wchar_t* format : {L"/export dnsmasq", L"/export arp"}) {
      EXPECT_EQ(Run(format), exit_code::kDone);
      EXPECT_NE(Output().find(L"已导出 " + std::wstring(row.says == nullptr ? L"1" : L"0") + L" 个机位"),
                std::wstring::npos)
          << sim.console.output;
      if (row.says != nullptr) {
        EXPECT_NE(Output().find(row.says), std::wstring::npos) << sim.console.output;
      }
    }
  }
  // Nor does the page offer a key no card has as a line for [Machines].
  PutLog(SeatLine(2, L"FF-FF-FF-FF-FF-FF", L"WB-2", 2, L"已写入", 0));
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_EQ(Page().find("FF-FF-FF-FF-FF-FF=2"), std::string::npos);
  // Addresses outside the subnet, or none a host may have, in every format's eyes.
  for (const std::wstring ip : {L"10.0.0.2", L"192.168.1.5", L"0.0.0.0", L"255.255.255.255", L"224.0.0.8"}) {
    std::wstring line = SeatLine(2, L"00-00-00-00-00-02", L"WB-2", 2, L"已写入", 0);
    line.replace(line.find(L"192.168.0.2"), 11, ip);
    PutLog(line);
    EXPECT_EQ(Run(L"/export kea"), exit_code::kDone);
    EXPECT_NE(Output().find(L"没有导出机号 2: IP 地址 " + ip), std::wstring::npos) << sim.console.output;
    EXPECT_EQ(FileBeside("VexaIpSet-kea.json").find(ToUtf8(ip)), std::string::npos);
  }
}

// Two names Windows takes for one (they differ only in case): the formats that hand names to a server stop
// without /force, and with it leave the second out; the ARP formats, which carry no name, take both.
TEST_F(CafeTest, NamesThatDifferOnlyInCaseAreOneName) {
  PutLog(SeatLine(30, L"00-00-00-00-00-30", L"WB-30", 30, L"已写入", 0) +
         SeatLine(31, L"00-00-00-00-00-31", L"wb-30", 31, L"已写入", 0));
  EXPECT_EQ(Run(L"/export dhcpd"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"冲突: 计算机名只有大小写不同: 机号 30 和 31(wb-30)"), std::wstring::npos)
      << sim.console.output;
  EXPECT_EQ(Output().find(L"没有导出: 机号 31"), std::wstring::npos);  // nothing was exported
  EXPECT_EQ(Run(L"/export dhcpd /force"), exit_code::kDone);
  EXPECT_NE(Output().find(L"计算机名与前面的机位只有大小写不同,没有导出: 机号 31\r\n已导出 1 个机位"),
            std::wstring::npos)
      << sim.console.output;
  EXPECT_EQ(FileBeside("VexaIpSet-dhcpd.conf").find("wb-30"), std::string::npos);
  EXPECT_EQ(Run(L"/export arp"), exit_code::kDone);
  EXPECT_NE(Output().find(L"已导出 2 个机位"), std::wstring::npos);
}

TEST_F(ExportLogTest, ArpBindingsForWindowsAndLinux) {
  EXPECT_EQ(Run(L"/export arp /force"), exit_code::kDone);
  EXPECT_NE(Output().find(L"VexaIpSet-arp.bat\r\n已导出 6 个机位: C:\\VexaIpSet\\VexaIpSet-arp.sh"),
            std::wstring::npos);
  EXPECT_EQ(Output().find(L"DNS 名称"), std::wstring::npos) << "no name field to leave out";
  EXPECT_EQ(File("VexaIpSet-arp.bat").substr(0, 16), "@echo off\r\nrem V");
  EXPECT_NE(File("VexaIpSet-arp.bat")
                .find("\r\nnetsh interface ipv4 add neighbors \"%~1\" 192.168.0.3 "
                      "00-00-00-00-00-03\r\n"),
            std::string::npos);
  EXPECT_NE(File("VexaIpSet-arp.sh")
                .find("\nip neigh replace 192.168.0.21 lladdr 00:00:00:00:00:21 dev \"$1\" nud "
                      "permanent\n"),
            std::string::npos);
}

TEST(ExportTest, HostNamesAServerTakes) {
  for (const wchar_t* name : {L"WB-15", L"15", L"a", L"x1-2-y"}) EXPECT_TRUE(IsDnsLabel(name)) << ToUtf8(name);
  for (const wchar_t* name : {L"", L"-WB", L"WB-", L"WB_15", L"WB.15", L"网吧15", L"WB 15"}) {
    EXPECT_FALSE(IsDnsLabel(name)) << ToUtf8(name);
  }
  EXPECT_TRUE(IsDnsLabel(std::wstring(63, L'a')));
  EXPECT_FALSE(IsDnsLabel(std::wstring(64, L'a')));
}

TEST_F(CafeTest, ACsvFieldIsQuotedAndNeverAFormula) {
  PutLog(Line(L"/n", L"已写入", L"40", kA, L"0", std::wstring(kA) + L"=40") + L"\r\n");
  const std::string path = sim.system.moduleDirectory + "\\VexaIpSet.log";
  std::string bytes = *sim.files.Get(path);
  const std::string name = ToUtf8(L"计算机名=WB-40");
  bytes.replace(bytes.find(name), name.size(), ToUtf8(L"计算机名=@SUM(1+2),\"x\""));
  sim.files.Put(path, bytes);
  EXPECT_EQ(Run(L"/export csv"), exit_code::kDone);
  const std::string csv = sim.files.Get(sim.system.moduleDirectory + "\\VexaIpSet-csv.csv").value_or("");
  EXPECT_NE(csv.find("\r\n40,192.168.0.40,00-00-00-00-00-0A,\"'@SUM(1+2),\"\"x\"\"\",2026-12-01 10:00:00,"),
            std::string::npos)
      << csv;
}

// A mask that is no mask leaves no subnet to check a seat's address against: every format but the CSV
// list stops, naming the zone. An empty Kea file that Kea still reads.
TEST_F(CafeTest, AMaskThatIsNoMaskStopsTheServersFormats) {
  PutLog(Line(L"/n", L"已写入", L"40", kA, L"0", std::wstring(kA) + L"=40") + L"\r\n");
  sim.PutConfig(L"[NetWork]\r\nMask=255.0.255.0\r\n");
  for (const wchar_t* format : {L"/export kea", L"/export netsh", L"/export dnsmasq", L"/export arp"}) {
    EXPECT_EQ(Run(format), exit_code::kRefused) << ToUtf8(format);
    EXPECT_EQ(Output(), L"没有导出: config.ini 中的 Mask=255.0.255.0 不是有效的子网掩码,无法算出子网。\r\n");
  }
  EXPECT_EQ(FileBeside("VexaIpSet-kea.json"), "");
  EXPECT_EQ(Run(L"/export csv"), exit_code::kDone);
  sim.PutConfig(L"[NetWork]\r\n[Zones]\r\n二楼=100-199\r\n[二楼]\r\nIP=192.168.1.0\r\nMask=255.255.0.255\r\n");
  PutLog(SeatLine(105, L"00-00-00-00-01-05", L"WB-105", 5, L"已写入", 0, L"192.168.1."));
  EXPECT_EQ(Run(L"/export dnsmasq"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"config.ini 中区 二楼 的 Mask=255.255.0.255 不是有效的子网掩码"), std::wstring::npos)
      << sim.console.output;
  // Nothing a server can take: Kea's file still holds its configuration.
  PutLog(Line(L"/n", L"拒绝: x", L"40", kA, L"2", L"") + L"\r\n");
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_EQ(Run(L"/export kea"), exit_code::kDone);
  EXPECT_EQ(FileBeside("VexaIpSet-kea.json"), "{\n  \"Dhcp4\": {\n    \"subnet4\": []\n  }\n}\n");
}

// An export's file is written as the page is: never through a link.
TEST_F(CafeTest, AnExportIsNeverWrittenThroughALink) {
  PutLog(Line(L"/n", L"已写入", L"40", kA, L"0", std::wstring(kA) + L"=40") + L"\r\n");
  EXPECT_EQ(Run(L"/export dnsmasq"), exit_code::kDone);
  const std::string conf = sim.system.moduleDirectory + "\\VexaIpSet-dnsmasq.conf";
  const std::string before = FileBeside("VexaIpSet-dnsmasq.conf");
  sim.files.Links(conf, 2);
  EXPECT_EQ(Run(L"/export dnsmasq"), exit_code::kRefused);
  EXPECT_NE(Output().find(L"文件 C:\\VexaIpSet\\VexaIpSet-dnsmasq.conf 是链接"), std::wstring::npos)
      << sim.console.output;
  EXPECT_EQ(FileBeside("VexaIpSet-dnsmasq.conf"), before);
}

TEST(ExportTest, NamesDnsmasqWouldTakeForALeaseTime) {
  ExportPlan plan;
  for (const wchar_t* name : {L"15", L"45m", L"2h", L"WB-15", L"m", L"15x", L""})
    plan.bindings.push_back({0, 0, {}, name, 0, 0});
  for (std::size_t i = 0; i < plan.bindings.size(); ++i) plan.bindings[i].number = static_cast<int>(i + 1);
  EXPECT_EQ(LeaseTimeNames(plan), (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace vexa
