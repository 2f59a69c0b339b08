// The OK action on a simulated cloned workstation: what is written where, what the operator is told, and
// what is refused before anything is written.
#include <gtest/gtest.h>

#include "app/ok_action.h"
#include "common/fingerprint.h"
#include "common/utf8.h"
#include "log/log_text.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa {
namespace {

using test::Sz;

constexpr const wchar_t* kRealtek = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
const std::string kCard1 = std::string(test::kInterfacesKey) + "\\{11111111-AAAA}";

class OkActionTest : public ::testing::Test {
 protected:
  OkActionTest() {
    test::CloneImage(sim);
    sim.PutConfig(
        L"[NetWork]\r\nIP=192.168.0\r\nIPOffset=0\r\nMask=255.255.255.0\r\nGateWay=192.168.0.1\r\n"
        L"DNS=202.102.224.68,202.102.227.68\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey15=5RP2E-EPH3K-BR3LG-KMGTE-FN8PY\r\n");
    EnumNetworkCards(platform, inventory);
  }

  Refusal Ok(const std::wstring& typed, const std::wstring& card = kRealtek) {
    return RunOkAction(platform, inventory, typed, card);
  }
  std::string Value(RegHandle root, const std::string& key, const std::string& name) {
    auto v = sim.registry.GetValue(root, key, name);
    return v ? v->data : "<missing>";
  }
  const sim::ShownBox& LastBox() { return sim.messages.Shown().back(); }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
  CardInventory inventory;
  const test::WriteCounts counts = test::CountWrites(sim.text);
};

std::wstring Summary(const std::wstring& host, const std::wstring& ip, const std::wstring& key) {
  return L"     网络信息设置如下 : 有错误吗？\r\n┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄\r\n计算机名  :  " + host + L"\r\nI P 地 址   :  " +
         ip +
         L"\r\n子网掩码  :  255.255.255.0\r\n默认网关  :  192.168.0.1\r\nDNS 信息  :  202.102.224.68,202.102.227.68\r\n"
         L"CS 序列号 :  " +
         key + L"\r\n";
}

TEST_F(OkActionTest, WritesTheNineValuesInOrderThenShowsTheSummary) {
  EXPECT_EQ(Ok(L"15"), Refusal::None);

  const auto& writes = test::MachineWrites(sim);
  const std::string card = "HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\{11111111-AAAA}";
  const struct {
    std::string key;
    std::string name;
    std::uint32_t type;
    std::string data;
  } expected[] = {
      {"HKLM\\SYSTEM\\ControlSet001\\Services\\NwlnkIpx\\Parameters", "VirtualNetworkNumber", kRegDword,
       std::string("\x0F\0\0\0", 4)},
      {card, "EnableDHCP", kRegDword, std::string(4, '\0')},
      {card, "IPAddress", kRegMultiSz, std::string("192.168.0.15\0\0", 14)},
      {card, "SubnetMask", kRegMultiSz, std::string("255.255.255.0\0\0", 15)},
      {card, "DefaultGateway", kRegMultiSz, std::string("192.168.0.1\0\0", 13)},
      {card, "NameServer", kRegSz, Sz("202.102.224.68,202.102.227.68")},
      {"HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters", "NV Hostname", kRegSz, Sz("WB-15")},
      // Through CurrentControlSet, which is ControlSet001 on these machines.
      {"HKLM\\SYSTEM\\ControlSet001\\Control\\ComputerName\\ComputerName", "ComputerName", kRegSz, Sz("WB-15")},
      {"HKCU\\Software\\Valve\\CounterStrike\\Settings", "Key", kRegSz, Sz("5RP2E-EPH3K-BR3LG-KMGTE-FN8PY")},
  };
  ASSERT_EQ(writes.size(), std::size(expected));
  ASSERT_EQ(counts.all, std::size(expected)) << "a row of the write table has its row here";
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(testing::Message() << "row " << i + 1);
    EXPECT_EQ(writes[i].keyPath, expected[i].key);
    EXPECT_EQ(writes[i].value.name, expected[i].name);
    EXPECT_EQ(writes[i].value.type, expected[i].type);
    EXPECT_EQ(writes[i].value.data, expected[i].data);
  }
  ASSERT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(LastBox().text, Summary(L"WB-15", L"192.168.0.15", L"5RP2E-EPH3K-BR3LG-KMGTE-FN8PY"));
  EXPECT_EQ(LastBox().ShownTitle(), L"网络设置信息");
  EXPECT_EQ(LastBox().icon, MsgIcon::Information);
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
  EXPECT_TRUE(sim.restart.calls.empty());
}

TEST_F(OkActionTest, LeadingZerosStayInTheHostNameOnly) {
  Ok(L"007");
  EXPECT_EQ(Value(kHkeyLocalMachine, test::kTcpipKey, "NV Hostname"), Sz("WB-007"));
  EXPECT_EQ(Value(kHkeyLocalMachine, kCard1, "IPAddress"), std::string("192.168.0.7\0\0", 13));
  EXPECT_EQ(Value(kHkeyLocalMachine, test::kIpxKey, "VirtualNetworkNumber"), std::string("\x07\0\0\0", 4));
  EXPECT_EQ(Value(kHkeyCurrentUser, test::kGameKey, "Key"), Sz("0000000000000"));  // no CDKey7
}

TEST_F(OkActionTest, ChinesePrefixIsWrittenInGbk) {
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=网吧\r\n");
  Ok(L"15");
  EXPECT_EQ(Value(kHkeyLocalMachine, test::kComputerNameKey, "ComputerName"), Sz("\xCD\xF8\xB0\xC9"
                                                                                 "15"));
}

TEST_F(OkActionTest, TheLaterOfTwoEqualCardsReceivesTheSettings) {
  test::AddCard(sim.registry, "3", Sz("Realtek RTL8139 Family PCI Fast Ethernet NIC"), Sz("{33333333-CCCC}"));
  EnumNetworkCards(platform, inventory);
  Ok(L"15");
  EXPECT_EQ(Value(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{33333333-CCCC}", "IPAddress"),
            std::string("192.168.0.15\0\0", 14));
  EXPECT_EQ(Value(kHkeyLocalMachine, kCard1, "IPAddress"), std::string("192.168.0.200\0\0", 15));
}

TEST_F(OkActionTest, RejectionsWriteNothing) {
  const struct {
    int line;
    const wchar_t* typed;
    const wchar_t* card;
    std::wstring config;  // empty: the fixture's
    const wchar_t* title;
    Refusal result;
  } cases[] = {
      ROW(L"", kRealtek, L"", L"Quorlis - 出现错误！", Refusal::Empty),
      ROW(L"0", kRealtek, L"", L"Quorlis - 机器号输入错误！", Refusal::OutOfRange),
      ROW(L"255", kRealtek, L"", L"Quorlis - 机器号输入错误！", Refusal::OutOfRange),
      ROW(L"999", kRealtek, L"", L"Quorlis - 机器号输入错误！", Refusal::OutOfRange),
      ROW(L"15", L"", L"", L"Quorlis Vexa IP自动修改 提示！", Refusal::NoCard),
      ROW(L"15", L"No such card", L"", L"Quorlis Vexa IP自动修改 提示！", Refusal::NoCard),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIP=\r\n", L"Quorlis - 配置文件错误！", Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIPOffset=abc\r\n", L"Quorlis - 配置文件错误！", Refusal::BadIpAddress),
      ROW(L"251", kRealtek, L"[NetWork]\r\nIP=10.0.0\r\nIPOffset=5\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nNetPrefix=Internet-Cafe-\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadHostName),
      ROW(L"15", kRealtek, L"[NetWork]\r\nMask=255.255.255.O\r\n", L"Quorlis - 配置文件错误！", Refusal::BadMask),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIPOffset=240\r\n", L"Quorlis - 配置文件错误！", Refusal::BadIpAddress),
      ROW(L"127", kRealtek, L"[NetWork]\r\nMask=255.255.255.128\r\nGateWay=\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"128", kRealtek, L"[NetWork]\r\nMask=255.255.255.128\r\nGateWay=\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIP=127.0.0\r\nGateWay=\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIP=0.0.0\r\nGateWay=\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIP=224.0.0\r\nGateWay=\r\n", L"Quorlis - 配置文件错误！",
          Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nIP=192.168.08\r\n", L"Quorlis - 配置文件错误！", Refusal::BadIpAddress),
      ROW(L"15", kRealtek, L"[NetWork]\r\nGateWay=192.168.0.15\r\n", L"Quorlis - 配置文件错误！", Refusal::BadGateway),
      ROW(L"15", kRealtek, L"[NetWork]\r\nGateWay=192.168.0.0\r\n", L"Quorlis - 配置文件错误！", Refusal::BadGateway),
      ROW(L"15", kRealtek, L"[NetWork]\r\nGateWay=192.168.0.255\r\n", L"Quorlis - 配置文件错误！", Refusal::BadGateway),
      ROW(L"15", kRealtek, L"[NetWork]\r\nGateWay=0.0.0.0\r\n", L"Quorlis - 配置文件错误！", Refusal::BadGateway),
      ROW(L"15", kRealtek, L"[NetWork]\r\nGateWay=192.168.0.010\r\n", L"Quorlis - 配置文件错误！", Refusal::BadGateway),
      ROW(L"15", kRealtek, L"[NetWork]\r\nDNS=0.0.0.0\r\n", L"Quorlis - 配置文件错误！", Refusal::BadDns),
      ROW(L"15", kRealtek, L"[NetWork]\r\nDNS=255.255.255.255\r\n", L"Quorlis - 配置文件错误！", Refusal::BadDns),
      ROW(L"15", kRealtek, L"[NetWork]\r\nDNS=1.1.1.01\r\n", L"Quorlis - 配置文件错误！", Refusal::BadDns),
      ROW(L"15", kRealtek, L"[NetWork]\r\nMask=255.255.255.00\r\n", L"Quorlis - 配置文件错误！", Refusal::BadMask),
      ROW(L"15", kRealtek, L"[NetWork]\r\nNetPrefix=W\u3000B-\r\n", L"Quorlis - 配置文件错误！", Refusal::BadHostName),
      ROW(L"15", kRealtek, L"[NetWork]\r\nDNS=" + std::wstring(260, L'1') + L"\r\n", L"Quorlis - 配置文件错误！",
          Refusal::CutValue),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    if (!c.config.empty()) sim.PutConfig(c.config);
    sim.messages.Clear();
    EXPECT_EQ(Ok(c.typed, c.card), c.result);
    ASSERT_EQ(sim.messages.Shown().size(), 1u);
    EXPECT_EQ(LastBox().ShownTitle(), c.title);
    EXPECT_EQ(LastBox().icon, MsgIcon::Critical);
    EXPECT_TRUE(test::MachineWrites(sim).empty());
  }
}

// A gateway outside the subnet is asked about, as Windows' own dialog does: Yes writes, No writes nothing.
TEST_F(OkActionTest, AGatewayOutsideTheSubnetIsWrittenOnlyOnYes) {
  sim.PutConfig(L"[NetWork]\r\nGateWay=10.0.0.1\r\n");
  EXPECT_EQ(Ok(L"15"), Refusal::Unconfirmed);
  ASSERT_EQ(sim.messages.Shown().size(), 1u) << "the No needs no box of its own";
  EXPECT_EQ(LastBox().text,
            L"默认网关 10.0.0.1 不在 IP 地址 192.168.0.15 和子网掩码 255.255.255.0 所确定的子网 192.168.0.0/24 "
            L"中。\r\n本机可能无法通过这个网关连到其他网络。\r\n仍然写入这些设置吗?");
  EXPECT_EQ(LastBox().buttons, MsgButtons::YesNo);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  sim.messages.Answer(MsgAnswer::Yes);
  EXPECT_EQ(Ok(L"15"), Refusal::None);
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  EXPECT_EQ(LastBox().ShownTitle(), L"网络设置信息");
  const std::string log = sim.files.Get(sim.system.moduleDirectory + "\\VexaIpSet.log").value_or("");
  EXPECT_NE(log.find(ToUtf8(L"\t拒绝: 默认网关 10.0.0.1 不在")), std::string::npos);
  EXPECT_NE(log.find(ToUtf8(L"\t已写入, 经操作员确认: 默认网关 10.0.0.1 不在")), std::string::npos);
}

// A number the shared log gives another card is asked about too.
TEST_F(OkActionTest, ANumberAnotherCardHoldsIsWrittenOnlyOnYes) {
  sim.adapters.Add("{11111111-AAAA}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6));
  sim.files.Put(sim.system.moduleDirectory + "\\VexaIpSet.log",
                ToUtf8(L"2026-12-01 10:00:00\t/n\t已写入\t机号=15\t计算机名=WB-15\tIP=\t网卡=NIC\t"
                       L"地址=00-1A-2B-3C-4D-5F\t未写入=\t退出码=0\t00-1A-2B-3C-4D-5F=15\r\n"));
  EXPECT_EQ(Ok(L"15"), Refusal::Unconfirmed);
  EXPECT_EQ(LastBox().text.rfind(L"日志显示机号 15 已经给了另一块网卡 00-1A-2B-3C-4D-5F(2026-12-01 10:00:00", 0), 0u);
  EXPECT_EQ(LastBox().ShownTitle(), L"Quorlis - 请确认");
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  // While a person reads the question, no handle of the log is open: every other machine can log.
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  std::size_t handlesWhileAsked = 1;
  sim.messages.onShow = [&] { handlesWhileAsked = sim.files.OpenHandles(); };
  sim.messages.Answer(MsgAnswer::Yes);
  EXPECT_EQ(Ok(L"15"), Refusal::None);
  EXPECT_EQ(handlesWhileAsked, 0u);
  sim.messages.onShow = nullptr;
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  // A log that cannot be read leaves the number unconfirmed: asked the same way.
  sim.registry.ClearWrites();
  sim.files.Put(log, sim.files.Get(log).value_or("") + std::string(kLogReadLimit, 'x'));
  EXPECT_EQ(Ok(L"16"), Refusal::Unconfirmed);
  EXPECT_NE(LastBox().text.find(L"无法确认机号 16 没有给别的网卡。\r\n仍然写入这些设置吗?"), std::wstring::npos)
      << ToUtf8(LastBox().text);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
}

// A clone of a machine the log shows: the window's summary says its MachineGuid was renewed.
TEST_F(OkActionTest, TheSummarySaysAClonesMachineGuidWasRenewed) {
  sim.adapters.Add("{11111111-AAAA}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6));
  sim.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid", kRegSz,
                        std::string("6b29fc40-ca47-4e13-8a2f-1d3c5e7f9a0b", 37));
  sim.files.Put(
      sim.system.moduleDirectory + "\\VexaIpSet.log",
      ToUtf8(L"2026-12-01 10:00:00\t/n\t已写入\t机号=14\t计算机名=WB-14\tIP=\t网卡=NIC\t地址=00-1A-2B-3C-4D-5F"
             L"\t未写入=\t退出码=0\t机器码=" +
             Fingerprint("6b29fc40-ca47-4e13-8a2f-1d3c5e7f9a0b") + L"\t00-1A-2B-3C-4D-5F=14\r\n"));
  EXPECT_EQ(Ok(L"15"), Refusal::None);
  EXPECT_NE(LastBox().text.find(L"\r\n机器码 (MachineGuid) 已换新(与机号 14 的机器相同)"), std::wstring::npos)
      << ToUtf8(LastBox().text);
}

// A log another machine holds: after the short wait the window asks whether to wait longer. Cancel writes
// nothing and needs no box of its own; Retry waits again, and once the holder lets go the press goes on.
TEST_F(OkActionTest, ABusyLogIsWaitedForOnlyWhileTheOperatorWants) {
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
  sim.files.Put(log, "\xEF\xBB\xBF");
  sim.files.LockByOther(log, true);
  sim.system.slept = 0;
  std::size_t handlesWhileAsked = 1;
  sim.messages.onShow = [&] { handlesWhileAsked = sim.files.OpenHandles(); };
  EXPECT_EQ(Ok(L"15"), Refusal::NoLogLock);
  EXPECT_EQ(handlesWhileAsked, 0u) << "nothing of the log is held while a person reads the question";
  EXPECT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(LastBox().text, L"日志正被其他机器使用,要再等一会儿吗?");
  EXPECT_EQ(LastBox().buttons, MsgButtons::RetryCancel);
  EXPECT_EQ(sim.system.slept, kLogWaitMilliseconds);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_EQ(sim.files.Get(log), "\xEF\xBB\xBF");
  // Retry twice: the holder lets go while the second question is shown.
  sim.messages.Clear();
  sim.messages.Answer(MsgAnswer::Retry);
  sim.messages.Answer(MsgAnswer::Retry);
  sim.messages.onShow = [&] {
    if (sim.messages.Shown().size() == 2) sim.files.LockByOther(log, false);
  };
  EXPECT_EQ(Ok(L"15"), Refusal::None);
  sim.messages.onShow = nullptr;
  EXPECT_EQ(sim.messages.Shown().size(), 3u);
  EXPECT_EQ(LastBox().ShownTitle(), L"网络设置信息");
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  EXPECT_NE(sim.files.Get(log).value_or("").find(ToUtf8(L"\t已写入\t")), std::string::npos);
}

// The cafe's log on a share that cannot be reached: the window asks as for a busy log, naming the folder;
// Cancel writes nothing, and Retry once the share answers again writes there.
TEST_F(OkActionTest, TheCafesLogOutOfReachIsAskedAboutAsABusyOne) {
  sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Log]\r\nFolder=\\\\server\\vexa\r\n");
  EXPECT_EQ(Ok(L"15"), Refusal::NoLogLock);
  ASSERT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(LastBox().text, L"网吧的日志 \\\\server\\vexa\\VexaIpSet.log 无法访问,拿不到它的锁就不能写入。要重试吗?");
  EXPECT_EQ(LastBox().buttons, MsgButtons::RetryCancel);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_FALSE(sim.files.Exists(sim.system.moduleDirectory + "\\VexaIpSet.log"));
  sim.messages.Clear();
  sim.messages.Answer(MsgAnswer::Retry);
  sim.messages.onShow = [&] { sim.files.AddFolder("\\\\server\\vexa"); };
  EXPECT_EQ(Ok(L"15"), Refusal::None);
  sim.messages.onShow = nullptr;
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all);
  EXPECT_NE(sim.files.Get("\\\\server\\vexa\\VexaIpSet.log").value_or("").find(ToUtf8(L"\t已写入\t")),
            std::string::npos);
}

TEST_F(OkActionTest, NoCardMessage) {
  Ok(L"15", L"");
  EXPECT_EQ(LastBox().text, L"你没有选择网卡！请在下面的网卡列表中选择！");
}

TEST_F(OkActionTest, MissingIpxAndGameKeysDoNotApplyAndTheRestIsWritten) {
  sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Services\\NwlnkIpx");
  sim.registry.DeleteKey(kHkeyCurrentUser, "Software\\Valve");
  const std::size_t keys = sim.registry.KeyCount();
  Ok(L"15");
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all - counts.optional);
  EXPECT_EQ(sim.registry.KeyCount(), keys + 1);  // only the tool's own, which keeps the earlier values
  EXPECT_EQ(LastBox().text, Summary(L"WB-15", L"192.168.0.15", L"5RP2E-EPH3K-BR3LG-KMGTE-FN8PY") +
                                L"┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄\r\nIPX 未安装\r\n游戏未安装\r\n");
  EXPECT_EQ(LastBox().icon, MsgIcon::Information);  // not installed is no failure
  EXPECT_EQ(LastBox().ShownTitle(), L"网络设置信息");
}

TEST_F(OkActionTest, UnreadableServiceNameFailsTheInterfaceRows) {
  sim.registry.SetValue(kHkeyLocalMachine, std::string(test::kCardsKey) + "\\1", "ServiceName", kRegBinary,
                        std::string(300, 'x'));  // too long to read: "Error"
  Ok(L"15");
  EXPECT_NE(LastBox().text.find(
                L"以下设置未能写入:\r\n  DHCP 开关\r\n  IP 地址\r\n  子网掩码\r\n  默认网关\r\n  DNS 信息\r\n"),
            std::wstring::npos);
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all - counts.card);
}

TEST_F(OkActionTest, RefusedWriteIsReported) {
  sim.registry.RefuseSet(kHkeyLocalMachine, test::kComputerNameKey);
  Ok(L"15");
  EXPECT_NE(LastBox().text.find(L"以下设置未能写入:\r\n  计算机名 (ComputerName)\r\n"), std::wstring::npos);
  EXPECT_EQ(test::MachineWrites(sim).size(), counts.all - 1);
}

// The window keeps the machine's earlier values as a run does: where they cannot be kept, nothing changes.
TEST_F(OkActionTest, AMachineWhoseValuesCannotBeKeptIsNotChanged) {
  sim.registry.RefuseCreate(kHkeyLocalMachine, "SOFTWARE");
  EXPECT_EQ(Ok(L"15"), Refusal::NotSaved);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
  EXPECT_EQ(LastBox().text,
            L"无法在本机注册表 HKEY_LOCAL_MACHINE\\SOFTWARE\\VexaIpSet 保存原来的设置,没有写入任何设置。");
  EXPECT_EQ(LastBox().icon, MsgIcon::Critical);
}

TEST_F(OkActionTest, ALineTheLogCouldNotTakeIsTheSummarysLastLine) {
  sim.files.Links(sim.system.moduleDirectory + "\\VexaIpSet.log", 2);
  Ok(L"15");
  const std::wstring text = LastBox().text;
  EXPECT_EQ(
      text.substr(text.rfind(L"KMGTE-FN8PY")),
      L"KMGTE-FN8PY\r\n日志 C:\\VexaIpSet\\VexaIpSet.log 是链接(硬链接、符号链接或重解析点),为安全起见没有写入。\r\n");
}

TEST_F(OkActionTest, ASecondOkReadsConfigAfresh) {
  Ok(L"15");
  sim.PutConfig(L"[NetWork]\r\nIP=10.1.1\r\nGateWay=10.1.1.1\r\n");
  Ok(L"15");
  EXPECT_EQ(Value(kHkeyLocalMachine, kCard1, "IPAddress"), std::string("10.1.1.15\0\0", 11));
  EXPECT_EQ(test::MachineWrites(sim).size(), 2 * counts.all);
}

// Rows 1-7 go to the control set Windows boots with; the computer name follows CurrentControlSet, which
// Windows links to that set. Anything Select cannot vouch for leaves them in ControlSet001.
TEST_F(OkActionTest, TheControlSetWindowsBootsWith) {
  const std::string set2 = "SYSTEM\\ControlSet002";
  sim.registry.CreateKey(kHkeyLocalMachine, set2 + "\\Services\\Tcpip\\Parameters\\Interfaces\\{11111111-AAAA}");
  sim.registry.CreateKey(kHkeyLocalMachine, set2 + "\\Services\\NwlnkIpx\\Parameters");
  sim.registry.CreateKey(kHkeyLocalMachine, set2 + "\\Control\\ComputerName\\ComputerName");
  const struct {
    std::uint32_t type;
    std::string current;  // "" for no value
    const char* set;
  } cases[] = {
      {kRegDword, std::string("\2\0\0\0", 4), "ControlSet002"},
      {kRegDword, std::string("\1\0\0\0", 4), "ControlSet001"},
      {kRegDword, std::string("\3\0\0\0", 4), "ControlSet001"},  // no ControlSet003
      {kRegDword, std::string("\0\0\0\0", 4), "ControlSet001"},
      {kRegDword, std::string("\xE8\x03\0\0", 4), "ControlSet001"},  // 1000
      {kRegSz, Sz("2"), "ControlSet001"},
      {kRegBinary, std::string("\2\0", 2), "ControlSet001"},
      {kRegDword, "", "ControlSet001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set + (" from case " + std::to_string(&c - cases)));
    sim.registry.DeleteKey(kHkeyLocalMachine, "SYSTEM\\Select");
    sim.registry.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\VexaIpSet");  // each case a fresh clone's
    test::CloneImage(sim);
    sim.registry.DeleteValue(kHkeyLocalMachine, set2 + "\\Services\\Tcpip\\Parameters", "NV Hostname");
    if (!c.current.empty()) sim.registry.SetValue(kHkeyLocalMachine, "SYSTEM\\Select", "Current", c.type, c.current);
    sim.registry.ClearWrites();
    ASSERT_EQ(Ok(L"15"), Refusal::None);
    const auto& writes = test::MachineWrites(sim);
    ASSERT_EQ(writes.size(), counts.all);
    for (std::size_t row = 0; row + 1 < counts.all; ++row) {  // all but the game's key, in HKCU
      EXPECT_EQ(writes[row].keyPath.rfind("HKLM\\SYSTEM\\" + std::string(c.set) + "\\", 0), 0u) << writes[row].keyPath;
    }
    // The card view and the host name label read where the writes went.
    EXPECT_EQ(ReadCardView(platform, inventory, kRealtek).IpAddress, L"192.168.0.15");
    EXPECT_EQ(ReadHostName(platform), L"WB-15");
    EXPECT_EQ(LastBox().icon, MsgIcon::Information);
  }
}

class RestartTest : public OkActionTest {};

TEST_F(RestartTest, NoDoesNothing) {
  EXPECT_FALSE(AskAndRestart(platform));
  ASSERT_EQ(sim.messages.Shown().size(), 1u);
  EXPECT_EQ(LastBox().text, L"重新启动计算机才能生效,现在就要重启吗?\r\n");
  EXPECT_EQ(LastBox().ShownTitle(), L"全部设置完毕 需要重启计算机！");
  EXPECT_EQ(LastBox().buttons, MsgButtons::YesNo);
  EXPECT_EQ(LastBox().icon, MsgIcon::None);
  EXPECT_TRUE(sim.restart.calls.empty());
}

TEST_F(RestartTest, YesEnablesThePrivilegeAndForcesAReboot) {
  sim.messages.Answer(MsgAnswer::Yes);
  EXPECT_TRUE(AskAndRestart(platform));
  const std::vector<std::string> expected = {
      "GetCurrentProcess",
      "OpenProcessToken self 0x28",
      "LookupPrivilegeValueA \"\" SeShutdownPrivilege",
      "AdjustTokenPrivileges 0x7700 0 len=28",
      "CloseHandle 0x7700",
      "ExitWindowsEx 6 0",
  };
  EXPECT_EQ(sim.restart.calls, expected);
  const PrivilegeRecord& state = sim.restart.lastNewState;
  EXPECT_EQ(state.PrivilegeCount, 1u);
  EXPECT_EQ(state.Privileges[0].LowPart, 19u);
  EXPECT_EQ(state.Privileges[0].Attributes, kSePrivilegeEnabled);
  EXPECT_EQ(state.Privileges[1].LowPart, 0u);
  EXPECT_EQ(state.Privileges[1].Attributes, 0u);
  EXPECT_EQ(sim.messages.Shown().size(), 1u);
}

TEST_F(RestartTest, WithoutAPrivilegeTheRebootIsStillRequested) {
  sim.messages.Answer(MsgAnswer::Yes);
  sim.restart.tokenFails = true;
  EXPECT_TRUE(AskAndRestart(platform));
  EXPECT_EQ(sim.restart.calls.back(), "ExitWindowsEx 6 0");
  EXPECT_EQ(sim.restart.calls[3], "AdjustTokenPrivileges 0x0 0 len=28");
  EXPECT_EQ(sim.messages.Shown().size(), 1u);
}

TEST_F(RestartTest, RefusedRebootIsToldAndTheWindowStillCloses) {
  sim.messages.Answer(MsgAnswer::Yes);
  sim.restart.exitFails = true;
  EXPECT_TRUE(AskAndRestart(platform));
  ASSERT_EQ(sim.messages.Shown().size(), 2u);
  EXPECT_EQ(LastBox().text, L"重启请求失败,请手动重新启动计算机,新设置在重启后生效。");
  EXPECT_EQ(LastBox().ShownTitle(), L"全部设置完毕 需要重启计算机！");
  EXPECT_EQ(LastBox().icon, MsgIcon::Information);
  EXPECT_EQ(LastBox().buttons, MsgButtons::Ok);
}

}  // namespace
}  // namespace vexa
