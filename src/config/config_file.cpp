#include "config/config_file.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/utf8.h"
#include "config/ini_file.h"
#include "shared_folder/shared_folder.h"

namespace vexa::IniFile {

namespace {

// A larger file is not read: "cannot be read", as a file the reader cannot open.
constexpr std::uint64_t kLargestReadFile = 64ull * 1024 * 1024;

void PutUnit(std::wstring& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<wchar_t>(c));
    return;
  }
  c -= 0x10000;
  out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
  out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
}

std::wstring Utf16Units(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first));
  }
  return out;
}

// The text as UTF-16 units (in wchar_t, as Windows holds them), its byte-order mark left out.
std::wstring Units(TextCodec& text, std::string_view bytes, Encoding encoding) {
  std::wstring units;
  switch (encoding) {
    case Encoding::Utf16Le: return Utf16Units(bytes.substr(2), false);
    case Encoding::Utf16Be: return Utf16Units(bytes.substr(2), true);
    case Encoding::Utf8WithMark:
    case Encoding::Utf8: {
      const std::string_view body = encoding == Encoding::Utf8 ? bytes : bytes.substr(3);
      units.reserve(body.size());
      WalkUtf8(body, true, [&units](char32_t c) { PutUnit(units, c); });
      return units;
    }
    case Encoding::Ansi: break;
  }
  const bool ascii =
      std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return std::wstring(bytes.begin(), bytes.end());  // the same in every ANSI code page
  std::wstring wide = text.FromAnsi(bytes);
  if constexpr (sizeof(wchar_t) == 2) return wide;  // Windows: already UTF-16
  units.reserve(wide.size());
  for (wchar_t c : wide) PutUnit(units, static_cast<char32_t>(c));
  return units;
}

// Every line cut to kLongestLine units, a surrogate pair kept whole; line ends kept.
std::wstring CutLines(std::wstring units) {
  std::size_t longest = 0;
  for (std::size_t start = 0; start < units.size();) {
    const std::size_t end = LineEnd<wchar_t>(units, start);
    longest = std::max(longest, end - start);
    start = end + 1;
  }
  if (longest < kLongestLine) return units;  // no line reaches the cut
  std::wstring out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const wchar_t c = units[i];
    const bool lineEnd = c == L'\r' || c == L'\n';
    column = lineEnd ? 0 : column + 1;
    const bool pairAtTheCut = column == kLongestLine && c >= 0xD800 && c <= 0xDBFF;
    if (lineEnd || column < kLongestLine || (column == kLongestLine && !pairAtTheCut)) out.push_back(c);
  }
  return out;
}

// The name of the section a line begins, as Windows' reader reads headers: the first character that is
// no blank is '[', the name runs to the first ']' or to the line's end, blanks around it trimmed.
std::optional<std::wstring_view> HeaderName(std::wstring_view line) {
  line = TrimReaderBlanks(line.substr(0, LineEnd(line, 0)));  // without its CR or LF
  if (line.empty() || line.front() != L'[') return std::nullopt;
  line.remove_prefix(1);
  return TrimReaderBlanks(line.substr(0, line.find(L']')));
}

// A header the readers could read as two names (config_file.h, OddHeader).
bool IsOddHeader(std::wstring_view line) {
  line = TrimReaderBlanks(line.substr(0, LineEnd(line, 0)));
  const std::size_t close = line.find(L']');
  if (close == std::wstring_view::npos) return true;
  const std::wstring_view inside = line.substr(1, close - 1);
  return !TrimReaderBlanks(line.substr(close + 1)).empty() || TrimReaderBlanks(inside).size() != inside.size();
}

bool IsMachinesHeader(std::wstring_view line) {
  const std::optional<std::wstring_view> name = HeaderName(line);
  return name && SameName(*name, kMachines);
}

// The text split in two: every line but the bodies of the [Machines] sections, and where the body of the
// first [Machines] section (the one Windows' reader reads) lies in the text; how many [Machines] headers
// there were.
struct Split {
  std::wstring rest;
  std::size_t tableStart = 0;
  std::size_t tableEnd = 0;
  int sections = 0;
  std::optional<OddHeader> oddHeader;
};

Split SplitTable(const std::wstring& units) {
  Split split;
  bool inTable = false;
  int number = 0;
  for (std::size_t start = 0; start < units.size();) {
    std::size_t end = std::min(LineEnd<wchar_t>(units, start) + 1, units.size());     // its CR or LF kept
    if (end < units.size() && units[end - 1] == L'\r' && units[end] == L'\n') ++end;  // CR LF too
    const std::wstring_view line(units.data() + start, end - start);
    ++number;
    const std::optional<std::wstring_view> name = HeaderName(line);
    const bool header = name.has_value();
    if (header && !split.oddHeader && IsOddHeader(line)) {
      const std::wstring_view text = TrimReaderBlanks(line.substr(0, LineEnd(line, 0)));
      split.oddHeader = OddHeader{number, std::wstring(text), std::wstring(*name)};
    }
    if (header) {
      inTable = IsMachinesHeader(line);
      split.sections += inTable ? 1 : 0;
      if (inTable && split.sections == 1) split.tableStart = split.tableEnd = end;
    }
    if (!inTable) split.rest += line;
    if (inTable && !header && split.sections == 1) split.tableEnd = end;  // the body is one run of lines
    start = end;
  }
  return split;
}

}  // namespace

std::string Utf16LeBytes(const std::wstring& units) {
  std::string out(kUtf16LeMark);
  out.reserve(2 + 2 * units.size());
  for (wchar_t unit : units) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

std::wstring DecodeText(TextCodec& text, std::string_view bytes, Encoding encoding) {
  return Units(text, bytes, encoding);
}

Encoding DetectEncoding(std::string_view bytes) {
  if (StartsWith(bytes, kUtf16LeMark)) return Encoding::Utf16Le;
  if (StartsWith(bytes, kUtf16BeMark)) return Encoding::Utf16Be;
  if (StartsWith(bytes, kUtf8Mark)) return Encoding::Utf8WithMark;
  bool high = false;
  for (char c : bytes) high = high || static_cast<unsigned char>(c) >= 0x80;
  return high && IsUtf8(bytes) ? Encoding::Utf8 : Encoding::Ansi;
}

ConfigFile::ConfigFile(ConfigFile&& other) noexcept
    : files_(other.files_),
      readPath_(std::move(other.readPath_)),
      copy_(std::exchange(other.copy_, {})),
      bytes_(std::move(other.bytes_)),
      text_(std::move(other.text_)),
      tableStart_(other.tableStart_),
      tableLength_(other.tableLength_),
      machineSections_(other.machineSections_),
      oddHeader_(std::move(other.oddHeader_)),
      state_(other.state_),
      unreadable_(other.unreadable_) {}

std::optional<std::wstring_view> ConfigFile::SectionBody(std::wstring_view section) const {
  bool inSection = false;
  std::size_t bodyStart = 0;
  for (std::size_t start = 0; start <= text_.size();) {
    const std::size_t end = std::min(LineEnd<wchar_t>(text_, start) + 1, text_.size());
    const std::wstring_view line = std::wstring_view(text_).substr(start, end - start);
    const std::optional<std::wstring_view> name = HeaderName(line);
    // The first section of that name is the one the reader reads.
    if (inSection && (name || end >= text_.size())) {
      const std::size_t bodyEnd = name ? start : text_.size();
      return std::wstring_view(text_).substr(bodyStart, bodyEnd - bodyStart);
    }
    if (name && SameName(*name, section)) {
      inSection = true;
      bodyStart = end;
    }
    if (end >= text_.size()) break;
    start = end;
  }
  return inSection ? std::optional<std::wstring_view>(std::wstring_view(text_).substr(bodyStart)) : std::nullopt;
}

std::optional<std::wstring> ConfigFile::ValueAsWritten(std::wstring_view section, std::wstring_view key) const {
  const std::optional<std::wstring_view> body = SectionBody(section);
  if (!body) return std::nullopt;
  for (const auto& [k, v] : ParseIniLines(*body).entries) {
    if (SameName(k, key)) return std::wstring(v);  // its first line, as the reader reads it
  }
  return std::nullopt;
}

std::optional<std::wstring> ConfigFile::SectionText(std::wstring_view section) const {
  const std::optional<std::wstring_view> body = SectionBody(section);
  return body ? std::optional<std::wstring>(std::wstring(*body)) : std::nullopt;
}

ConfigFile::~ConfigFile() {
  if (files_ != nullptr && !copy_.empty()) files_->RemoveFile(copy_.c_str());
}

ConfigFile ConfigFile::Open(Platform& platform) {
  ConfigFile config;
  config.files_ = &platform.files;
  config.readPath_ = ConfigPath(platform);
  const std::string path = platform.text.ToAnsi(config.readPath_);
  FileRead read = ReadSharedFile(platform, path, kLargestReadFile,
                                 platform.system.MillisecondsSinceBoot() + kSharedWaitMilliseconds);
  if (read.status == ReadStatus::Missing) return config;  // no file: the defaults
  if (!read.ok() || read.bytes.empty()) {
    config.state_ = read.ok() ? ConfigState::Empty : ConfigState::Unreadable;
    config.unreadable_ = read.status;
    return config;
  }
  config.bytes_ = std::move(read.bytes);
  const std::string* bytes = &config.bytes_;
  config.state_ = ConfigState::Readable;
  const Encoding encoding = DetectEncoding(*bytes);
  const bool readable = encoding == Encoding::Ansi || encoding == Encoding::Utf16Le;
  config.text_ = DecodeText(platform.text, *bytes, encoding);
  const Split split = SplitTable(config.text_);
  config.tableStart_ = split.tableStart;
  config.tableLength_ = split.tableEnd - split.tableStart;
  config.machineSections_ = split.sections;
  config.oddHeader_ = split.oddHeader;
  if (readable && bytes->size() <= kLargestDirectFile) return config;
  std::string copy = platform.files.CreateTempFile(Utf16LeBytes(CutLines(split.rest)), "");
  if (copy.empty()) return config;  // no temporary folder: the reader takes the file as it is
  config.copy_ = std::move(copy);
  config.readPath_ = platform.text.FromAnsi(config.copy_);
  return config;
}

}  // namespace vexa::IniFile
