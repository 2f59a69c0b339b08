#include "platform/sim/sim_files.h"

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

std::optional<std::string> SimFiles::Get(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::size_t SimFiles::CountIn(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  std::size_t n = 0;
  for (const auto& [path, bytes] : files_) n += path.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
  return n;
}

std::optional<std::string> SimFiles::ReadWholeFile(const char* path, std::uint64_t maxBytes) {
  auto found = Get(path);
  if (!found || found->size() > maxBytes) return std::nullopt;
  return found;
}

bool SimFiles::WriteWholeFile(const char* path, std::string_view bytes) {
  const std::string key = Key(path);
  if (!Writable(key)) return false;
  files_[key] = std::string(bytes);
  return true;
}

bool SimFiles::AppendToFile(const char* path, std::string_view bytes) {
  const std::string key = Key(path);
  if (!Writable(key)) return false;
  files_[key] += bytes;
  return true;
}

std::optional<std::uint64_t> SimFiles::FileSize(const char* path) {
  auto found = Get(path);
  if (!found) return std::nullopt;
  return found->size();
}

bool SimFiles::MoveOver(const char* from, const char* to) {
  const std::string source = Key(from);
  const std::string target = Key(to);
  auto it = files_.find(source);
  if (it == files_.end() || !Writable(source) || !Writable(target)) return false;
  std::string bytes = std::move(it->second);
  files_.erase(it);
  files_[target] = std::move(bytes);
  return true;
}

bool SimFiles::RemoveFile(const char* path) {
  const std::string key = Key(path);
  return Writable(key) && files_.erase(key) == 1;
}

std::string SimFiles::CreateTempFile() {
  std::string path = tempFolder + "\\vxi" + std::to_string(++tempMade_) + ".tmp";
  if (!WriteWholeFile(path.c_str(), "")) return std::string();
  return path;
}

}  // namespace vexa::sim
