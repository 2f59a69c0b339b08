#include "config/config_file.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/utf8.h"
#include "config/ini_file.h"

namespace vexa::IniFile {

namespace {

// Larger files are given to the reader as they are.
constexpr std::uint64_t kLargestReadFile = 64ull * 1024 * 1024;

void PutUnit(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
    return;
  }
  c -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
  }
  return out;
}

// The text as UTF-16 units, its byte-order mark left out.
std::u16string Units(TextCodec& text, std::string_view bytes, Encoding encoding) {
  std::u16string units;
  switch (encoding) {
    case Encoding::Utf16Le: return Utf16Units(bytes.substr(2), false);
    case Encoding::Utf16Be: return Utf16Units(bytes.substr(2), true);
    case Encoding::Utf8WithMark:
    case Encoding::Utf8: {
      const std::string_view body = encoding == Encoding::Utf8 ? bytes : bytes.substr(3);
      for (char32_t c : DecodeUtf8(body, true).value_or(std::u32string())) PutUnit(units, c);
      return units;
    }
    case Encoding::Ansi: break;
  }
  for (wchar_t c : text.FromAnsi(bytes)) PutUnit(units, static_cast<char32_t>(c));
  return units;
}

// Every line cut to kLongestLine units, a surrogate pair kept whole; line ends kept.
std::u16string CutLines(const std::u16string& units) {
  std::u16string out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    const bool lineEnd = c == u'\r' || c == u'\n';
    column = lineEnd ? 0 : column + 1;
    const bool pairAtTheCut = column == kLongestLine && c >= 0xD800 && c <= 0xDBFF;
    if (lineEnd || column < kLongestLine || (column == kLongestLine && !pairAtTheCut)) out.push_back(c);
  }
  return out;
}

}  // namespace

Encoding DetectEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return Encoding::Utf16Le;
  if (StartsWith(bytes, "\xFE\xFF")) return Encoding::Utf16Be;
  if (StartsWith(bytes, kUtf8Mark)) return Encoding::Utf8WithMark;
  bool high = false;
  for (char c : bytes) high = high || static_cast<unsigned char>(c) >= 0x80;
  return high && DecodeUtf8(bytes, false) ? Encoding::Utf8 : Encoding::Ansi;
}

std::string Utf16LeCopy(TextCodec& text, std::string_view bytes, Encoding encoding) {
  std::string out = "\xFF\xFE";
  for (char16_t unit : CutLines(Units(text, bytes, encoding))) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

int SectionCount(Platform& platform, const std::wstring& file, std::string_view section) {
  const std::optional<std::string> bytes =
      platform.files.ReadWholeFile(platform.text.ToAnsi(file).c_str(), kLargestReadFile);
  if (!bytes) return 0;
  const std::u16string units = Units(platform.text, *bytes, DetectEncoding(*bytes));
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\v'; };
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; };
  int count = 0;
  for (std::size_t start = 0; start < units.size();) {
    std::size_t end = units.find_first_of(u"\r\n", start);
    if (end == std::u16string::npos) end = units.size();
    std::size_t i = start;
    while (i < end && blank(units[i])) ++i;
    start = end + 1;
    if (i >= end || units[i] != u'[') continue;
    ++i;
    while (i < end && blank(units[i])) ++i;
    std::size_t k = 0;
    while (k < section.size() && i + k < end && fold(units[i + k]) == fold(static_cast<char16_t>(section[k]))) ++k;
    if (k != section.size()) continue;
    i += k;
    while (i < end && blank(units[i])) ++i;
    count += i == end || units[i] == u']' ? 1 : 0;
  }
  return count;
}

ConfigFile::ConfigFile(ConfigFile&& other) noexcept
    : files_(other.files_),
      readPath_(std::move(other.readPath_)),
      copy_(std::exchange(other.copy_, {})),
      state_(other.state_) {}

ConfigFile& ConfigFile::operator=(ConfigFile&& other) noexcept {
  if (this != &other) {
    Remove();
    files_ = other.files_;
    readPath_ = std::move(other.readPath_);
    copy_ = std::exchange(other.copy_, {});
    state_ = other.state_;
  }
  return *this;
}

ConfigFile::~ConfigFile() { Remove(); }

void ConfigFile::Remove() {
  if (files_ != nullptr && !copy_.empty()) files_->RemoveFile(copy_.c_str());
  copy_.clear();
}

ConfigFile ConfigFile::Open(Platform& platform) {
  ConfigFile config;
  config.files_ = &platform.files;
  config.readPath_ = ConfigPath(platform);
  const std::string path = platform.text.ToAnsi(config.readPath_);
  const std::optional<std::uint64_t> size = platform.files.FileSize(path.c_str());
  if (!size) return config;  // no file: the defaults
  config.state_ = ConfigState::Readable;
  if (*size > kLargestReadFile) return config;  // too large to copy: the reader takes it as it is
  const std::optional<std::string> bytes = platform.files.ReadWholeFile(path.c_str(), kLargestReadFile);
  if (!bytes || bytes->empty()) {
    config.state_ = bytes ? ConfigState::Empty : ConfigState::Unreadable;
    return config;
  }
  const Encoding encoding = DetectEncoding(*bytes);
  const bool readable = encoding == Encoding::Ansi || encoding == Encoding::Utf16Le;
  if (readable && bytes->size() <= kLargestDirectFile) return config;
  std::string copy = platform.files.CreateTempFile(Utf16LeCopy(platform.text, *bytes, encoding));
  if (copy.empty()) return config;  // no temporary folder: the reader takes the file as it is
  config.copy_ = std::move(copy);
  config.readPath_ = platform.text.FromAnsi(config.copy_);
  return config;
}

}  // namespace vexa::IniFile
