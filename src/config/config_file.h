// config.ini as Notepad shows it. Windows' own reader takes ANSI files and UTF-16LE files with a mark and
// nothing else: a file in another encoding, or one too large for the reader to be trusted with, is given
// to it as a UTF-16LE copy in the temporary folder, made for one OK press or run and removed afterwards. The
// file itself is never written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vexa::IniFile {

enum class Encoding { Ansi, Utf16Le, Utf16Be, Utf8WithMark, Utf8 };

// A byte-order mark decides; without one, valid UTF-8 holding a byte of 0x80 or above is UTF-8 and
// everything else ANSI. A file of plain ASCII is the same text in all of them.
Encoding DetectEncoding(std::string_view bytes);

// A file's text as a person may have re-saved it in Notepad, decoded by its encoding, the mark left out:
// one decoder for config.ini and the shared log.
std::wstring DecodeText(TextCodec& text, std::string_view bytes, Encoding encoding);
// UTF-16 units (as DecodeText gives them) as a UTF-16LE file with its mark, the one Unicode file Windows'
// reader reads.
std::string Utf16LeBytes(const std::wstring& units);

// Past this size a file always goes through the copy: no value in it can reach the 65,536 characters at
// which Windows' reader wraps, whatever the file holds.
inline constexpr std::size_t kLargestDirectFile = std::size_t{64} * 1024;
// Lines of the copy are cut to this many UTF-16 units, a surrogate pair kept whole (a value is cut to
// 253 bytes anyway). The copy is UTF-16LE with its mark; ANSI text is decoded as the reader decodes it.
inline constexpr std::size_t kLongestLine = 4096;

// What was found where config.ini should be.
enum class ConfigState { Readable, Missing, Unreadable, Empty };

// A section header that Windows' reader and Wine's (and so maybe another version's) read as two names: no
// ']' (a section to the line's end, or no section at all), text after the ']' (the name ends at the first
// ']', or at the last), blanks inside the brackets. The tool reads such a file one way only by refusing it.
struct OddHeader {
  int line = 0;       // from 1, as Notepad counts them
  std::wstring text;  // the line as written, blanks around it trimmed
  std::wstring name;  // the name as this tool's parser reads it: to the first ']' or the line's end
};

// config.ini for one OK press or one run, read once: the file the reader reads (config.ini beside the
// executable, or its copy) and the text of its [Machines] table. The table is read from that one read of
// the bytes, not by the reader, and a file that is copied is copied without it: Windows' reader (Wine's at
// least) parses the whole file again on every call, and a table of 50,000 lines would otherwise be parsed
// once for each value read.
class ConfigFile {
 public:
  ConfigFile() = default;
  ConfigFile(ConfigFile&& other) noexcept;
  ConfigFile& operator=(ConfigFile&& other) = delete;
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;
  ~ConfigFile();  // removes the copy

  static ConfigFile Open(Platform& platform);

  // What ReadIniString is given for every section but [Machines].
  const std::wstring& ReadPath() const { return readPath_; }
  // The lines of the first [Machines] section (the one Windows' reader reads), without its header, as the
  // reader decodes them; empty without one.
  std::wstring_view MachinesText() const { return std::wstring_view(text_).substr(tableStart_, tableLength_); }
  // How many [Machines] headers the file has: the reader reads the first section of a name only.
  int MachineSections() const { return machineSections_; }
  ConfigState State() const { return state_; }
  // A value as the file holds it, before Windows' ANSI reader turns what code page 936 lacks into '?' or a
  // look-alike: the first line of key in the first section of that name; nothing when there is none.
  std::optional<std::wstring> ValueAsWritten(std::wstring_view section, std::wstring_view key) const;
  // The lines of the first section of that name (the one the reader reads), without its header, as the
  // reader decodes them; nothing when the file has no such section.
  std::optional<std::wstring> SectionText(std::wstring_view section) const;
  // The file's bytes as they were read (empty unless Readable): what /install copies.
  const std::string& Bytes() const { return bytes_; }
  // Unreadable: why.
  ReadStatus Unreadable() const { return unreadable_; }
  // The first header the readers could read two ways; nothing when every header is plain.
  const std::optional<OddHeader>& FirstOddHeader() const { return oddHeader_; }

 private:
  std::optional<std::wstring_view> SectionBody(std::wstring_view section) const;

  Files* files_ = nullptr;
  std::wstring readPath_;
  std::string copy_;            // the copy's ANSI path; empty when the file is read itself
  std::string bytes_;           // the file as read
  std::wstring text_;           // the file as the reader decodes it
  std::size_t tableStart_ = 0;  // where in text_ the first [Machines] section's lines are
  std::size_t tableLength_ = 0;
  int machineSections_ = 0;
  std::optional<OddHeader> oddHeader_;
  ConfigState state_ = ConfigState::Missing;
  ReadStatus unreadable_ = ReadStatus::Read;
};

}  // namespace vexa::IniFile
