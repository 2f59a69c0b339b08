// config.ini as Notepad shows it. Windows' own reader takes ANSI files and UTF-16LE files with a mark and
// nothing else: a file in another encoding, or one too large for the reader to be trusted with, is given
// to it as a UTF-16LE copy in the temporary folder, made for one OK press or run and removed afterwards. The
// file itself is never written.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vexa::IniFile {

enum class Encoding { Ansi, Utf16Le, Utf16Be, Utf8WithMark, Utf8 };

// A byte-order mark decides; without one, valid UTF-8 holding a byte of 0x80 or above is UTF-8 and
// everything else ANSI. A file of plain ASCII is the same text in all of them.
Encoding DetectEncoding(std::string_view bytes);

// Past this size a file always goes through the copy: no value in it can reach the 65,536 characters at
// which Windows' reader wraps, whatever the file holds.
inline constexpr std::size_t kLargestDirectFile = std::size_t{64} * 1024;
// Lines of the copy are cut to this many characters (a value is cut to 253 bytes anyway).
inline constexpr std::size_t kLongestLine = 4096;

// The copy's bytes: a UTF-16LE mark, then the text in UTF-16LE, lines cut to kLongestLine. ANSI text is
// decoded as the reader would decode it.
std::string Utf16LeCopy(TextCodec& text, std::string_view bytes, Encoding encoding);

// What was found where config.ini should be.
enum class ConfigState { Readable, Missing, Unreadable, Empty };

// How many section headers of file (config.ini or its copy) name section, case ignored. Windows' reader
// reads the first of them only.
int SectionCount(Platform& platform, const std::wstring& file, std::string_view section);

// The file the reader reads for one OK press or one run: config.ini beside the executable, or its copy.
class ConfigFile {
 public:
  ConfigFile() = default;
  ConfigFile(ConfigFile&& other) noexcept;
  ConfigFile& operator=(ConfigFile&& other) noexcept;
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;
  ~ConfigFile();

  static ConfigFile Open(Platform& platform);

  // What ReadIniString is given.
  const std::wstring& ReadPath() const { return readPath_; }
  bool IsCopy() const { return !copy_.empty(); }
  ConfigState State() const { return state_; }

 private:
  void Remove();

  Files* files_ = nullptr;
  std::wstring readPath_;
  std::string copy_;  // the copy's ANSI path; empty when the file is read itself
  ConfigState state_ = ConfigState::Missing;
};

}  // namespace vexa::IniFile
