// The start-up service under Wine, whose services.exe starts automatic services when the prefix boots:
// installed from a folder whose path holds blanks and Chinese (twice: one service), from a mapped drive and
// from a share (always the copy under Program Files registered, never the file /install ran from), the
// prefix booted by the suite's script between the cases, then the boot's /auto found in the log beside the
// folder /install ran from, and the service removed with its copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/machine.h"
#include "e2e/tool.h"
#include "e2e/window_fixture.h"

namespace vexa::e2e {
namespace {

const std::wstring kFolder = L"C:\\e2e\\开机 服务";
const std::wstring kServiceTool = kFolder + L"\\VexaIpSet.exe";
constexpr const wchar_t* kServiceKey = L"System\\CurrentControlSet\\Services\\VexaIpSet";

// Text in code page (936: the console's and the registry's ANSI text; UTF-8: the log's).
std::wstring Utf16(const std::string& bytes, UINT codePage = 936) {
  std::wstring wide(bytes.size(), L'\0');
  wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// The tool's own folder under Program Files, as this build's view of the registry names it (the 32-bit
// build on 64-bit Windows: Program Files (x86)).
std::wstring CopyFolder() {
  const std::optional<Value> dir =
      GetValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir");
  return dir ? Utf16(dir->data.c_str()) + L"\\VexaIpSet" : L"(no ProgramFilesDir)";
}

// The service runs the copy under Program Files, whose bytes are the tool's and whose config.ini names the
// folder /install ran from as the log's.
void ExpectTheCopyRegistered(const std::wstring& from) {
  const std::optional<Value> image = GetValue(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath");
  ASSERT_TRUE(image);
  EXPECT_EQ(Utf16(image->data.c_str()), L"\"" + CopyFolder() + L"\\VexaIpSet.exe\" /service");
  EXPECT_EQ(ReadFileBytes(CopyFolder() + L"\\VexaIpSet.exe"), ReadFileBytes(Env(L"VEXA_E2E_TOOL")));
  // Written as UTF-16LE with its mark once it names the folder.
  const std::string copied = ReadFileBytes(CopyFolder() + L"\\config.ini");
  ASSERT_EQ(copied.substr(0, 2), "\xFF\xFE");
  const std::wstring text(reinterpret_cast<const wchar_t*>(copied.data() + 2), (copied.size() - 2) / 2);
  EXPECT_NE(text.find(L"[Log]\r\nFolder=" + from + L"\r\n"), std::wstring::npos);
}

TEST(Service, InstalledTwiceIsOneServiceWithThePathQuoted) {
  ::CreateDirectoryW(kFolder.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW(Env(L"VEXA_E2E_TOOL").c_str(), kServiceTool.c_str(), FALSE));
  ::DeleteFileW((kFolder + L"\\VexaIpSet.log").c_str());
  WriteConfig(kServiceTool, L"[NetWork]\r\nNetPrefix=WB-\r\n");
  std::string output;
  ASSERT_EQ(RunWithOutput(kServiceTool, L"/install", output), 0) << output;
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/install", output), 0) << output;
  EXPECT_NE(Utf16(output).find(L"开机服务 VexaIpSet 已存在,已改为这次的设置"), std::wstring::npos) << output;
  ExpectTheCopyRegistered(kFolder);
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kServiceKey, L"Start")->data, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kServiceKey, L"DependOnService")->data, std::string("Tcpip\0\0", 7));
  // One service of the tool's among all of them.
  SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
  ASSERT_NE(manager, nullptr);
  DWORD needed = 0;
  DWORD count = 0;
  ::EnumServicesStatusW(manager, SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0, &needed, &count, nullptr);
  std::string buffer(needed, '\0');
  ASSERT_TRUE(::EnumServicesStatusW(manager, SERVICE_WIN32, SERVICE_STATE_ALL,
                                    reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data()), needed, &needed, &count,
                                    nullptr));
  ::CloseServiceHandle(manager);
  int ours = 0;
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUSW*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) ours += std::wstring(services[i].lpDisplayName).starts_with(L"VexaIpSet");
  EXPECT_EQ(ours, 1);
}

// From a mapped drive and from a share (the suite's script links M: and \\cafe-pc\tools to folders of its
// own): the copy under Program Files is registered, never the path a person may write to.
TEST(Service, InstalledFromADriveOrAShareRunsTheCopy) {
  for (const wchar_t* folder : {L"M:\\tools", L"\\\\cafe-pc\\tools"}) {
    const std::wstring from(folder);
    SCOPED_TRACE(from);
    const std::wstring tool = from + L"\\VexaIpSet.exe";
    ::CreateDirectoryW(from.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(Env(L"VEXA_E2E_TOOL").c_str(), tool.c_str(), FALSE));
    WriteConfig(tool, L"[NetWork]\r\nNetPrefix=WB-\r\n");
    std::string output;
    EXPECT_EQ(RunWithOutput(tool, L"/install", output), 0) << output;
    ExpectTheCopyRegistered(from);
  }
  // Back to the folder the boot's case reads the log of.
  std::string output;
  ASSERT_EQ(RunWithOutput(kServiceTool, L"/install", output), 0) << output;
  ExpectTheCopyRegistered(kFolder);
}

// After the prefix booted again: the service ran /auto with nobody there, its line after /install's.
TEST(Service, TheBootRanAutoAndUninstallRemovesIt) {
  const std::wstring log = Utf16(ReadFileBytes(kFolder + L"\\VexaIpSet.log"), CP_UTF8);
  const std::size_t installed = log.rfind(L"\t/install\t");
  ASSERT_NE(installed, std::wstring::npos) << ReadFileBytes(kFolder + L"\\VexaIpSet.log");
  EXPECT_NE(log.find(L"\t/auto\t", installed), std::wstring::npos) << ReadFileBytes(kFolder + L"\\VexaIpSet.log");
  std::string output;
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/uninstall", output), 0) << output;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServiceKey));
  EXPECT_EQ(::GetFileAttributesW((CopyFolder() + L"\\VexaIpSet.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(::GetFileAttributesW((kFolder + L"\\VexaIpSet.log").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/uninstall", output), 0) << output;
  EXPECT_EQ(Utf16(output), L"没有开机服务 VexaIpSet,不用删除。\r\n");
}

}  // namespace
}  // namespace vexa::e2e
