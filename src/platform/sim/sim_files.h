// Files held in memory by full path (case-insensitive, / and \ alike), for the profile reader and the
// tool's own file operations. An open handle follows its file through a rename, as on Windows. A test can
// make a folder read-only, hold a file open without sharing, lock it, give it a second hard link, or keep a
// name from being replaced; the temporary files are counted.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa::sim {

class SimFiles : public Files {
 public:
  FileRead ReadWholeFile(const char* path, std::uint64_t maxBytes) override;
  Opened OpenShared(const char* path) override;
  void Close(FileHandle file) override;
  bool IsPlainFile(FileHandle file, std::string_view name) override;
  bool IsFileAt(FileHandle file, const char* path) override;
  bool TryLock(FileHandle file) override;
  void Unlock(FileHandle file) override;
  std::optional<std::uint64_t> SizeOf(FileHandle file) override;
  FileRead ReadAt(FileHandle file, std::uint64_t offset, std::size_t count) override;
  bool Append(FileHandle file, std::string_view bytes) override;
  bool Flush(FileHandle file) override;
  bool Truncate(FileHandle file) override;
  std::optional<std::uint64_t> FileSize(const char* path) override;
  bool IsFolder(const char* path) override;
  MoveStatus MoveOver(const char* from, const char* to) override;
  bool RemoveFile(const char* path) override;
  bool CreateFolder(const char* path) override;
  bool RemoveFolder(const char* path) override;
  std::string CreateTempFile(std::string_view bytes, const std::string& folder) override;
  bool IsLinkName(const char* path) override;

  // Test side.
  void Put(const std::string& path, const std::string& bytes);
  std::optional<std::string> Get(const std::string& path) const;
  bool Exists(const std::string& path) const { return files_.count(Key(path)) != 0; }
  // Nothing can be created, written or removed in folder (a read-only share, a CD).
  void ReadOnlyFolder(const std::string& folder) { readOnly_.push_back(Key(folder) + "\\"); }
  // Another program has the file open without sharing (opens are Busy, reads Held, renames over it Held),
  // or another run holds a lock on it (reads by path are Held).
  void Hold(const std::string& path, bool held) { Data(path).held = held; }
  void LockByOther(const std::string& path, bool locked) { Data(path).lockedByOther = locked; }
  // A second hard link, or a link whose target has another name.
  void Links(const std::string& path, int links) { Data(path).links = links; }
  // A folder that can be reached although no file lies in it yet (a folder holding a file always can).
  void AddFolder(const std::string& folder) { folders_.insert(Key(folder)); }
  // path is a symbolic link whose target does not exist (until the name is removed or replaced).
  void DanglingLink(const std::string& path) { dangling_.insert(Key(path)); }
  // path cannot be replaced by a rename (a folder of that name, no rights).
  void BlockReplace(const std::string& path) { blocked_.push_back(Key(path)); }
  // path cannot be removed (no right to delete there, as a share may grant).
  void KeepFile(const std::string& path) { kept_.push_back(Key(path)); }
  // No rename onto path succeeds, for a reason that is neither a holder nor a right (a share's client that
  // refuses to rename a file it has open).
  void FailRenameOnto(const std::string& path) { failRename_.push_back(Key(path)); }
  std::size_t TempFilesMade() const { return tempMade_; }
  // Appended bytes of a file not yet flushed to it: what a power cut would lose.
  std::size_t Unflushed(const std::string& path) { return Data(path).unflushed; }
  std::size_t Count() const { return files_.size(); }
  std::size_t CountIn(const std::string& folder) const;
  std::size_t OpenHandles() const { return handles_.size(); }
  int opens = 0;  // OpenShared calls

  std::string tempFolder = "C:\\Users\\admin\\AppData\\Local\\Temp";

 private:
  struct File {
    std::string bytes;
    int links = 1;
    bool held = false;
    bool lockedByOther = false;
    FileHandle lockedBy = 0;
    std::size_t unflushed = 0;
  };
  static std::string Key(std::string_view path);
  bool Writable(const std::string& key) const;
  File& Data(const std::string& path);
  File* At(FileHandle file) const;

  std::map<std::string, std::shared_ptr<File>> files_;
  std::map<FileHandle, std::shared_ptr<File>> handles_;
  FileHandle nextHandle_ = 0x5000;
  std::vector<std::string> readOnly_;
  std::vector<std::string> blocked_;
  std::vector<std::string> kept_;
  std::vector<std::string> failRename_;
  std::set<std::string> dangling_;
  std::set<std::string> folders_;
  std::size_t tempMade_ = 0;
};

}  // namespace vexa::sim
