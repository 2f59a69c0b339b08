#include "config/config_file.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/utf8.h"
#include "config/ini_file.h"
#include "config/machine_table.h"

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

// The name of the section a line begins, as Windows' reader reads headers: the first character that is
// no blank is '[', the name runs to the first ']' or to the line's end, blanks around it trimmed.
std::optional<std::u16string_view> HeaderName(std::u16string_view line) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\v'; };
  std::size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  if (i >= line.size() || line[i] != u'[') return std::nullopt;
  std::u16string_view name = line.substr(i + 1);
  name = name.substr(0, name.find(u']'));
  while (!name.empty() && blank(name.front())) name.remove_prefix(1);
  while (!name.empty() && blank(name.back())) name.remove_suffix(1);
  return name;
}

bool IsMachinesHeader(std::u16string_view line) {
  const std::optional<std::u16string_view> name = HeaderName(line);
  if (!name || name->size() != kMachines.size()) return false;
  for (std::size_t i = 0; i < name->size(); ++i) {
    const char16_t c = (*name)[i];
    if (AsciiUpper(c) != AsciiUpper(static_cast<char16_t>(kMachines[i]))) return false;
  }
  return true;
}

// The text split in two: every line but the bodies of the [Machines] sections, and the first [Machines]
// section alone (the one Windows' reader reads); how many [Machines] headers there were.
struct Split {
  std::u16string rest;
  std::u16string table;
  int sections = 0;
};

Split SplitTable(const std::u16string& units) {
  Split split;
  bool inTable = false;
  for (std::size_t start = 0; start < units.size();) {
    std::size_t end = units.find_first_of(u"\r\n", start);
    end = end == std::u16string::npos ? units.size() : end + 1;  // every CR or LF ends a line
    const std::u16string_view line(units.data() + start, end - start);
    start = end;
    if (HeaderName(line)) {
      inTable = IsMachinesHeader(line);
      split.sections += inTable ? 1 : 0;
      if (inTable && split.sections == 1) split.table += line;
      if (!inTable) split.rest += line;
      continue;
    }
    if (!inTable) split.rest += line;
    if (inTable && split.sections == 1) split.table += line;
  }
  return split;
}

std::string Utf16LeBytes(const std::u16string& units) {
  std::string out = "\xFF\xFE";
  out.reserve(2 + 2 * units.size());
  for (char16_t unit : units) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
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
  return Utf16LeBytes(CutLines(Units(text, bytes, encoding)));
}

ConfigFile::ConfigFile(ConfigFile&& other) noexcept
    : files_(other.files_),
      readPath_(std::move(other.readPath_)),
      tablePath_(std::move(other.tablePath_)),
      copy_(std::exchange(other.copy_, {})),
      tableCopy_(std::exchange(other.tableCopy_, {})),
      machineSections_(other.machineSections_),
      state_(other.state_) {}

ConfigFile::~ConfigFile() { Remove(); }

void ConfigFile::Remove() {
  for (std::string* copy : {&copy_, &tableCopy_}) {
    if (files_ != nullptr && !copy->empty()) files_->RemoveFile(copy->c_str());
    copy->clear();
  }
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
  const Split split = SplitTable(CutLines(Units(platform.text, *bytes, encoding)));
  config.machineSections_ = split.sections;
  if (readable && bytes->size() <= kLargestDirectFile) return config;
  std::string copy = platform.files.CreateTempFile(Utf16LeBytes(split.rest));
  if (copy.empty()) return config;  // no temporary folder: the reader takes the file as it is
  config.copy_ = std::move(copy);
  config.readPath_ = platform.text.FromAnsi(config.copy_);
  if (split.sections == 0) return config;
  config.tableCopy_ = platform.files.CreateTempFile(Utf16LeBytes(split.table));
  config.tablePath_ = platform.text.FromAnsi(config.tableCopy_);
  if (config.tableCopy_.empty()) config.machineSections_ = 0;  // no table to read: said as "no table"
  return config;
}

}  // namespace vexa::IniFile
