// /export: the bindings a DHCP server or router can take, each format's files, and the seats left out and
// why; a venue's zones on the page and in the exports.
#include <gtest/gtest.h>

#include <algorithm>

#include "cafe/cafe_export.h"
#include "cafe_fixture.h"
#include "common/exit_codes.h"
#include "common/utf8.h"
#include "common/version.h"
#include "row.h"

namespace vexa {
namespace {

using test::CafeTest;
using test::kA;
using test::Line;
using test::SeatLine;

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
            L"没有导出机号 12: 在机器表中,还没有运行\r\n"
            L"没有导出机号 18: 最后一次运行被拒绝或没有全部写入\r\n"
            L"没有导出机号 20: 冲突,一个机号或一个 IP 给了两块网卡(见上)\r\n"
            L"没有导出机号 22: 冲突,一个机号或一个 IP 给了两块网卡(见上)\r\n"
            L"没有导出机号 23: 冲突,一个机号或一个 IP 给了两块网卡(见上)\r\n"
            L"没有导出机号 24: 日志中的 IP 地址 192.168.0.300 不是有效的地址\r\n"
            L"没有导出机号 30: 在机器表中,还没有运行\r\n"
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
  EXPECT_NE(Output().find(L"\r\n没有导出机号 23: 冲突"), std::wstring::npos) << sim.console.output;
  EXPECT_NE(Output().find(L"计算机名只有数字,dnsmasq 会把它当作租期,只导出了地址: 机号 17\r\n"
                          L"已导出 6 个机位: C:\\VexaIpSet\\VexaIpSet-dnsmasq.conf"),
            std::wstring::npos);
  EXPECT_EQ(test::Bindings(File("VexaIpSet-dnsmasq.conf")),
            "dhcp-host=00:00:00:00:00:03,192.168.0.3,WB-3\n"
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
      L"IPOffset=-200\r\nGateWay=192.168.1.254\r\n");
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"WB-5", 5, L"已是这些设置", 0) +
         SeatLine(215, L"00-00-00-00-02-15", L"WB-215", 15, L"已写入", 0, L"192.168.1.") +
         SeatLine(450, L"00-00-00-00-04-50", L"WB-450", 50, L"已写入", 0));
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n日志中这些机号不在 config.ini 的任何区里,没有列出: 450"), std::wstring::npos)
      << sim.console.output;
  const std::string page = Page();
  EXPECT_NE(page.find(ToUtf8(L"<span><a href=\"#z1\">一楼</a></span> <span><a href=\"#z2\">二楼</a></span>")),
            std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"<h2 id=\"z2\">二楼 <small>201-400 · 192.168.1.0/24 · 网关 192.168.1.254</small></h2>\n"
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

// For a server whose file declares the subnets already: dhcpd's hosts without a subnet, Kea's reservations
// each under the subnet4 they go into. Every file's head says how it is used and names each seat left out;
// a batch file's in the console's code page, a '%' in it doubled so that cmd expands nothing.
TEST_F(CafeTest, HostsAndReservationsForAServerThatDeclaresItsSubnets) {
  sim.PutConfig(
      L"[NetWork]\r\n[Zones]\r\nA=1-100\r\nB=101-200\r\n[A]\r\n[B]\r\nIP=192.168.1\r\nIPOffset=-100\r\n"
      L"[Machines]\r\n00-00-00-00-00-0A=12\r\n");
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"WB-5", 5, L"已写入", 0) +
         SeatLine(7, L"00-00-00-00-00-07", L"WB-7", 1, L"已写入", 0, L"192.168.0.%~") +
         SeatLine(105, L"00-00-00-00-01-05", L"WB-105", 5, L"已写入", 0, L"192.168.1."));
  ASSERT_EQ(Run(L"/export dhcpd-hosts"), exit_code::kDone) << sim.console.output;
  EXPECT_EQ(
      Output(),
      L"没有导出机号 7: 日志中的 IP 地址 192.168.0.%~1 不是有效的地址\r\n没有导出机号 12: 在机器表中,还没有运行\r\n"
      L"已导出 2 个机位: C:\\VexaIpSet\\VexaIpSet-dhcpd-hosts.conf\r\n");
  const std::string hosts = FileBeside("VexaIpSet-dhcpd-hosts.conf");
  EXPECT_NE(hosts.find(ToUtf8(L"\n# 用法: 只有 host 声明,没有 subnet")), std::string::npos) << hosts;
  EXPECT_NE(hosts.find(ToUtf8(L"\n# 没有导出的 2 个机位:\n#   机号 7: 日志中的 IP 地址 192.168.0.%~1 不是有效的地址\n"
                              L"#   机号 12: 在机器表中,还没有运行\n")),
            std::string::npos);
  EXPECT_EQ(test::Bindings(hosts),
            "host WB-5 {\n  hardware ethernet 00:00:00:00:00:05;\n  fixed-address 192.168.0.5;\n}\n"
            "host WB-105 {\n  hardware ethernet 00:00:00:00:01:05;\n  fixed-address 192.168.1.5;\n}\n");
  ASSERT_EQ(Run(L"/export kea-reservations"), exit_code::kDone);
  EXPECT_NE(
      FileBeside("VexaIpSet-kea-reservations.json")
          .find("\n\n# subnet4 \"192.168.1.0/24\"\n\"reservations\": [\n  { \"hw-address\": \"00:00:00:00:01:05\", "
                "\"ip-address\": \"192.168.1.5\", \"hostname\": \"WB-105\" }\n]\n"),
      std::string::npos)
      << FileBeside("VexaIpSet-kea-reservations.json");
  ASSERT_EQ(Run(L"/export netsh"), exit_code::kDone);
  const std::wstring batch = sim.text.FromAnsi(FileBeside("VexaIpSet-netsh.bat"));
  EXPECT_NE(batch.find(L"\r\nrem 用法: 在 Windows DHCP 服务器上以管理员身份运行"), std::wstring::npos) << ToUtf8(batch);
  EXPECT_NE(batch.find(L"\r\nrem   机号 7: 日志中的 IP 地址 192.168.0.%%~1 不是有效的地址\r\n"), std::wstring::npos);
  // Past twenty seats the console gives the count; the head still names each.
  std::wstring table = L"[NetWork]\r\n[Machines]\r\n";
  for (int n = 31; n <= 51; ++n) table += L"00-00-00-00-01-" + IntText(n) + L"=" + IntText(n) + L"\r\n";
  sim.PutConfig(table);
  ASSERT_EQ(Run(L"/export dnsmasq"), exit_code::kDone);
  EXPECT_EQ(Output().find(L"没有导出 23 个机位,每个机位和原因列在导出文件开头的注释中。\r\n已导出 1 个机位"), 0u)
      << sim.console.output;
  EXPECT_NE(FileBeside("VexaIpSet-dnsmasq.conf").find("\n#   " + ToUtf8(L"机号 51: 在机器表中,还没有运行") + "\n"),
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
    EXPECT_EQ(test::Bindings(FileBeside("VexaIpSet-kea.json")).find(ToUtf8(ip)), std::string::npos);
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
  EXPECT_NE(Output().find(L"没有导出机号 31: 计算机名只有大小写不同: 机号 30 和 31(wb-30)\r\n已导出 1 个机位"),
            std::wstring::npos)
      << sim.console.output;
  EXPECT_EQ(test::Bindings(FileBeside("VexaIpSet-dhcpd.conf")).find("wb-30"), std::string::npos);
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

// A seat whose own name is none gets a name dhcpd takes, never one another seat has (without case, across
// zones): "seat-5" is seat 55's, so seat 5 is "seat-5-2", and the console says so.
TEST_F(CafeTest, AFallbackNameIsNeverAnotherSeats) {
  sim.PutConfig(L"[NetWork]\r\n[Zones]\r\nA=1-50\r\nB=51-99\r\n[A]\r\n[B]\r\nIP=192.168.1\r\n");
  PutLog(SeatLine(5, L"00-00-00-00-00-05", L"网吧5", 5, L"已写入", 0) +
         SeatLine(6, L"00-00-00-00-00-06", L"网吧6", 6, L"已写入", 0) +
         SeatLine(55, L"00-00-00-00-00-55", L"SEAT-5", 55, L"已写入", 0, L"192.168.1."));
  EXPECT_EQ(Run(L"/export dhcpd"), exit_code::kDone) << sim.console.output;
  const std::string conf = sim.files.Get(sim.system.moduleDirectory + "\\VexaIpSet-dhcpd.conf").value_or("");
  EXPECT_NE(conf.find("  host seat-5-2 {\n    hardware ethernet 00:00:00:00:00:05;"), std::string::npos) << conf;
  EXPECT_NE(conf.find("  host seat-6 {\n"), std::string::npos);
  EXPECT_NE(conf.find("  host SEAT-5 {\n    hardware ethernet 00:00:00:00:00:55;"), std::string::npos);
  EXPECT_NE(Output().find(L"机号 5 用 seat-5-2 作主机名(seat-5 已是机号 55 的计算机名)"), std::wstring::npos)
      << sim.console.output;
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
  EXPECT_EQ(test::Bindings(FileBeside("VexaIpSet-kea.json")), "{\n  \"Dhcp4\": {\n    \"subnet4\": []\n  }\n}\n");
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
