// The fixtures the suites of runs without a window share: a machine cloned from the cafe's image, run
// with a command line, its console output and its log; and the lines of a log as the tool writes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"
#include "app/unattended.h"
#include "common/utf8.h"
#include "platform/sim/sim_platform.h"
#include "sim_machine.h"

namespace vexa::test {

// A cloned machine run without a window.
class UnattendedTest : public ::testing::Test {
 protected:
  UnattendedTest() { CloneImage(sim); }
  int Run(const wchar_t* line) {
    sim.console.output.clear();
    return RunUnattended(platform, ParseCommandLine(line));
  }
  std::wstring Output() { return sim.text.FromAnsi(sim.console.output); }
  // A file beside the tool (and config.ini), as its bytes stand; "" when there is none.
  std::string FileBeside(const std::string& name) {
    return sim.files.Get(sim.system.moduleDirectory + "\\" + name).value_or("");
  }
  std::string Log() { return FileBeside("VexaIpSet.log"); }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
  const std::string log = sim.system.moduleDirectory + "\\VexaIpSet.log";
};

// A machine with three adapters, two of them the image's cards, and a [Machines] table to give.
class DeploymentTest : public UnattendedTest {
 protected:
  DeploymentTest() {
    sim.adapters.Add("{11111111-aaaa}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6));  // card 1, name in another case
    sim.adapters.Add("{22222222-BBBB}", std::string("\x00\x1A\x2B\x3C\x4D\x5F", 6));  // card 2
    sim.adapters.Add("{33333333-CCCC}", std::string("\x00\x1A\x2B\x3C\x4D\x60", 6));  // no card of it
  }
  void Config(const std::wstring& machines) {
    sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n" + machines);
  }

  const WriteCounts counts = CountWrites(sim.text);
};

// A line as the tool writes it; tail: the [Machines] tail as written (empty: none).
inline std::wstring Line(const std::wstring& mode, const std::wstring& outcome, const std::wstring& number,
                         const std::wstring& address, const std::wstring& exitCode, const std::wstring& tail,
                         const std::wstring& notWritten = L"", const std::wstring& time = L"2026-12-01 10:00:00") {
  std::wstring line = time + L"\t" + mode + L"\t" + outcome + L"\t机号=" + number + L"\t计算机名=WB-" + number +
                      L"\tIP=192.168.0." + number + L"\t网卡=NIC\t地址=" + address + L"\t未写入=" + notWritten;
  if (!exitCode.empty()) line += L"\t退出码=" + exitCode;
  if (!tail.empty()) line += L"\t" + tail;
  return line;
}

inline constexpr const wchar_t* kA = L"00-00-00-00-00-0A";
inline constexpr const wchar_t* kB = L"00-00-00-00-00-0B";

}  // namespace vexa::test
