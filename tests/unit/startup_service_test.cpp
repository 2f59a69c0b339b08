// The start-up service: installed with its path quoted, never twice, removed, refused in the system's
// words; what the service control manager starts runs /auto, and nothing else does.
#include <gtest/gtest.h>

#include "common/exit_codes.h"
#include "unattended_fixture.h"

namespace vexa {
namespace {

using test::DeploymentTest;

TEST_F(DeploymentTest, InstallQuotesThePathAndLeavesOneService) {
  sim.system.moduleDirectory = sim.text.ToAnsi(L"D:\\网吧 工具");
  sim.files.AddFolder(sim.system.moduleDirectory);
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/install"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(sim.services.installed.at("VexaIpSet").command,
            sim.text.ToAnsi(L"\"D:\\网吧 工具\\VexaIpSet.exe\" /service"));
  EXPECT_NE(Output().find(L"已装上开机服务 VexaIpSet:每次开机、有人登录之前以 SYSTEM 账户运行\r\n"
                          L"  \"D:\\网吧 工具\\VexaIpSet.exe\" /service\r\n"),
            std::wstring::npos)
      << ToUtf8(Output());
  // Again with /force: the one service changed, its /auto forced.
  EXPECT_EQ(Run(L"/install /force"), exit_code::kDone);
  ASSERT_EQ(sim.services.installed.size(), 1u);
  EXPECT_TRUE(sim.services.installed.at("VexaIpSet").command.ends_with("\" /service /force"));
  EXPECT_EQ(Output().find(L"开机服务 VexaIpSet 已存在,已改为这次的设置"), 0u) << ToUtf8(Output());
  // Each change has its line; a run's reading of the log knows neither as a seat.
  EXPECT_NE(Log().find(ToUtf8(L"\t/install\t已装上开机服务 VexaIpSet\t")), std::string::npos) << Log();
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone);
  EXPECT_TRUE(sim.services.installed.empty());
  EXPECT_NE(Log().find(ToUtf8(L"\t/uninstall\t已删除开机服务 VexaIpSet\t")), std::string::npos) << Log();
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone);
  EXPECT_EQ(Output(), L"没有开机服务 VexaIpSet,不用删除。\r\n");
  EXPECT_EQ(Run(L"/table"), exit_code::kDone) << ToUtf8(Output());
}

TEST_F(DeploymentTest, ARefusedServiceChangeSaysWhyWithExit2) {
  Config(L"");
  sim.services.refusal = L"拒绝访问。(错误 5)";
  EXPECT_EQ(Run(L"/install"), exit_code::kRefused);
  EXPECT_EQ(Output(), L"拒绝: 无法装上开机服务 VexaIpSet: 拒绝访问。(错误 5)\r\n请以管理员身份运行。\r\n");
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kRefused);
  EXPECT_NE(Log().find(ToUtf8(L"\t/uninstall\t拒绝: 无法删除开机服务 VexaIpSet: 拒绝访问。(错误 5)\t")),
            std::string::npos)
      << Log();
}

// The change is Windows' record too: made, and where its line could not go is said.
TEST_F(DeploymentTest, AServiceChangeWithoutItsLineSaysSo) {
  Config(L"");
  sim.files.ReadOnlyFolder(sim.system.moduleDirectory);
  EXPECT_EQ(Run(L"/install"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\n日志 C:\\VexaIpSet\\VexaIpSet.log 无法写入,这次没有记录。"), std::wstring::npos)
      << ToUtf8(Output());
  sim.PutConfig(L"[二楼 ]\r\nIP=10.0.0\r\n");
  EXPECT_EQ(Run(L"/uninstall"), exit_code::kDone);
  EXPECT_NE(Output().find(L"\r\nconfig.ini 不能用,这次没有记在日志里: "), std::wstring::npos) << ToUtf8(Output());
  EXPECT_TRUE(sim.services.installed.empty());
}

TEST_F(DeploymentTest, OnlyTheServiceManagerStartsTheServiceRun) {
  Config(L"00-1A-2B-3C-4D-5E=15\r\n");
  EXPECT_EQ(Run(L"/service"), exit_code::kBadArguments);
  EXPECT_EQ(Output().find(L"命令行参数错误: /service 只由 Windows 的服务管理器启动"), 0u) << ToUtf8(Output());
  EXPECT_TRUE(sim.registry.Writes().empty());
  sim.services.startedAs = "VexaIpSet";
  EXPECT_EQ(Run(L"/service"), exit_code::kDone) << ToUtf8(Output());
  EXPECT_EQ(sim.services.exitCode, exit_code::kDone);
  EXPECT_NE(Log().find(ToUtf8(L"\t/auto\t")), std::string::npos) << Log();
}

}  // namespace
}  // namespace vexa
