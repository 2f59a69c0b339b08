// Files held in memory by full path (case-insensitive, / and \ alike), for the profile reader and the
// tool's own file operations. A folder can be made read-only and the temporary files are counted.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa::sim {

class SimFiles : public Files {
 public:
  std::optional<std::string> ReadWholeFile(const char* path, std::uint64_t maxBytes) override;
  bool WriteWholeFile(const char* path, std::string_view bytes) override;
  bool AppendToFile(const char* path, std::string_view bytes) override;
  std::optional<std::uint64_t> FileSize(const char* path) override;
  bool MoveOver(const char* from, const char* to) override;
  bool RemoveFile(const char* path) override;
  std::string CreateTempFile() override;

  // Test side.
  void Put(const std::string& path, const std::string& bytes) { files_[Key(path)] = bytes; }
  std::optional<std::string> Get(const std::string& path) const;
  bool Exists(const std::string& path) const { return files_.count(Key(path)) != 0; }
  // Nothing can be created, written or removed in folder (a read-only share, a CD).
  void ReadOnlyFolder(const std::string& folder) { readOnly_.push_back(Key(folder) + "\\"); }
  std::size_t TempFilesMade() const { return tempMade_; }
  std::size_t Count() const { return files_.size(); }
  std::size_t CountIn(const std::string& folder) const;

  std::string tempFolder = "C:\\Users\\admin\\AppData\\Local\\Temp";

 private:
  static std::string Key(std::string_view path);
  bool Writable(const std::string& key) const;

  std::map<std::string, std::string> files_;
  std::vector<std::string> readOnly_;
  std::size_t tempMade_ = 0;
};

}  // namespace vexa::sim
