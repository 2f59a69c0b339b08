// The cafe's views built from a log: the fixture the table, page and export suites share, and a seat's
// line as a run writes it.
#pragma once

#include <string>

#include "common/exit_codes.h"
#include "common/utf8.h"
#include "log/log_line.h"
#include "unattended_fixture.h"

namespace vexa::test {

// The cafe's table, page and export built from a log.
class CafeTest : public test::UnattendedTest {
 protected:
  CafeTest() {
    sim.PutConfig(L"[NetWork]\r\nNetPrefix=WB-\r\n[Machines]\r\n00-00-00-00-00-0C=30\r\n00-00-00-00-00-0A=12\r\n");
  }
  void PutLog(const std::wstring& lines, const std::wstring& old = L"") {
    sim.files.Put(log + ".old", "\xEF\xBB\xBF" + ToUtf8(old));
    sim.files.Put(log, "\xEF\xBB\xBF" + ToUtf8(lines));
  }
  std::string Page() { return FileBeside("VexaIpSet.html"); }
};

// An export's file without its head: the lines that are no '#' comment.
inline std::string Bindings(const std::string& file) {
  std::string out;
  for (std::size_t at = 0; at < file.size();) {
    std::size_t end = file.find('\n', at);
    end = end == std::string::npos ? file.size() : end + 1;
    if (file[at] != '#') out += file.substr(at, end - at);
    at = end;
  }
  return out;
}

// A line as a run of a seat writes it: number, card, host name, the address's last part, outcome, exit code,
// the address's first three parts.
inline std::wstring SeatLine(int number, const wchar_t* mac, const std::wstring& host, int ip, const wchar_t* outcome,
                             int code, const wchar_t* net = L"192.168.0.") {
  RunRecord r;
  r.mode = RunMode::Number;
  r.outcome = outcome;
  r.number = std::to_wstring(number);
  r.hostName = host;
  r.ipAddress = net + std::to_wstring(ip);
  r.card = L"NIC";
  r.address = mac;
  r.exitCode = code;
  r.inPlace = code != exit_code::kRefused;
  if (code == exit_code::kNotAllWritten) r.notWritten = {L"游戏序列号"};
  return LogLine(LocalTime{2026, 12, 1, 10, 0, number % 60}, r) + L"\r\n";
}

}  // namespace vexa::test
