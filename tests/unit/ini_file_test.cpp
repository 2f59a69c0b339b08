// Module IniFile: the path rule and the reading of one value through the 254-byte buffer.
#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "sim_machine.h"

namespace vexa {
namespace {

TEST(IniFilePath, BackslashOnlyWhenTheFolderLacksOne) {
  EXPECT_EQ(IniFile::ConfigPathIn(L"C:\\"), L"C:\\config.ini");
  EXPECT_EQ(IniFile::ConfigPathIn(L"D:\\网吧\\工具"), L"D:\\网吧\\工具\\config.ini");
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  sim.system.moduleDirectory = "E:\\";
  EXPECT_EQ(IniFile::ConfigPath(platform), L"E:\\config.ini");
}

class ReadIniStringTest : public ::testing::Test {
 protected:
  std::wstring Read(const wchar_t* key, const wchar_t* def = L"dflt", const wchar_t* section = L"NetWork") {
    return IniFile::ReadIniString(platform, path, section, key, def);
  }
  sim::SimPlatform sim;
  Platform platform = sim.platform();
  std::wstring path = IniFile::ConfigPath(platform);
};

TEST_F(ReadIniStringTest, NoFileGivesEveryDefault) {
  EXPECT_EQ(Read(L"IP", L"192.168.0"), L"192.168.0");
  EXPECT_EQ(Read(L"NetPrefix", L""), L"");
  EXPECT_EQ(Read(L"CDKey5", L"  padded  ", L"CSCDK"), L"padded");
}

TEST_F(ReadIniStringTest, ValuesAreTrimmedAndEmptyIsNotTheDefault) {
  sim.PutConfig(L"[NetWork]\r\nIP=\r\nMask=  255.255.0.0   \r\nNetPrefix=网吧-\r\n");
  EXPECT_EQ(Read(L"IP", L"192.168.0"), L"");
  EXPECT_EQ(Read(L"Mask"), L"255.255.0.0");
  EXPECT_EQ(Read(L"NetPrefix"), L"网吧-");
}

TEST_F(ReadIniStringTest, LongValuesAreCutTo253Bytes) {
  sim.PutConfig(L"[NetWork]\r\nDNS=" + std::wstring(300, L'7') + L"\r\nNetPrefix=" + std::wstring(130, L'网') +
                L"\r\n");
  EXPECT_EQ(Read(L"DNS"), std::wstring(253, L'7'));
  // 126 whole characters fit; the half of the 127th is never taken.
  EXPECT_EQ(Read(L"NetPrefix"), std::wstring(126, L'网'));
}

TEST_F(ReadIniStringTest, ValueWithANulIsCutThere) {
  sim.PutConfigBytes(std::string("[NetWork]\r\nIP=10.1\0.9\r\n", 23));
  EXPECT_EQ(Read(L"IP"), L"10.1");
}

TEST_F(ReadIniStringTest, FileIsReadAfreshEachTime) {
  sim.PutConfig(L"[NetWork]\r\nIP=10.0.0\r\n");
  EXPECT_EQ(Read(L"IP"), L"10.0.0");
  sim.PutConfig(L"[NetWork]\r\nIP=10.0.1\r\n");
  EXPECT_EQ(Read(L"IP"), L"10.0.1");
}

// A section's lines read at once as the reader reads each of them: trimmed, one pair of quotes removed,
// every line of a key kept (the reader gives the first, in any case), comments skipped, lines without
// '=' set apart, every CR or LF ends a line.
TEST_F(ReadIniStringTest, ASectionsLinesReadAsTheKeysWould) {
  const std::wstring body =
      L"D=\"\r\n  Key = \"15\" \r\n; note=1\r\nkey=16\r\nbare line\rB='7'\nC=\"8\r\n\r\nAb=1\r\naB=2\r\nE=\"\"\r\n"
      L"\tF\v=\x1A a=b \f\n" +
      std::wstring(L"H\0h= '9 \0x\r\nG=", 17);  // names and values end at a NUL
  sim.PutConfig(L"[Machines]\r\n" + body + L"\r\n[Other]\r\nD=1\r\n");
  const IniFile::IniLines section = IniFile::ParseIniLines(body);
  const std::vector<std::pair<std::wstring_view, std::wstring_view>> entries = {
      {L"D", L"\""}, {L"Key", L"15"}, {L"key", L"16"}, {L"B", L"7"},  {L"C", L"\"8"}, {L"Ab", L"1"},
      {L"aB", L"2"}, {L"E", L""},     {L"F", L"a=b"},  {L"H", L"'9"}, {L"G", L""}};
  EXPECT_EQ(section.entries, entries);
  EXPECT_EQ(section.unparsed, std::vector<std::wstring_view>{L"bare line"});
  for (const auto& [key, value] : entries) {
    if (key == L"key" || key == L"aB") continue;  // the reader gives the first line of a name
    EXPECT_EQ(Read(std::wstring(key).c_str(), L"", L"Machines"), value) << std::wstring(key);
  }
  EXPECT_EQ(Read(L"KEY", L"", L"Machines"), L"15");
  EXPECT_EQ(Read(L"aB", L"", L"Machines"), L"1");
  EXPECT_TRUE(IniFile::ParseIniLines(L"").entries.empty());
}

// The names of a section's keys, however long the list: 2,000 names are 36,000 bytes, more than the
// first buffer holds.
TEST_F(ReadIniStringTest, EveryKeyNameOfALongSection) {
  std::wstring text = L"[NetWork]\r\n";
  std::vector<std::wstring> names;
  for (int i = 0; i < 2000; ++i) {
    names.push_back(L"LongerKeyName" + std::to_wstring(10000 + i).substr(1));
    text += names.back() + L"=1\r\nbare\r\n";
  }
  sim.PutConfig(text + L"[Other]\r\nX=1\r\n");
  EXPECT_EQ(IniFile::ReadIniKeys(platform, path, IniFile::kNetWork), names);
  EXPECT_TRUE(IniFile::ReadIniKeys(platform, path, L"None").empty());
}

}  // namespace
}  // namespace vexa
