// The start-up service under Wine, whose services.exe starts automatic services when the prefix boots:
// installed from a folder whose path holds blanks and Chinese (twice: one service), the prefix booted by
// the suite's script between the two cases, then the boot's /auto found in the log and the service removed.
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

TEST(Service, InstalledTwiceIsOneServiceWithThePathQuoted) {
  ::CreateDirectoryW(kFolder.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW(Env(L"VEXA_E2E_TOOL").c_str(), kServiceTool.c_str(), FALSE));
  ::DeleteFileW((kFolder + L"\\VexaIpSet.log").c_str());
  WriteConfig(kServiceTool, L"[NetWork]\r\nNetPrefix=WB-\r\n");
  std::string output;
  ASSERT_EQ(RunWithOutput(kServiceTool, L"/install", output), 0) << output;
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/install", output), 0) << output;
  EXPECT_NE(Utf16(output).find(L"开机服务 VexaIpSet 已存在,已改为这次的设置"), std::wstring::npos) << output;
  const std::optional<Value> image = GetValue(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath");
  ASSERT_TRUE(image);
  EXPECT_EQ(Utf16(image->data.c_str()), L"\"" + kServiceTool + L"\" /service");
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kServiceKey, L"Start")->data, std::string("\x02\0\0\0", 4));
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

// After the prefix booted again: the service ran /auto with nobody there, its line after /install's.
TEST(Service, TheBootRanAutoAndUninstallRemovesIt) {
  const std::wstring log = Utf16(ReadFileBytes(kFolder + L"\\VexaIpSet.log"), CP_UTF8);
  const std::size_t installed = log.rfind(L"\t/install\t");
  ASSERT_NE(installed, std::wstring::npos) << ReadFileBytes(kFolder + L"\\VexaIpSet.log");
  EXPECT_NE(log.find(L"\t/auto\t", installed), std::wstring::npos) << ReadFileBytes(kFolder + L"\\VexaIpSet.log");
  std::string output;
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/uninstall", output), 0) << output;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServiceKey));
  EXPECT_EQ(RunWithOutput(kServiceTool, L"/uninstall", output), 0) << output;
  EXPECT_EQ(Utf16(output), L"没有开机服务 VexaIpSet,不用删除。\r\n");
}

}  // namespace
}  // namespace vexa::e2e
