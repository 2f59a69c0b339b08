#include "platform/sim/sim_files.h"

#include <algorithm>

namespace vexa::sim {

std::string SimFiles::Key(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return out;
}

bool SimFiles::Writable(const std::string& key) const {
  for (const auto& folder : readOnly_) {
    if (key.compare(0, folder.size(), folder) == 0) return false;
  }
  return true;
}

SimFiles::File& SimFiles::Data(const std::string& path) {
  auto& file = files_[Key(path)];
  if (!file) file = std::make_shared<File>();
  return *file;
}

SimFiles::File* SimFiles::At(FileHandle file) const {
  auto it = handles_.find(file);
  return it == handles_.end() ? nullptr : it->second.get();
}

void SimFiles::Put(const std::string& path, const std::string& bytes) {
  dangling_.erase(Key(path));
  Data(path).bytes = bytes;
}

std::optional<std::string> SimFiles::Get(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second->bytes;
}

std::size_t SimFiles::CountIn(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  std::size_t n = 0;
  for (const auto& [path, file] : files_) n += path.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
  return n;
}

FileRead SimFiles::ReadWholeFile(const char* path, std::uint64_t maxBytes) {
  const std::string key = Key(path);
  const auto it = files_.find(key);
  if (it == files_.end()) return {IsFolder(path) ? ReadStatus::NotPlain : ReadStatus::Missing, {}};
  const File& file = *it->second;
  if (file.held || file.lockedByOther || file.lockedBy != 0) return {ReadStatus::Held, {}};
  if (file.bytes.size() > maxBytes) return {ReadStatus::TooLarge, {}};
  return {ReadStatus::Read, file.bytes};
}

Files::Opened SimFiles::OpenShared(const char* path) {
  ++opens;
  const std::string key = Key(path);
  auto it = files_.find(key);
  if (it == files_.end()) {
    if (dangling_.count(key) != 0) return {Open::Link, 0};
    if (IsFolder(path)) return {Open::Failed, 0};  // a folder of that name: CreateFile is refused
    if (!Writable(key)) return {Open::Failed, 0};
    it = files_.emplace(key, std::make_shared<File>()).first;
  }
  if (it->second->held) return {Open::Busy, 0};
  if (!Writable(key)) return {Open::Failed, 0};
  handles_[++nextHandle_] = it->second;
  return {Open::Opened, nextHandle_};
}

void SimFiles::Close(FileHandle file) {
  if (File* f = At(file); f != nullptr && f->lockedBy == file) f->lockedBy = 0;
  handles_.erase(file);
}

bool SimFiles::IsPlainFile(FileHandle file, std::string_view name) {
  const File* f = At(file);
  if (f == nullptr || f->links != 1) return false;
  // The final path: the name the file has now.
  for (const auto& [path, data] : files_) {
    if (data.get() == f) return path.substr(path.find_last_of('\\') + 1) == Key(name);
  }
  return false;
}

bool SimFiles::IsFileAt(FileHandle file, const char* path) {
  auto it = files_.find(Key(path));
  return it != files_.end() && it->second.get() == At(file);
}

bool SimFiles::TryLock(FileHandle file) {
  File* f = At(file);
  if (f == nullptr || f->lockedByOther || (f->lockedBy != 0 && f->lockedBy != file)) return false;
  f->lockedBy = file;
  return true;
}

void SimFiles::Unlock(FileHandle file) {
  if (File* f = At(file); f != nullptr && f->lockedBy == file) f->lockedBy = 0;
}

std::optional<std::uint64_t> SimFiles::SizeOf(FileHandle file) {
  const File* f = At(file);
  if (f == nullptr) return std::nullopt;
  return f->bytes.size();
}

FileRead SimFiles::ReadAt(FileHandle file, std::uint64_t offset, std::size_t count) {
  const File* f = At(file);
  if (f == nullptr) return {};
  if (offset >= f->bytes.size()) return {ReadStatus::Read, {}};
  return {ReadStatus::Read, f->bytes.substr(static_cast<std::size_t>(offset), count)};
}

bool SimFiles::Append(FileHandle file, std::string_view bytes) {
  File* f = At(file);
  if (f == nullptr) return false;
  f->bytes += bytes;
  f->unflushed += bytes.size();
  return true;
}

bool SimFiles::Flush(FileHandle file) {
  File* f = At(file);
  if (f == nullptr) return false;
  f->unflushed = 0;
  return true;
}

bool SimFiles::Truncate(FileHandle file) {
  File* f = At(file);
  if (f == nullptr) return false;
  f->bytes.clear();
  return true;
}

std::optional<std::uint64_t> SimFiles::FileSize(const char* path) {
  auto found = Get(path);
  if (!found) return std::nullopt;
  return found->size();
}

MoveStatus SimFiles::MoveOver(const char* from, const char* to) {
  const std::string source = Key(from);
  const std::string target = Key(to);
  auto it = files_.find(source);
  if (it == files_.end() || !Writable(source) || !Writable(target)) return MoveStatus::Failed;
  if (std::find(blocked_.begin(), blocked_.end(), target) != blocked_.end()) return MoveStatus::Denied;
  if (std::find(failRename_.begin(), failRename_.end(), target) != failRename_.end()) return MoveStatus::Failed;
  const auto there = files_.find(target);
  if (it->second->held || (there != files_.end() && there->second->held)) return MoveStatus::Held;
  std::shared_ptr<File> file = std::move(it->second);
  files_.erase(it);
  dangling_.erase(target);
  files_[target] = std::move(file);
  return MoveStatus::Moved;
}

bool SimFiles::RemoveFile(const char* path) {
  const std::string key = Key(path);
  if (std::find(kept_.begin(), kept_.end(), key) != kept_.end()) return false;
  return Writable(key) && files_.erase(key) + dangling_.erase(key) == 1;
}

bool SimFiles::CreateFolder(const char* path) {
  std::string key = Key(path);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  if (IsFolder(path)) return true;
  const std::size_t parent = key.find_last_of('\\');
  if (parent == std::string::npos || !IsFolder(key.substr(0, parent).c_str()) || !Writable(key)) return false;
  folders_.insert(key);
  return true;
}

bool SimFiles::RemoveFolder(const char* path) {
  std::string key = Key(path);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  const std::string prefix = key + "\\";
  const auto it = files_.lower_bound(prefix);
  const bool empty = it == files_.end() || it->first.compare(0, prefix.size(), prefix) != 0;
  return empty && Writable(key) && folders_.erase(key) == 1;
}

bool SimFiles::IsFolder(const char* path) {
  std::string key = Key(path);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  if (folders_.count(key) != 0) return true;
  const std::string prefix = key + "\\";
  const auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

bool SimFiles::IsLinkName(const char* path) {
  const std::string key = Key(path);
  const auto it = files_.find(key);
  return dangling_.count(key) != 0 || (it != files_.end() && it->second->links != 1);
}

std::string SimFiles::CreateTempFile(std::string_view bytes, const std::string& folder) {
  std::string path = (folder.empty() ? tempFolder : folder) + "\\vxi" + std::to_string(++tempMade_) + ".tmp";
  if (!Writable(Key(path)) || Exists(path)) return std::string();
  Put(path, std::string(bytes));
  return path;
}

}  // namespace vexa::sim
