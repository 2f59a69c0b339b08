#include "config/ini_file.h"

#include <algorithm>

namespace vexa::IniFile {

namespace {
constexpr std::uint32_t kValueBufferSize = 254;
}

std::wstring ConfigPathIn(std::wstring directory) {
  if (directory.empty() || directory.back() != L'\\') directory.push_back(L'\\');
  return directory + L"config.ini";
}

std::wstring ConfigPath(Platform& platform) {
  return ConfigPathIn(platform.text.FromAnsi(platform.system.ModuleDirectory()));
}

std::wstring ReadIniString(Platform& platform, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, std::wstring_view defaultValue) {
  std::string buffer(kValueBufferSize, ' ');
  TextCodec& text = platform.text;
  platform.profile.GetPrivateProfileStringA(text.ToAnsi(section).c_str(), text.ToAnsi(key).c_str(),
                                            text.ToAnsi(defaultValue).c_str(), buffer.data(), kValueBufferSize,
                                            text.ToAnsi(path).c_str());
  std::wstring value = text.FromAnsi(buffer);
  value.resize(std::min(value.find(L'\0'), value.size()));
  std::size_t first = value.find_first_not_of(L' ');
  if (first == std::wstring::npos) return L"";
  return value.substr(first, value.find_last_not_of(L' ') - first + 1);
}

}  // namespace vexa::IniFile
