// Every seat its own identity: the machines a log shows sharing an identifier with this one, the new
// MachineGuid a clone gets before its write, and /undo putting the image's back.
#include <gtest/gtest.h>

#include <set>

#include "cafe/seats.h"
#include "common/exit_codes.h"
#include "common/fingerprint.h"
#include "common/utf8.h"
#include "log/machine_twins.h"
#include "registry/machine_guid.h"
#include "row.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest, test::kA, test::kB;

constexpr const char* kCryptography = "SOFTWARE\\Microsoft\\Cryptography";
const std::string kImageGuid = "6b29fc40-ca47-4e13-8a2f-1d3c5e7f9a0b";

// A whole line of a run that put number on address, carrying the machine's fingerprints.
std::wstring Vouching(const std::wstring& number, const std::wstring& address, const std::wstring& guid,
                      const std::wstring& sid = L"0badc0de") {
  return test::Line(L"/n", L"已写入", number, address, L"0", L"") + L"\t机器码=" + guid + L"\tSID=" + sid + L"\t" +
         address + L"=" + number + L"\r\n";
}

std::vector<std::wstring> NumbersSharing(TextCodec& codec, const std::wstring& log, PrintOf column,
                                         const std::wstring& print) {
  LogText text;
  AddLogBytes(codec, ToUtf8(log), text);
  std::vector<std::wstring> numbers;
  for (const LogEntry& entry : CardsSharing(text, column, print, {L"00-1A-2B-3C-4D-5E"}))
    numbers.push_back(entry.record.number);
  return numbers;
}

// Each card counts by its last vouching line; this machine's own cards, an ended claim, a line without
// fingerprints (an earlier version's) and an unknown print share nothing.
TEST(CardsSharing, EachCardByItsLastVouchingLine) {
  const std::wstring mine = L"00-1A-2B-3C-4D-5E";
  const std::wstring old = test::Line(L"/n", L"已写入", L"7", kB, L"0", std::wstring(kB) + L"=7") + L"\r\n";
  const std::wstring undone = test::Line(L"/undo", L"已撤销", L"1", kA, L"0", L"") + L"\r\n";
  const std::wstring refused =
      test::Line(L"/n", L"拒绝: x", L"3", kB, L"2", L"") + L"\t机器码=aaaaaaaa\tSID=0badc0de\r\n";
  const struct {
    int line;
    std::wstring log;
    PrintOf column;
    std::wstring print;
    std::vector<std::wstring> numbers;
  } rows[] = {
      ROW(Vouching(L"1", kA, L"aaaaaaaa"), PrintOf::MachineGuid, L"aaaaaaaa", {L"1"}),
      ROW(Vouching(L"1", kA, L"aaaaaaaa") + Vouching(L"2", kB, L"aaaaaaaa"), PrintOf::MachineGuid, L"aaaaaaaa",
          {L"2", L"1"}),
      ROW(Vouching(L"1", mine, L"aaaaaaaa"), PrintOf::MachineGuid, L"aaaaaaaa", {}),
      ROW(Vouching(L"1", kA, L"aaaaaaaa") + Vouching(L"1", kA, L"bbbbbbbb"), PrintOf::MachineGuid, L"aaaaaaaa", {}),
      ROW(Vouching(L"1", kA, L"aaaaaaaa") + undone, PrintOf::MachineGuid, L"aaaaaaaa", {}),
      ROW(Vouching(L"2", kB, L"aaaaaaaa") + undone + L"2026-12-01 10:00", PrintOf::MachineGuid, L"aaaaaaaa", {L"2"}),
      ROW(Vouching(L"3", kB, L"aaaaaaaa") + refused, PrintOf::MachineGuid, L"aaaaaaaa", {L"3"}),
      ROW(refused, PrintOf::MachineGuid, L"aaaaaaaa", {}),
      ROW(old, PrintOf::MachineGuid, L"", {}),
      ROW(old + Vouching(L"1", kA, L"aaaaaaaa"), PrintOf::MachineSid, L"0badc0de", {L"1"}),
      ROW(Vouching(L"1", kA, L"aaaaaaaa", L"12345678"), PrintOf::MachineSid, L"0badc0de", {}),
  };
  sim::SimText codec;
  for (const auto& row : rows) {
    TRACE_ROW(row);
    EXPECT_EQ(NumbersSharing(codec, row.log, row.column, row.print), row.numbers);
  }
}

TEST(MachineGuid, ANewOneIsRandomVersionFourInWindowsSpelling) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  std::set<std::wstring> made;
  for (int i = 0; i < 4; ++i) {
    const std::wstring guid = NewMachineGuid(platform);
    ASSERT_EQ(guid.size(), 36u) << ToUtf8(guid);
    EXPECT_EQ(guid.find_first_not_of(L"0123456789abcdef-"), std::wstring::npos) << ToUtf8(guid);
    EXPECT_EQ(guid[8], L'-');
    EXPECT_EQ(guid[23], L'-');
    EXPECT_EQ(guid[14], L'4');
    EXPECT_NE(std::wstring(L"89ab").find(guid[19]), std::wstring::npos) << ToUtf8(guid);
    made.insert(guid);
  }
  EXPECT_EQ(made.size(), 4u);
  sim.system.randomFails = true;
  EXPECT_EQ(NewMachineGuid(platform), L"");
  // One that is not a string is none: unknown, never another machine's.
  EXPECT_EQ(ReadMachineGuid(platform), L"");
  sim.registry.SetValue(kHkeyLocalMachine, kCryptography, "MachineGuid", kRegBinary, kImageGuid);
  EXPECT_EQ(ReadMachineGuid(platform), L"");
  sim.registry.SetValue(kHkeyLocalMachine, kCryptography, "MachineGuid", kRegSz, kImageGuid + '\0');
  EXPECT_EQ(ToUtf8(ReadMachineGuid(platform)), kImageGuid);
}

class IdentityTest : public DeploymentTest {
 protected:
  IdentityTest() { SetGuid(kImageGuid); }
  void SetGuid(const std::string& guid) {
    sim.registry.SetValue(kHkeyLocalMachine, kCryptography, "MachineGuid", kRegSz, guid + '\0');
  }
  std::string Guid() {
    const auto value = sim.registry.GetValue(kHkeyLocalMachine, kCryptography, "MachineGuid");
    return value ? value->data.substr(0, value->data.find('\0')) : "";
  }
  void Identity(const std::wstring& rule) {
    sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n" +
                  (rule.empty() ? L"" : L"[Identity]\r\nMachineGuid=" + rule + L"\r\n"));
  }
  const std::wstring imagePrint = Fingerprint(kImageGuid);
};

// A clone of a machine that ran before gets a new MachineGuid, saved first, said in its summary and line;
// /undo puts the image's back.
TEST_F(IdentityTest, AClonesMachineGuidIsRenewedAndUndoPutsTheImagesBack) {
  Identity(L"");
  sim.files.Put(log, "\xEF\xBB\xBF" + ToUtf8(Vouching(L"1", kA, imagePrint)));
  EXPECT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone);
  const std::string renewed = Guid();
  EXPECT_EQ(renewed.size(), 36u);
  EXPECT_NE(renewed, kImageGuid);
  EXPECT_NE(Output().find(L"机器码 (MachineGuid) 已换新(与机号 1 的机器相同)"), std::wstring::npos) << ToUtf8(Output());
  EXPECT_NE(Log().find(ToUtf8(L"已写入, 机器码已换新(与机号 1 的机器相同)\t")), std::string::npos) << Log();
  EXPECT_NE(Log().find(ToUtf8(L"\t机器码=" + Fingerprint(renewed) + L"\t")), std::string::npos) << Log();
  // Its own line now names it by the new one: the next run finds no twin.
  EXPECT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Guid(), renewed);
  EXPECT_EQ(Run(L"/undo /noreboot"), exit_code::kDone);
  EXPECT_EQ(Guid(), kImageGuid);
  EXPECT_NE(Output().find(std::wstring(L"机器码 (MachineGuid)")), std::wstring::npos) << ToUtf8(Output());
}

// Which runs renew it: [Identity] MachineGuid= as written, the log's other machines, the number the other
// card holds (the card that served this seat before is this machine), and what Windows gives.
TEST_F(IdentityTest, WhichRunsRenewIt) {
  const std::string twin = "\xEF\xBB\xBF" + ToUtf8(Vouching(L"5", kA, Fingerprint(kImageGuid)));
  const struct {
    int line;
    std::wstring rule;
    std::string log;
    const wchar_t* command;
    int code;
    bool renewed;
    std::wstring says;  // in the console
  } rows[] = {
      ROW(L"", twin, L"/n 2 /card 1 /noreboot", exit_code::kDone, true, L"已换新(与机号 5 的机器相同)"),
      ROW(L"", twin, L"/n 5 /card 1 /noreboot /force", exit_code::kDone, false, L"已写入"),
      ROW(L"", "", L"/n 2 /card 1 /noreboot", exit_code::kDone, false, L"已写入"),
      ROW(L"KEEP", twin, L"/n 2 /card 1 /noreboot", exit_code::kDone, false, L"已写入"),
      ROW(L"new", "", L"/n 2 /card 1 /noreboot", exit_code::kDone, true, L"已换新([Identity] MachineGuid=new)"),
      ROW(L"renew", twin, L"/n 2 /card 1 /noreboot", exit_code::kRefused, false,
          L"MachineGuid=renew:只能写 new(每台机器第一次写入时换新机器码)或 keep"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    test::CloneImage(sim);
    sim.registry.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\VexaIpSet");
    SetGuid(kImageGuid);
    Identity(row.rule);
    sim.files.Put(log, row.log);
    EXPECT_EQ(Run(row.command), row.code) << ToUtf8(Output());
    EXPECT_EQ(Guid() != kImageGuid, row.renewed);
    EXPECT_NE(Output().find(row.says), std::wstring::npos) << ToUtf8(Output());
  }
  // =new renews once: a machine the tool gave one keeps it. One the tool wrote without renewing it gets one.
  Identity(L"keep");
  ASSERT_EQ(Run(L"/n 4 /card 1 /noreboot"), exit_code::kDone);
  ASSERT_EQ(Guid(), kImageGuid);
  Identity(L"new");
  ASSERT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone);
  const std::string given = Guid();
  EXPECT_NE(given, kImageGuid);
  EXPECT_EQ(Run(L"/n 3 /card 1 /noreboot"), exit_code::kDone);
  EXPECT_EQ(Guid(), given);
}

// A machine already set as planned still gets its own MachineGuid: only that is written, exit code 0; no
// random bytes from Windows is a value not written, exit code 3.
TEST_F(IdentityTest, InPlaceOnlyTheMachineGuidIsWritten) {
  Identity(L"keep");
  ASSERT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone);
  Identity(L"");
  const std::string twin = ToUtf8(Vouching(L"1", kA, Fingerprint(kImageGuid)));
  sim.files.Put(log, Log() + twin);
  sim.registry.ClearWrites();
  EXPECT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"本机已是这些设置,只写入了新的机器码"), std::wstring::npos) << ToUtf8(Output());
  EXPECT_NE(Log().find(ToUtf8(L"已是这些设置, 计算机名重启后生效, 机器码已换新(与机号 1 的机器相同)\t")),
            std::string::npos)
      << Log();
  EXPECT_NE(Guid(), kImageGuid);

  SetGuid(kImageGuid);
  sim.registry.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\VexaIpSet");  // a machine never given one
  sim.files.Put(log, Log() + twin);
  sim.system.randomFails = true;
  EXPECT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kNotAllWritten) << ToUtf8(Output());
  EXPECT_NE(Output().find(L"机器码 (MachineGuid) 应换新(与机号 1 的机器相同),但没能写入。"), std::wstring::npos);
  EXPECT_EQ(Guid(), kImageGuid);
}

// Lines on the share are anyone's to write: a forged twin line after the machine had its new MachineGuid
// (copying its fingerprint from the log) is named in the console and the line, and renews nothing.
TEST_F(IdentityTest, TheTwinRuleRenewsOnce) {
  Identity(L"");
  sim.files.Put(log, "\xEF\xBB\xBF" + ToUtf8(Vouching(L"1", kA, imagePrint)));
  EXPECT_EQ(Run(L"/check /n 2 /card 1"), exit_code::kRegistryDiffers);
  EXPECT_NE(Output().find(L"\r\n写入时本机会换新机器码 (MachineGuid)(与机号 1 的机器相同),/undo 可恢复。"),
            std::wstring::npos)
      << ToUtf8(Output());
  ASSERT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone);
  const std::string renewed = Guid();
  ASSERT_NE(renewed, kImageGuid);
  for (const wchar_t* forged : {L"7", L"8"}) {
    sim.files.Put(log, Log() + ToUtf8(Vouching(forged, forged == std::wstring(L"7") ? kA : kB, Fingerprint(renewed))));
    EXPECT_EQ(Run(L"/n 2 /card 1 /noreboot"), exit_code::kDone) << ToUtf8(Output());
    EXPECT_EQ(Guid(), renewed);
    EXPECT_NE(Output().find(L"日志说本机的机器码 (MachineGuid) 与机号 " + std::wstring(forged) +
                            L" 的机器相同,但本程序已经给本机换过一次机器码,不再换新"),
              std::wstring::npos)
        << ToUtf8(Output());
    EXPECT_NE(Log().find(ToUtf8(L", 机器码不再换新(与机号 " + std::wstring(forged) + L" 的机器相同)\t")),
              std::string::npos)
        << Log();
  }
  EXPECT_EQ(Run(L"/check /n 2 /card 1"), exit_code::kNotInEffect);
  EXPECT_EQ(Output().find(L"换新机器码"), std::wstring::npos) << ToUtf8(Output());
}

// Seats whose machines share a machine SID: one group a SID, of two seats or more; a card that replaced a
// seat's card is that seat, an ended claim and an unknown SID share nothing.
TEST(SeatsSharingSid, OneGroupASidOfTwoSeatsOrMore) {
  const std::wstring c = L"00-00-00-00-00-0C";
  const std::wstring undone = test::Line(L"/undo", L"已撤销", L"3", c, L"0", L"") + L"\r\n";
  const std::wstring old =
      test::Line(L"/n", L"已写入", L"4", L"00-00-00-00-00-0D", L"0", L"00-00-00-00-00-0D=4") + L"\r\n";
  const struct {
    int line;
    std::wstring log;
    std::vector<std::vector<int>> groups;
  } rows[] = {
      ROW(Vouching(L"2", kA, L"aaaaaaaa", L"11111111") + Vouching(L"1", kB, L"bbbbbbbb", L"11111111") +
              Vouching(L"3", c, L"cccccccc", L"22222222"),
          {{1, 2}}),
      ROW(Vouching(L"2", kA, L"aaaaaaaa", L"11111111") + Vouching(L"2", kB, L"aaaaaaaa", L"11111111"), {}),
      ROW(Vouching(L"2", kA, L"aaaaaaaa", L"11111111") + Vouching(L"3", c, L"cccccccc", L"11111111") + undone, {}),
      ROW(old + Vouching(L"2", kA, L"aaaaaaaa", L"11111111"), {}),
      ROW(Vouching(L"1", kA, L"aaaaaaaa", L"22222222") + Vouching(L"2", kB, L"bbbbbbbb", L"11111111") +
              Vouching(L"3", c, L"cccccccc", L"22222222") + Vouching(L"4", L"00-00-00-00-00-0D", L"d", L"11111111"),
          {{1, 3}, {2, 4}}),
  };
  sim::SimText codec;
  for (const auto& row : rows) {
    TRACE_ROW(row);
    LogText text;
    AddLogBytes(codec, ToUtf8(row.log), text);
    const RunLog log = text.Select({});
    EXPECT_EQ(SeatsSharingSid(AddressesOf(log)), row.groups);
  }
}

// /table, /report and /check each name the seats that share a machine SID, and what it means.
TEST_F(IdentityTest, TheViewsNameTheSeatsThatShareAMachineSid) {
  sim.system.machineSid = "S-1-5-21-0-0-0";
  const std::wstring sid = Fingerprint(sim.system.machineSid);
  sim.files.Put(log,
                "\xEF\xBB\xBF" + ToUtf8(Vouching(L"7", kA, L"aaaaaaaa", sid) + Vouching(L"9", kB, L"bbbbbbbb", sid)));
  Identity(L"");
  EXPECT_EQ(Run(L"/table"), exit_code::kDone);
  EXPECT_NE(
      Output().find(L"; 共用一个机器 SID 的机号: 7, 9\r\n; 它们是同一个镜像克隆的,没有用 Sysprep 封装:Windows 11 24H2"),
      std::wstring::npos)
      << ToUtf8(Output());
  EXPECT_EQ(Run(L"/report"), exit_code::kDone);
  const std::string page = FileBeside("VexaIpSet.html");
  EXPECT_NE(page.find(ToUtf8(L"<b>7</b><em>SID</em>")), std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L": 已写入; 与机号 9 共用机器 SID\"><b>7</b>")), std::string::npos) << page;
  EXPECT_NE(page.find(ToUtf8(L": 已写入; 与机号 7 共用机器 SID\"><b>9</b>")), std::string::npos);
  EXPECT_NE(page.find(ToUtf8(L"这些机位共用一个机器 SID: 7, 9。它们是同一个镜像克隆的")), std::string::npos);
  EXPECT_EQ(Run(L"/check /n 5 /card 1"), exit_code::kRegistryDiffers);
  EXPECT_NE(Output().find(L"\r\n机器 SID: 与机号 9, 7 的机器相同。它们是同一个镜像克隆的"), std::wstring::npos)
      << ToUtf8(Output());
}

}  // namespace
}  // namespace vexa
