#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vexa::sim {

namespace {

// Names compare without case; Windows keeps sub-keys in the order of their upper-case names.
std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) { return Upper(a) == Upper(b); }

// Splits a sub-key path at backslashes; empty levels (doubled or leading backslashes) are skipped.
std::vector<std::string> Levels(std::string_view path) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) out.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

}  // namespace

struct SimRegistry::Key {
  std::string name;
  std::string folded;  // the name in upper case, the order children are kept in
  std::string path;    // for the write log
  Key* parent = nullptr;
  // Sorted as Windows keeps sub-keys: case-insensitively, a name before any longer name it begins.
  std::vector<std::unique_ptr<Key>> children;
  std::vector<RegValue> values;
  bool denyOpen = false;
  bool refuseSet = false;
  bool refuseCreate = false;

  Key* Child(std::string_view childName) const {
    // HKLM\SYSTEM\CurrentControlSet is a link to the control set Windows booted with.
    std::string linked;
    if (parent != nullptr && parent->parent == nullptr && parent->name == "HKLM" && SameName(name, "SYSTEM") &&
        SameName(childName, "CurrentControlSet")) {
      linked = CurrentControlSet();
      childName = linked;
    }
    const std::string want = Upper(childName);
    auto at = std::lower_bound(children.begin(), children.end(), want,
                               [](const auto& c, const std::string& w) { return c->folded < w; });
    return at != children.end() && (*at)->folded == want ? at->get() : nullptr;
  }

  // "ControlSet" and the three digits of Select\Current when it is a DWORD from 1 to 999.
  std::string CurrentControlSet() const {
    const Key* select = ChildNamed("Select");
    const RegValue* current = select != nullptr ? select->Find("Current") : nullptr;
    std::uint32_t n = 1;
    if (current != nullptr && current->type == kRegDword && current->data.size() == 4) {
      std::memcpy(&n, current->data.data(), 4);
    }
    if (n < 1 || n > 999) n = 1;
    char set[16];
    std::snprintf(set, sizeof set, "ControlSet%03u", static_cast<unsigned>(n));
    // Windows boots only from a set that exists; one Current names in vain stands for ControlSet001 here.
    if (ChildNamed(set) == nullptr) return "ControlSet001";
    return set;
  }

  const Key* ChildNamed(std::string_view childName) const {
    for (const auto& c : children) {
      if (SameName(c->name, childName)) return c.get();
    }
    return nullptr;
  }

  const RegValue* Find(std::string_view valueName) const {
    for (const auto& v : values) {
      if (SameName(v.name, valueName)) return &v;
    }
    return nullptr;
  }

  Key* AddChild(const std::string& childName) {
    auto key = std::make_unique<Key>();
    key->name = childName;
    key->folded = Upper(childName);
    key->path = path + "\\" + childName;
    key->parent = this;
    auto at = std::lower_bound(children.begin(), children.end(), key->folded,
                               [](const auto& c, const std::string& w) { return c->folded < w; });
    return children.insert(at, std::move(key))->get();
  }

  RegValue* Value(std::string_view valueName) {
    for (auto& v : values) {
      if (SameName(v.name, valueName)) return &v;
    }
    return nullptr;
  }

  // The write log's names of this key and every key below it, after a move.
  void Repath(const std::string& newPath) {
    path = newPath;
    for (auto& c : children) c->Repath(path + "\\" + c->name);
  }

  std::unique_ptr<Key> Detach(const Key* child) {
    auto at = std::find_if(children.begin(), children.end(), [&](const auto& c) { return c.get() == child; });
    std::unique_ptr<Key> detached = std::move(*at);
    children.erase(at);
    detached->parent = nullptr;
    return detached;
  }

  std::size_t Count() const {
    std::size_t n = children.size();
    for (const auto& c : children) n += c->Count();
    return n;
  }
};

SimRegistry::SimRegistry() {
  // Short names, for the write log: in the order of the predefined handles.
  const char* names[kPredefinedRootCount] = {"HKCR", "HKCU", "HKLM", "HKU", "HKPD", "HKCC", "HKDD"};
  for (int i = 0; i < kPredefinedRootCount; ++i) {
    auto key = std::make_unique<Key>();
    key->name = names[i];
    key->path = names[i];
    roots_[kHkeyClassesRoot + static_cast<RegHandle>(i)] = std::move(key);
  }
}

SimRegistry::~SimRegistry() = default;

SimRegistry::Key* SimRegistry::Root(RegHandle root) const {
  auto it = roots_.find(root);
  return it == roots_.end() ? nullptr : it->second.get();
}

SimRegistry::Key* SimRegistry::Find(RegHandle root, const std::string& path) const {
  Key* key = Root(root);
  if (key == nullptr) {
    auto open = handles_.find(root);
    if (open == handles_.end()) return nullptr;
    key = open->second.key;
  }
  for (const auto& level : Levels(path)) {
    key = key->Child(level);
    if (key == nullptr) return nullptr;
  }
  return key;
}

SimRegistry::Key* SimRegistry::Create(RegHandle root, const std::string& path) {
  Key* key = Root(root);
  for (const auto& level : Levels(path)) {
    Key* child = key->Child(level);
    key = child != nullptr ? child : key->AddChild(level);
  }
  return key;
}

void SimRegistry::CreateKey(RegHandle root, const std::string& path) { Create(root, path); }

void SimRegistry::SetValue(RegHandle root, const std::string& path, const std::string& name, std::uint32_t type,
                           const std::string& data) {
  Key* key = Create(root, path);
  if (RegValue* v = key->Value(name)) {
    v->type = type;
    v->data = data;
  } else {
    key->values.push_back(RegValue{name, type, data});
  }
}

void SimRegistry::DeleteKey(RegHandle root, const std::string& path) {
  Key* key = Find(root, path);
  if (key == nullptr || key->parent == nullptr) return;
  auto& siblings = key->parent->children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == key; }));
}

void SimRegistry::DeleteValue(RegHandle root, const std::string& path, const std::string& name) {
  Key* key = Find(root, path);
  if (key == nullptr) return;
  std::erase_if(key->values, [&](const RegValue& v) { return SameName(v.name, name); });
}

void SimRegistry::DenyOpen(RegHandle root, const std::string& path) { Create(root, path)->denyOpen = true; }

void SimRegistry::RefuseSet(RegHandle root, const std::string& path) { Create(root, path)->refuseSet = true; }

void SimRegistry::RefuseCreate(RegHandle root, const std::string& path) { Create(root, path)->refuseCreate = true; }

SimRegistry::Hive& SimRegistry::HiveFile(const std::string& file) {
  Hive& hive = hives_[Upper(file)];
  if (!hive.top && hive.mounted == nullptr) {
    hive.top = std::make_unique<Key>();
    hive.top->path = file;
  }
  return hive;
}

SimRegistry::Key* SimRegistry::HiveTop(const std::string& file) const {
  auto it = hives_.find(Upper(file));
  if (it == hives_.end()) return nullptr;
  return it->second.mounted != nullptr ? it->second.mounted : it->second.top.get();
}

void SimRegistry::SetHiveValue(const std::string& file, const std::string& path, const std::string& name,
                               std::uint32_t type, const std::string& data) {
  Key* key = HiveFile(file).top ? HiveFile(file).top.get() : HiveFile(file).mounted;
  for (const auto& level : Levels(path)) {
    Key* child = key->Child(level);
    key = child != nullptr ? child : key->AddChild(level);
  }
  if (RegValue* v = key->Value(name)) {
    *v = RegValue{name, type, data};
  } else {
    key->values.push_back(RegValue{name, type, data});
  }
}

void SimRegistry::CreateHiveKey(const std::string& file, const std::string& path) {
  Key* key = HiveFile(file).top ? HiveFile(file).top.get() : HiveFile(file).mounted;
  for (const auto& level : Levels(path)) {
    Key* child = key->Child(level);
    key = child != nullptr ? child : key->AddChild(level);
  }
}

std::optional<RegValue> SimRegistry::HiveValue(const std::string& file, const std::string& path,
                                               const std::string& name) const {
  Key* key = HiveTop(file);
  for (const auto& level : Levels(path)) {
    if (key == nullptr) break;
    key = key->Child(level);
  }
  if (key == nullptr) return std::nullopt;
  if (RegValue* v = key->Value(name)) return *v;
  return std::nullopt;
}

void SimRegistry::SaveAsHive(RegHandle root, const std::string& path, const std::string& file) {
  const Key* key = Find(root, path);
  Hive& hive = HiveFile(file);
  if (key != nullptr && hive.top) hive.top->values = key->values;
}

void SimRegistry::FailHiveLoad(const std::string& file, long code) { HiveFile(file).failLoad = code; }

bool SimRegistry::HiveMounted(const std::string& file) const {
  auto it = hives_.find(Upper(file));
  return it != hives_.end() && it->second.mounted != nullptr;
}

bool SimRegistry::KeyExists(RegHandle root, const std::string& path) const { return Find(root, path) != nullptr; }

std::optional<RegValue> SimRegistry::GetValue(RegHandle root, const std::string& path, const std::string& name) const {
  Key* key = Find(root, path);
  if (key == nullptr) return std::nullopt;
  if (RegValue* v = key->Value(name)) return *v;
  return std::nullopt;
}

std::size_t SimRegistry::KeyCount() const {
  std::size_t n = 0;
  for (const auto& [handle, root] : roots_) n += root->Count();
  return n;
}

long SimRegistry::RegOpenKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) {
  if (Root(root) == nullptr && handles_.count(root) == 0) return status::kInvalidHandle;
  // A sub-key never starts with a backslash.
  if (subKey != nullptr && subKey[0] == '\\') return status::kBadPathname;
  Key* found = Find(root, subKey == nullptr ? std::string() : std::string(subKey));
  if (found == nullptr) return status::kFileNotFound;
  if (found->denyOpen) return status::kAccessDenied;
  *key = nextHandle_;
  nextHandle_ += 4;
  handles_[*key] = OpenKey{found, access};
  return status::kSuccess;
}

long SimRegistry::RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* length) {
  auto open = handles_.find(key);
  if (open == handles_.end()) return status::kInvalidHandle;
  RegValue* value = open->second.key->Value(valueName == nullptr ? "" : valueName);
  if (value == nullptr) return status::kFileNotFound;
  if (type != nullptr) *type = value->type;
  const auto size = static_cast<std::uint32_t>(value->data.size());
  if (data == nullptr) {
    if (length != nullptr) *length = size;
    return status::kSuccess;
  }
  if (length == nullptr) return status::kInvalidHandle;
  if (*length < size) {
    // What the buffer holds now is undefined on Windows: it gets the value's first bytes here, so that
    // nothing can rely on finding it as it was.
    std::memcpy(data, value->data.data(), *length);
    *length = size;
    return status::kMoreData;
  }
  std::memcpy(data, value->data.data(), size);
  // A string stored without its NUL is given one when there is room; the NUL is not counted.
  const bool unterminated = IsStringType(value->type) && (size == 0 || value->data.back() != '\0');
  if (unterminated && *length > size) data[size] = 0;
  *length = size;
  return status::kSuccess;
}

long SimRegistry::RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t length) {
  auto open = handles_.find(key);
  if (open == handles_.end()) return status::kInvalidHandle;
  if ((open->second.access & 0x2) == 0 || open->second.key->refuseSet) return status::kAccessDenied;
  Key* target = open->second.key;
  std::string name = valueName == nullptr ? std::string() : std::string(valueName);
  std::string bytes(reinterpret_cast<const char*>(data), length);
  // A string whose bytes lack their NUL while a NUL follows them in memory is stored with that NUL, as
  // RegSetValueExA does (its caller must leave that byte readable).
  if (IsStringType(type) && length > 0 && data[length - 1] != 0 && data[length] == 0) bytes.push_back('\0');
  if (RegValue* v = target->Value(name)) {
    v->type = type;
    v->data = bytes;
  } else {
    target->values.push_back(RegValue{name, type, bytes});
  }
  writes_.push_back(RegWrite{target->path, RegValue{name, type, bytes}});
  if (onWrite) onWrite();
  return status::kSuccess;
}

long SimRegistry::RegCloseKey(RegHandle key) {
  return handles_.erase(key) == 1 ? status::kSuccess : status::kInvalidHandle;
}

long SimRegistry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t size) {
  Key* parent = Root(key);
  if (parent == nullptr) {
    auto open = handles_.find(key);
    if (open == handles_.end()) return status::kInvalidHandle;
    parent = open->second.key;
  }
  if (index >= parent->children.size()) return status::kNoMoreItems;
  const std::string& child = parent->children[index]->name;
  if (child.size() + 1 > size) return status::kMoreData;
  std::memcpy(name, child.c_str(), child.size() + 1);
  return status::kSuccess;
}

long SimRegistry::RegCreateKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) {
  Key* parent = Root(root);
  if (parent == nullptr) {
    auto open = handles_.find(root);
    if (open == handles_.end()) return status::kInvalidHandle;
    parent = open->second.key;
  }
  if (subKey != nullptr && subKey[0] == '\\') return status::kBadPathname;
  Key* at = parent;
  for (const auto& level : Levels(subKey == nullptr ? std::string() : std::string(subKey))) {
    Key* child = at->Child(level);
    if (child == nullptr) {
      if (at->refuseCreate) return status::kAccessDenied;
      child = at->AddChild(level);
    }
    at = child;
  }
  if (at->denyOpen) return status::kAccessDenied;
  *key = nextHandle_;
  nextHandle_ += 4;
  handles_[*key] = OpenKey{at, access};
  return status::kSuccess;
}

long SimRegistry::RegDeleteValueA(RegHandle key, const char* valueName) {
  auto open = handles_.find(key);
  if (open == handles_.end()) return status::kInvalidHandle;
  if ((open->second.access & 0x2) == 0 || open->second.key->refuseSet) return status::kAccessDenied;
  const std::size_t erased = std::erase_if(open->second.key->values, [&](const RegValue& v) {
    return SameName(v.name, valueName == nullptr ? "" : valueName);
  });
  return erased > 0 ? status::kSuccess : status::kFileNotFound;
}

long SimRegistry::RegDeleteKeyA(RegHandle key, const char* subKey) {
  Key* parent = Root(key);
  if (parent == nullptr) {
    auto open = handles_.find(key);
    if (open == handles_.end()) return status::kInvalidHandle;
    parent = open->second.key;
  }
  Key* target = parent;
  for (const auto& level : Levels(subKey == nullptr ? std::string() : std::string(subKey))) {
    target = target->Child(level);
    if (target == nullptr) return status::kFileNotFound;
  }
  if (target == parent || target->parent == nullptr) return status::kAccessDenied;
  if (!target->children.empty() || target->refuseSet) return status::kAccessDenied;
  // Open handles to it stay valid on Windows until closed; here they are dropped with it.
  std::erase_if(handles_, [&](const auto& h) { return h.second.key == target; });
  auto& siblings = target->parent->children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == target; }));
  return status::kSuccess;
}

// Only below HKEY_USERS or HKEY_LOCAL_MACHINE, one level down, under a name not in use.
long SimRegistry::RegLoadKeyA(RegHandle root, const char* subKey, const char* file) {
  if (root != kHkeyUsers && root != kHkeyLocalMachine) return status::kInvalidParameter;
  const std::string name = subKey == nullptr ? std::string() : std::string(subKey);
  if (name.empty() || name.find('\\') != std::string::npos) return status::kInvalidParameter;
  auto it = hives_.find(Upper(file == nullptr ? "" : file));
  if (it == hives_.end()) return status::kFileNotFound;
  Hive& hive = it->second;
  if (hive.failLoad != 0) return hive.failLoad;
  if (hive.mounted != nullptr) return status::kSharingViolation;  // one file is mounted once
  Key* parent = Root(root);
  if (parent->Child(name) != nullptr) return status::kAccessDenied;
  Key* mounted = parent->AddChild(name);
  mounted->children = std::move(hive.top->children);
  mounted->values = std::move(hive.top->values);
  for (auto& c : mounted->children) c->parent = mounted;
  mounted->Repath(mounted->path);
  hive.top.reset();
  hive.mounted = mounted;
  return status::kSuccess;
}

// A hive with a key of it still open stays mounted (Windows answers kAccessDenied).
long SimRegistry::RegUnLoadKeyA(RegHandle root, const char* subKey) {
  Key* parent = Root(root);
  if (parent == nullptr) return status::kInvalidHandle;
  Key* mounted = parent->Child(subKey == nullptr ? "" : subKey);
  if (mounted == nullptr) return status::kFileNotFound;
  auto hive = std::find_if(hives_.begin(), hives_.end(), [&](const auto& h) { return h.second.mounted == mounted; });
  if (hive == hives_.end()) return status::kInvalidParameter;  // not a hive's top
  for (const auto& [handle, open] : handles_) {
    for (const Key* k = open.key; k != nullptr; k = k->parent) {
      if (k == mounted) return status::kAccessDenied;
    }
  }
  hive->second.top = parent->Detach(mounted);
  hive->second.top->Repath(hive->first);
  hive->second.mounted = nullptr;
  return status::kSuccess;
}

}  // namespace vexa::sim
