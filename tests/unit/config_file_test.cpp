// config.ini in every encoding Notepad saves, read as Windows' reader reads the same content in ANSI, and
// the reading made independent of where Windows' and Wine's readers differ.
#include <gtest/gtest.h>

#include <cstring>

#include "app/ok_action.h"
#include "common/utf8.h"
#include "config/config_copy.h"
#include "config/config_file.h"
#include "config/ini_file.h"
#include "config/machine_table.h"
#include "config/venue.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa {
namespace {

using IniFile::Encoding;
using test::Sz;

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8);
    const char low = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

TEST(ConfigEncoding, AsNotepadShowsIt) {
  const struct {
    std::string bytes;
    Encoding encoding;
  } cases[] = {
      {"[NetWork]\r\nIP=10.0.0\r\n", Encoding::Ansi},              // plain ASCII
      {"NetPrefix=\xCD\xF8\xB0\xC9\r\n", Encoding::Ansi},          // GBK, no valid UTF-8
      {"NetPrefix=\xE7\xBD\x91\xE5\x90\xA7\r\n", Encoding::Utf8},  // UTF-8 without a mark
      {"\xEF\xBB\xBF[NetWork]\r\n", Encoding::Utf8WithMark},       // ASCII after the mark
      {"\xEF\xBB\xBF\xCD\xF8", Encoding::Utf8WithMark},            // the mark decides
      {"k=\xC0\x80", Encoding::Ansi},                              // overlong: no UTF-8
      {"k=\xED\xA0\x80", Encoding::Ansi},                          // a surrogate: no UTF-8
      {"k=\xE7\xBD", Encoding::Ansi},                              // cut short: no UTF-8
      {std::string("\xFF\xFE[\0", 4), Encoding::Utf16Le},
      {std::string("\xFE\xFF\0[", 4), Encoding::Utf16Be},
  };
  for (const auto& c : cases) EXPECT_EQ(IniFile::DetectEncoding(c.bytes), c.encoding) << c.bytes;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  ConfigFileTest() {
    test::CloneImage(sim);
    EnumNetworkCards(platform, inventory);
  }
  std::string Value(RegHandle root, const std::string& key, const std::string& name) {
    auto v = sim.registry.GetValue(root, key, name);
    return v ? v->data : "<missing>";
  }
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  CardInventory inventory;
};

// The same file in five encodings gives the same bytes in the registry; the copy is gone afterwards and
// config.ini is as it was.
TEST_F(ConfigFileTest, EveryEncodingGivesTheSameValues) {
  const std::u16string text = u"[NetWork]\r\nIP=10.1.1\r\nGateWay=\r\nNetPrefix=网吧-\r\n[CSCDK]\r\nCDKey15=键-15\r\n";
  const std::string utf8 =
      "[NetWork]\r\nIP=10.1.1\r\nGateWay=\r\nNetPrefix=\xE7\xBD\x91\xE5\x90\xA7-\r\n[CSCDK]\r\nCDKey15=\xE9\x94\xAE-"
      "15\r\n";
  const std::string files[] = {
      sim.text.ToAnsi(L"[NetWork]\r\nIP=10.1.1\r\nGateWay=\r\nNetPrefix=网吧-\r\n[CSCDK]\r\nCDKey15=键-15\r\n"), utf8,
      "\xEF\xBB\xBF" + utf8, Utf16(text, false), Utf16(text, true)};
  for (const auto& bytes : files) {
    SCOPED_TRACE(testing::Message() << "encoding " << (&bytes - files));
    sim.PutConfigBytes(bytes);
    ASSERT_EQ(RunOkAction(platform, inventory, L"15", L"Realtek RTL8139 Family PCI Fast Ethernet NIC"), Refusal::None);
    EXPECT_EQ(Value(kHkeyLocalMachine, test::kTcpipKey, "NV Hostname"), Sz("\xCD\xF8\xB0\xC9-15"));
    EXPECT_EQ(Value(kHkeyLocalMachine, std::string(test::kInterfacesKey) + "\\{11111111-AAAA}", "IPAddress"),
              std::string("10.1.1.15\0\0", 11));
    EXPECT_EQ(Value(kHkeyCurrentUser, test::kGameKey, "Key"), Sz("\xBC\xFC-15"));
    EXPECT_EQ(sim.files.Get(sim.ConfigPath()), bytes);
    EXPECT_EQ(sim.files.CountIn(sim.files.tempFolder), 0u) << "the copy is removed";
  }
  EXPECT_EQ(sim.files.TempFilesMade(), 3u);  // the UTF-8 and UTF-16BE files
}

TEST_F(ConfigFileTest, ACharacterGbkLacksIsRefusedInTheHostName) {
  sim.PutConfigBytes("[NetWork]\r\nNetPrefix=WB\xF0\x9F\x98\x80-\r\n");  // an emoji
  EXPECT_EQ(RunOkAction(platform, inventory, L"15", L"Realtek RTL8139 Family PCI Fast Ethernet NIC"),
            Refusal::BadHostName);
  EXPECT_NE(sim.messages.Shown().back().text.find(L"计算机名=WB?"
                                                  L"?-15"),
            std::wstring::npos);
  EXPECT_TRUE(test::MachineWrites(sim).empty());
}

// A file over 64 KiB goes through the copy with its lines cut, so a value of 65,537 characters reads as
// any long value does, not wrapped to one character as Windows' reader would give it.
TEST_F(ConfigFileTest, ALargeFileCannotReachTheReadersWrap) {
  sim.PutConfig(L"[NetWork]\r\nDNS=" + std::wstring(65537, L'7') + L"\r\n");
  EXPECT_EQ(IniFile::ReadIniString(platform, IniFile::ConfigPath(platform), L"NetWork", L"DNS", L""), L"7");
  IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
  ASSERT_NE(config.ReadPath(), IniFile::ConfigPath(platform));  // a copy
  EXPECT_EQ(IniFile::ReadIniString(platform, config.ReadPath(), L"NetWork", L"DNS", L""), std::wstring(253, L'7'));
}

// A large file's [Machines] table is read from the one read of the file and left out of the copy the
// reader gets: each value is read without parsing the table again, and the table reads as Windows reads
// it (the first section of the name). The copy is removed afterwards.
TEST_F(ConfigFileTest, ALargeTableIsGivenToTheReaderApart) {
  std::wstring text = L"[NetWork]\r\nNetPrefix=WB-\r\n [ machines ] \r\n";
  for (int i = 0; i < 4000; ++i)
    text += L"02-00-00-00-" + std::wstring(1, L"0123456789ABCDEF"[i / 256 % 16]) +
            std::wstring(1, L"0123456789ABCDEF"[i / 16 % 16]) + L"-0" + std::wstring(1, L"0123456789ABCDEF"[i % 16]) +
            L"=1\r\n";
  text += L"[CSCDK]\r\nCDKey15=K\r\n[Machines]\r\n02-AA-AA-AA-AA-AA=9\r\n";
  sim.PutConfig(text);
  {
    const IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
    ASSERT_NE(config.ReadPath(), IniFile::ConfigPath(platform));  // a copy
    EXPECT_EQ(config.MachineSections(), 2);
    EXPECT_EQ(IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kNetWork, L"NetPrefix", L""), L"WB-");
    EXPECT_EQ(IniFile::ReadIniString(platform, config.ReadPath(), IniFile::kCsCdk, L"CDKey15", L""), L"K");
    EXPECT_LT(sim.files.Get(sim.text.ToAnsi(config.ReadPath()))->size(), 200u);
    const IniFile::MachineTable table = IniFile::ReadMachineTable(config);
    EXPECT_EQ(table.entries.size(), 4000u);  // the first section only
    EXPECT_EQ(table.sections, 2);
  }
  EXPECT_EQ(sim.files.CountIn(sim.files.tempFolder), 0u);
}

// The copy the reader gets: UTF-16LE with its mark, every line cut to 4,096 units with a surrogate pair
// kept whole, and no [Machines] section (the table is read from the text itself).
TEST_F(ConfigFileTest, TheCopyTheReaderGets) {
  const std::string wang = "\xE7\xBD\x91";       // 网 in UTF-8: a UTF-8 file is always copied
  const std::string smile = "\xF0\x9F\x98\x80";  // U+1F600
  const std::u16string smileUnits = u"\xD83D\xDE00";
  const struct {
    int line;
    std::string bytes;
    std::u16string copy;
  } cases[] = {
      ROW("k=1\r\n" + wang + "=" + std::string(5000, 'x') + "\r\nk=1",
          u"k=1\r\n网=" + std::u16string(4094, u'x') + u"\r\nk=1"),
      ROW(wang + "=" + std::string(4093, 'x') + smile + "\n", u"网=" + std::u16string(4093, u'x') + u"\n"),
      ROW(wang + "=" + std::string(4092, 'x') + smile + "\n", u"网=" + std::u16string(4092, u'x') + smileUnits + u"\n"),
      ROW(wang + "=\xF0\x90\x80\x80\r", u"网=\xD800\xDC00\r"),  // U+10000
      ROW(wang + "=" + std::string(4093, 'x') + "\xF0\x90\x80\x80\n", u"网=" + std::u16string(4093, u'x') + u"\n"),
      ROW(wang + "=" + std::string(4093, 'x') + "\xF4\x8F\xBF\xBD\n", u"网=" + std::u16string(4093, u'x') + u"\n"),
      ROW("[NetWork]\r\nIP=" + wang + "\r\n[machines]\r\n00-1A-2B-3C-4D-5E=15\r\n\t[\vMachines ]\rX=1\r[Other]\nY=2\n",
          u"[NetWork]\r\nIP=网\r\n[Other]\nY=2\n"),
      ROW(Utf16(u"[s]\r\nk=网", true) + "A", u"[s]\r\nk=网"),  // UTF-16BE, an odd byte at the end
      ROW(Utf16(u"[s]\r\nk=网", true), u"[s]\r\nk=网"),
      ROW(Utf16(u"网=" + std::u16string(40000, u'x'), false), u"网=" + std::u16string(4094, u'x')),  // UTF-16LE, 80 KB
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfigBytes(c.bytes);
    const IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
    ASSERT_NE(config.ReadPath(), IniFile::ConfigPath(platform));  // a copy
    EXPECT_EQ(sim.files.Get(sim.text.ToAnsi(config.ReadPath())), Utf16(c.copy, false));
  }
}

// The [Machines] lines as Windows' reader would read them, from the one read of the file: headers as
// Windows reads them, the first section of the name only, nothing cut, ANSI decoded as code page 936.
TEST_F(ConfigFileTest, TheTableIsTheFirstMachinesSectionsLines) {
  const struct {
    int line;
    std::string bytes;
    std::wstring table;
    int sections;
  } cases[] = {
      ROW("[Mach]\r\na=1\r\n[Machine1]\r\nb=2\r\n[Xachines]\r\nc=3\r\n", L"", 0),
      ROW(" \t[\v machines\t] ;x\r\na=1\r\n\r\n[Other]\r\nb=2\r\n[MACHINES]\r\nc=3", L"a=1\r\n\r\n", 2),
      ROW("[Machines]\rk=" + std::string(5000, 'x') + "\r", L"k=" + std::wstring(5000, L'x') + L"\r", 1),
      ROW("[Machines]\n\x80=1\n", L"\x20AC=1\n", 1),                    // the euro sign, in code page 936 only
      ROW("\xEF\xBB\xBF[Machines]\r\nk=\xFF\r\n", L"k=\xFFFD\r\n", 1),  // after a UTF-8 mark, a byte no UTF-8 has
      ROW("[Machines]", L"", 1),
      ROW("[Machines\r\na=1\r\n[Other\r\nb=2", L"a=1\r\n", 1),  // a header runs to the line's end without ']'
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    sim.PutConfigBytes(c.bytes);
    const IniFile::ConfigFile config = IniFile::ConfigFile::Open(platform);
    EXPECT_EQ(config.MachinesText(), c.table);
    EXPECT_EQ(config.MachineSections(), c.sections);
  }
}

// A reader that writes the first byte of a double-byte character at the cut, as Windows' may.
class CuttingProfile : public Profile {
 public:
  std::uint32_t GetPrivateProfileStringA(const char*, const char*, const char*, char* buffer, std::uint32_t,
                                         const char*) override {
    std::memcpy(buffer, "\x0C\xCD\xF8\xCD\0", 5);
    return 4;
  }
};

TEST_F(ConfigFileTest, ReadIniStringDropsALoneLeadByteAndTrimsFormFeedAndControlZ) {
  CuttingProfile cutting;
  Platform cut{sim.registry, cutting,      sim.messages, sim.restart, sim.system,  sim.text,
               sim.files,    sim.adapters, sim.console,  sim.network, sim.services};
  EXPECT_EQ(IniFile::ReadIniString(cut, L"C:\\config.ini", L"s", L"k", L""), L"网");
  sim.PutConfigBytes("[s]\r\nk=\x1A v\x0C\r\n");  // the simulated Windows keeps ^Z and FF
  EXPECT_EQ(IniFile::ReadIniString(platform, IniFile::ConfigPath(platform), L"s", L"k", L""), L"v");
}

// A header Windows' readers could read as two names is found, by its line as Notepad counts them; a plain
// one, blanks around the line included, is not. The venue then names the line, the zone it heads and why.
TEST(ConfigHeaders, ReadTwoWaysAreFoundAndNamed) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  const struct {
    int line;
    const wchar_t* file;
    int odd;  // the line found, 0 for none
    const wchar_t* says;
  } rows[] = {
      ROW(L"[NetWork]\r\n  [二楼]  \r\n[]\r\n", 0, nullptr),
      ROW(L"[NetWork]\r\n[Zones]\r\n二楼=201-400\r\n[二楼] ; 201-400 [new]\r\n", 4,
          L"第 4 行(区 二楼 的节头): [二楼] ; 201-400 [new]\r\n] 后面还有字"),
      ROW(L"[NetWork]\r\n\r\nIP=1\n[二楼\r\n", 4, L"第 4 行: [二楼\r\n缺少 ]"),
      ROW(L"[NetWork]\r[ 二楼 ]\r\n", 2, L"方括号里有空格:请写成 [二楼]。"),
      ROW(L"[NetWork] ;\r\n", 1, L"第 1 行: [NetWork] ;"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    sim.PutConfig(row.file);
    const IniFile::Venue venue = IniFile::ReadVenue(platform);
    const std::optional<IniFile::OddHeader>& odd = venue.file.FirstOddHeader();
    EXPECT_EQ(odd ? odd->line : 0, row.odd);
    EXPECT_EQ(venue.Ok(), row.says == nullptr);
    if (row.says != nullptr) {
      EXPECT_NE(venue.problem.find(row.says), std::wstring::npos) << ToUtf8(venue.problem);
    }
  }
}

TEST(MachineTableTest, AddressesInEitherSpellingNumbersAsWrittenBadLinesApart) {
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.PutConfig(
      L"[Machines]\r\n00-1A-2B-3C-4D-5E=15\r\n00:1a:2b:3c:4d:5f= 007 \r\n001A2B3C4D60=17\r\n00-1A:2B-3C-4D-61=18\r\n"
      L"00-1A-2B-3C-4D-5G=19\r\nbare\r\n; a comment=1\r\n00-1A-2B-3C-4D-63＝21\r\n00-1A-2B-3C-4D-5E-77=22\r\n"
      L"00-1a-2b-3c-4d-5f=16\r\n00:1A:2B:3C:4D:5E=15\r\n00-00-00-00-00-01=3\r\n[Other]\r\n00-1A-2B-3C-4D-62=20\r\n"
      L"[machines]\r\n"
      L"00-1A-2B-3C-4D-64=23\r\n");
  const IniFile::MachineTable table = IniFile::ReadMachineTable(IniFile::ConfigFile::Open(platform));
  ASSERT_EQ(table.entries.size(), 5u);
  EXPECT_EQ(FormatMac(table.entries[4].address), L"00-00-00-00-00-01");
  EXPECT_EQ(FormatMac(table.entries[0].address), L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(table.entries[0].numberText, L"15");
  EXPECT_EQ(FormatMac(table.entries[1].address), L"00-1A-2B-3C-4D-5F");
  EXPECT_EQ(table.entries[1].numberText, L"007");
  EXPECT_EQ(table.unreadable,
            (std::vector<std::wstring>{L"bare", L"00-1A-2B-3C-4D-63＝21", L"001A2B3C4D60=17", L"00-1A:2B-3C-4D-61=18",
                                       L"00-1A-2B-3C-4D-5G=19", L"00-1A-2B-3C-4D-5E-77=22"}));
  EXPECT_EQ(table.duplicates, (std::vector<std::wstring>{L"00-1a-2b-3c-4d-5f=16", L"00:1A:2B:3C:4D:5E=15"}));
  EXPECT_EQ(table.sections, 2);
  sim.PutConfig(L"[NetWork]\r\n");
  EXPECT_EQ(IniFile::ReadMachineTable(IniFile::ConfigFile::Open(platform)).sections, 0);
}

// The start-up run's copy names the log the operator's runs write: a missing or relative [Log] Folder=
// becomes the folder /install ran from; a full one, and every other byte, stays.
TEST(ConfigCopy, TheLogFolderMadeFull) {
  sim::SimText text;
  const std::wstring from = L"D:\\网吧";
  const struct {
    int line;
    std::wstring config, named, copy;
  } rows[] = {
      ROW(L"[NetWork]\r\nIP=10.0.0\r\n", L"", L"[NetWork]\r\nIP=10.0.0\r\n[Log]\r\nFolder=D:\\网吧\r\n"),
      ROW(L"[NetWork]", L"", L"[NetWork]\r\n[Log]\r\nFolder=D:\\网吧\r\n"),  // no line end at the file's end
      ROW(L"[Log]\r\nFolder=logs\r\n[x]\r\n", L"logs", L"[Log]\r\nFolder=D:\\网吧\\logs\r\n[x]\r\n"),
      ROW(L"[log]\r\n folder = ..\\共享 \r\n", L"..\\共享", L"[log]\r\nFolder=D:\\共享\r\n"),
      ROW(L"[Log]\r\nKeep=1\r\n[x]\r\n", L"", L"[Log]\r\nFolder=D:\\网吧\r\nKeep=1\r\n[x]\r\n"),
      ROW(L"[Log]", L"", L"[Log]\r\nFolder=D:\\网吧\r\n"),
      // Only the first [Log] is the reader's.
      ROW(L"[Log]\r\nFolder=a\r\n[Log]\r\nFolder=b\r\n", L"a", L"[Log]\r\nFolder=D:\\网吧\\a\r\n[Log]\r\nFolder=b\r\n"),
      ROW(L"[Log]\r\nFolder=\\\\srv\\vexa\r\n", L"\\\\srv\\vexa", L"[Log]\r\nFolder=\\\\srv\\vexa\r\n"),
      ROW(L"[Log]\r\nFolder=E:\\log\r\n", L"E:\\log", L"[Log]\r\nFolder=E:\\log\r\n"),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    const std::string bytes = text.ToAnsi(row.config);
    const IniFile::ConfigCopy copy = IniFile::CopyForStartup(text, bytes, row.named, from);
    if (row.config == row.copy) {
      EXPECT_EQ(copy.bytes, bytes);  // byte for byte
      EXPECT_TRUE(copy.logFolder.empty());
    } else {
      EXPECT_EQ(IniFile::DetectEncoding(copy.bytes), Encoding::Utf16Le);
      EXPECT_EQ(IniFile::DecodeText(text, copy.bytes, Encoding::Utf16Le), row.copy);
    }
  }
  // A key before any header is in no section: the [Log] after it gets the line.
  const IniFile::ConfigCopy early = IniFile::CopyForStartup(text, "Folder=x\r\n[Log]\r\n", L"", from);
  EXPECT_EQ(IniFile::DecodeText(text, early.bytes, Encoding::Utf16Le), L"Folder=x\r\n[Log]\r\nFolder=D:\\网吧\r\n");
  // Every encoding Notepad saves is read as it was saved.
  for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf8WithMark, Encoding::Utf16Le, Encoding::Utf16Be}) {
    const std::wstring config = L"[NetWork]\r\nNetPrefix=网吧-\r\n";
    std::string bytes = encoding == Encoding::Utf8WithMark ? "\xEF\xBB\xBF" + ToUtf8(config) : ToUtf8(config);
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
      bytes = Utf16(u"[NetWork]\r\nNetPrefix=网吧-\r\n", encoding == Encoding::Utf16Be);
    }
    const IniFile::ConfigCopy copy = IniFile::CopyForStartup(text, bytes, L"", from);
    EXPECT_EQ(IniFile::DecodeText(text, copy.bytes, Encoding::Utf16Le), config + L"[Log]\r\nFolder=D:\\网吧\r\n");
  }
}

// [Startup] WaitSeconds=: whole seconds 0 to 600, else the file cannot be used, the key named.
TEST_F(ConfigFileTest, StartupWaitSeconds) {
  const struct {
    int line;
    std::wstring value;
    std::uint32_t seconds;  // 0xFFFF: refused
  } rows[] = {
      ROW(L"", 120),      ROW(L"0", 0),         ROW(L"600", 600),    ROW(L"45", 45),       ROW(L"601", 0xFFFF),
      ROW(L"-1", 0xFFFF), ROW(L"1000", 0xFFFF), ROW(L"12s", 0xFFFF), ROW(L"６０", 0xFFFF),
  };
  for (const auto& row : rows) {
    TRACE_ROW(row);
    sim.PutConfig(L"[Startup]\r\nWaitSeconds=" + row.value + L"\r\n");
    const IniFile::Venue venue = IniFile::ReadVenue(platform);
    if (row.seconds == 0xFFFF) {
      EXPECT_NE(venue.problem.find(L"[Startup] 有误"), std::wstring::npos);
      EXPECT_NE(venue.problem.find(L"WaitSeconds=" + row.value + L":"), std::wstring::npos);
    } else {
      EXPECT_TRUE(venue.Ok()) << ToUtf8(venue.problem);
      EXPECT_EQ(venue.startupWaitSeconds, row.seconds);
    }
  }
}

}  // namespace
}  // namespace vexa
