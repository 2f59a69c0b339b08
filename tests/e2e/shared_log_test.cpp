// One folder, one log, many machines at once: the runs of one Wine prefix enforce Windows' share modes and
// byte-range locks among themselves, as a file server does among the cafe's machines.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "e2e/machine.h"
#include "e2e/tool.h"

namespace vexa::e2e {
namespace {

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value) : std::wstring();
}

// The lines of a log, without the UTF-8 mark.
std::vector<std::string> Lines(std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));  // a line without its end: torn
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The machine number of a whole run line ("...\t机号=N\t..." with every column), or -1: nine TABs, one more
// for each of the machine's two fingerprints and the [Machines] tail; two lines merged have twice as many.
int NumberOf(const std::string& line) {
  std::size_t tabs = 0;
  for (char c : line) tabs += c == '\t' ? 1 : 0;
  const std::string field = "\t\xE6\x9C\xBA\xE5\x8F\xB7=";  // 机号=
  const std::size_t at = line.find(field);
  if (tabs < 9 || tabs > 12 || at == std::string::npos || line.find(field, at + 1) != std::string::npos) return -1;
  return std::atoi(line.c_str() + at + field.size());
}

class SharedLog : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = Env(L"VEXA_E2E_TOOL");
    ASSERT_FALSE(tool_.empty());
    folder_ = tool_.substr(0, tool_.find_last_of(L'\\'));
    log_ = folder_ + L"\\VexaIpSet.log";
    CloneImage();
    WriteConfig(tool_, L"[NetWork]\r\nIP=10.0.0\r\nGateWay=10.0.0.254\r\nNetPrefix=WB-\r\n");
    ::DeleteFileW(log_.c_str());
    ::DeleteFileW((log_ + L".old").c_str());
  }
  void TearDown() override {
    ::DeleteFileW(log_.c_str());
    ::DeleteFileW((log_ + L".old").c_str());
  }
  // Runs /n first..first+count-1 at once and waits for all of them; every one must exit 0.
  void RunAtOnce(int first, int count) {
    std::vector<HANDLE> runs;
    for (int n = first; n < first + count; ++n) {
      runs.push_back(StartRun(tool_, L"/n " + std::to_wstring(n) + L" /card 1 /noreboot"));
    }
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(FinishRun(runs[i], 180000), 0) << "run " << first + i;
  }
  // The numbers of the whole run lines of the log and .old; a torn or merged line counts as -1.
  std::multiset<int> Logged() {
    std::multiset<int> numbers;
    for (const std::wstring& file : {log_ + L".old", log_}) {
      for (const std::string& line : Lines(ReadFileBytes(file))) {
        if (line.rfind("x", 0) != 0) numbers.insert(NumberOf(line));  // "x..." lines: filler put there
      }
    }
    return numbers;
  }

  std::wstring tool_;
  std::wstring folder_;
  std::wstring log_;
};

TEST_F(SharedLog, FiftyRunsAtOnceGiveFiftyWholeLines) {
  RunAtOnce(1, 50);
  std::multiset<int> expected;
  for (int n = 1; n <= 50; ++n) expected.insert(n);
  EXPECT_EQ(Logged(), expected);
  EXPECT_EQ(ReadFileBytes(log_).rfind("\xEF\xBB\xBF", 0), 0u);
}

// A viewer that follows the log keeps it open for reading (and appending) with sharing.
TEST_F(SharedLog, AHolderWithSharingDoesNotCostALine) {
  HANDLE holder = ::CreateFileW(log_.c_str(), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunTool(tool_, L"/n 7 /card 1 /noreboot"), 0);
  ::CloseHandle(holder);
  EXPECT_EQ(Logged(), std::multiset<int>{7});
}

// A run whose handle was moved to .old while it waited for the lock takes the new log: none is told the
// log is a link, none loses its line.
TEST_F(SharedLog, AHundredRunsAtTheLimitLoseNothingAcrossTheRotation) {
  std::string filler = "\xEF\xBB\xBF";
  while (filler.size() < 1024 * 1024 - 3000) filler += std::string(98, 'x') + "\r\n";
  HANDLE file = ::CreateFileW(log_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(file, filler.data(), static_cast<DWORD>(filler.size()), &written, nullptr);
  ::CloseHandle(file);
  RunAtOnce(101, 100);
  std::multiset<int> expected;
  for (int n = 101; n <= 200; ++n) expected.insert(n);
  EXPECT_EQ(Logged(), expected);
  EXPECT_FALSE(ReadFileBytes(log_ + L".old").empty()) << "the log passed 1 MB and was rotated";
}

TEST_F(SharedLog, AHardLinkedLogIsNotWrittenAndTheRunSaysSo) {
  const std::wstring elsewhere = folder_ + L"\\elsewhere.txt";
  ::DeleteFileW(elsewhere.c_str());
  HANDLE file = ::CreateFileW(elsewhere.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ::CloseHandle(file);
  ASSERT_TRUE(::CreateHardLinkW(log_.c_str(), elsewhere.c_str(), nullptr));
  const std::wstring output = folder_ + L"\\output.txt";
  EXPECT_EQ(FinishRun(StartRun(tool_, L"/n 9 /card 1 /noreboot", output)), 0);
  EXPECT_TRUE(ReadFileBytes(elsewhere).empty());
  EXPECT_NE(ReadFileBytes(output).find(Ansi(L"为安全起见没有写入")), std::string::npos) << ReadFileBytes(output);
  ::DeleteFileW(output.c_str());
  ::DeleteFileW(elsewhere.c_str());
}

// A log name that is a symbolic link to nothing: the run says so and creates nothing where it points.
TEST_F(SharedLog, ADanglingLinkCreatesNothingWhereItPoints) {
  const std::wstring tool = Env(L"VEXA_E2E_DANGLING_TOOL");
  if (tool.empty()) GTEST_SKIP() << "no dangling link laid";
  const std::wstring folder = tool.substr(0, tool.find_last_of(L'\\'));
  WriteConfig(tool, L"[NetWork]\r\nIP=10.0.0\r\nNetPrefix=WB-\r\nGateWay=\r\n");
  const std::wstring output = folder + L"\\output.txt";
  for (const wchar_t* arguments : {L"/n 9 /card 1 /noreboot", L"/check /n 9 /card 1"}) {
    SCOPED_TRACE(arguments);
    const int code = FinishRun(StartRun(tool, arguments, output));
    if (arguments[1] == L'n') {
      EXPECT_EQ(code, 0);
    }
    EXPECT_NE(ReadFileBytes(output).find(Ansi(L"为安全起见没有写入")), std::string::npos) << ReadFileBytes(output);
    EXPECT_EQ(::GetFileAttributesW((folder + L"\\target\\VexaIpSet.log").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  ::DeleteFileW(output.c_str());
}

}  // namespace
}  // namespace vexa::e2e
