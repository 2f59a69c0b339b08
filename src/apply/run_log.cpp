#include "apply/run_log.h"

#include "common/text.h"
#include "common/utf8.h"

namespace vexa {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

const wchar_t* ModeName(RunMode mode) {
  switch (mode) {
    case RunMode::Window: return L"窗口";
    case RunMode::Auto: return L"/auto";
    case RunMode::Number: return L"/n";
  }
  return L"";
}

std::string LogPath(Platform& platform) {
  std::string folder = platform.system.ModuleDirectory();
  if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
  return folder + "VexaIpSet.log";
}

}  // namespace

std::wstring LogLine(const LocalTime& t, const RunRecord& r) {
  auto n = [](int value, std::size_t width) { return ZeroPadded(static_cast<unsigned>(value), width); };
  const std::wstring stamp = n(t.year, 4) + L"-" + n(t.month, 2) + L"-" + n(t.day, 2) + L" " + n(t.hour, 2) + L":" +
                             n(t.minute, 2) + L":" + n(t.second, 2);
  std::wstring line = stamp + L"\t" + ModeName(r.mode) + L"\t" + r.outcome;
  line += L"\t机号=" + r.number;
  line += L"\t计算机名=" + r.hostName;
  line += L"\tIP=" + r.ipAddress;
  line += L"\t网卡=" + r.card;
  line += L"\t地址=" + r.address;
  line += L"\t未写入=" + JoinWith(r.notWritten, L", ");
  if (r.written && !r.address.empty()) line += L"\t" + r.address + L"=" + r.number;
  return line;
}

void AppendRunLog(Platform& platform, const RunRecord& record) {
  const std::string path = LogPath(platform);
  std::uint64_t size = platform.files.FileSize(path.c_str()).value_or(0);
  if (size > kLogLimit && platform.files.MoveOver(path.c_str(), (path + ".old").c_str())) size = 0;
  std::string bytes(size == 0 ? kUtf8Mark : "");
  bytes += ToUtf8(LogLine(platform.system.Now(), record));
  bytes += "\r\n";
  platform.files.AppendToFile(path.c_str(), bytes);
}

}  // namespace vexa
