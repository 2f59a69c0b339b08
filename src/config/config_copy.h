// config.ini as /install copies it beside the start-up run's executable. The start-up run reads the copy,
// so the log it writes must be the one the operator's runs write: a [Log] Folder= that is missing or
// relative would name the copy's own folder. The copy names the folder /install ran from instead: then it is
// written as Unicode (UTF-16LE with its mark, which Windows' reader and Notepad read), its lines as they were;
// otherwise every byte stays as it was.
#pragma once

#include <string>
#include <string_view>

#include "config/config_file.h"
#include "platform/platform.h"

namespace vexa::IniFile {

struct ConfigCopy {
  std::string bytes;       // what the copy holds
  std::wstring logFolder;  // the [Log] Folder= the copy names; "" when the file named a full path already
};

// bytes: config.ini as it lies in from (a full path, the folder /install ran from); named: its [Log]
// Folder= as the run read it ("" for none).
ConfigCopy CopyForStartup(TextCodec& text, std::string_view bytes, const std::wstring& named, const std::wstring& from);

}  // namespace vexa::IniFile
