// An in-memory registry with the observable behaviour of the Windows one: case-insensitive key and value
// names, values stored as type + bytes, keys never created by open, CurrentControlSet a link to the control
// set HKLM\SYSTEM\Select "Current" names (ControlSet001 when it names none), sub-keys enumerated in the sorted
// order Windows keeps them in. Failures are injectable.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa::sim {

struct RegValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;  // raw bytes as stored
};

// One successful RegSetValueExA, for tests that check what was written and in which order.
struct RegWrite {
  std::string keyPath;  // root name + "\" + sub-key as resolved, e.g. HKLM\SYSTEM\ControlSet001\...
  RegValue value;
};

class SimRegistry : public Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;

  // Test set-up; paths are sub-keys below root, ANSI bytes.
  void CreateKey(RegHandle root, const std::string& path);
  void SetValue(RegHandle root, const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& data);  // creates the key when missing
  void DeleteKey(RegHandle root, const std::string& path);
  void DeleteValue(RegHandle root, const std::string& path, const std::string& name);
  void DenyOpen(RegHandle root, const std::string& path);      // RegOpenKeyExA answers kAccessDenied
  void RefuseSet(RegHandle root, const std::string& path);     // RegSetValueExA and the deletes answer kAccessDenied
  void RefuseCreate(RegHandle root, const std::string& path);  // RegCreateKeyExA below it answers kAccessDenied

  // Hive files (a profile's NTUSER.DAT) that RegLoadKeyA mounts: made and read by path below the hive's top,
  // wherever it is mounted at the moment. FailHiveLoad: RegLoadKeyA of the file answers code.
  void SetHiveValue(const std::string& file, const std::string& path, const std::string& name, std::uint32_t type,
                    const std::string& data);
  void CreateHiveKey(const std::string& file, const std::string& path);
  std::optional<RegValue> HiveValue(const std::string& file, const std::string& path, const std::string& name) const;
  void FailHiveLoad(const std::string& file, long code);
  // A key's values (not its sub-keys) as a hive file, as RegSaveKeyA writes one.
  void SaveAsHive(RegHandle root, const std::string& path, const std::string& file);
  bool HiveMounted(const std::string& file) const;

  bool KeyExists(RegHandle root, const std::string& path) const;
  std::optional<RegValue> GetValue(RegHandle root, const std::string& path, const std::string& name) const;
  std::size_t KeyCount() const;  // every key below every root
  std::size_t OpenHandles() const { return handles_.size(); }
  const std::vector<RegWrite>& Writes() const { return writes_; }
  void ClearWrites() { writes_.clear(); }
  // Called after each successful write: a test looks at what else holds at that moment.
  std::function<void()> onWrite;

  long RegOpenKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) override;
  long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* length) override;
  long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t length) override;
  long RegCloseKey(RegHandle key) override;
  long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t size) override;
  long RegCreateKeyExA(RegHandle root, const char* subKey, std::uint32_t access, RegHandle* key) override;
  long RegDeleteValueA(RegHandle key, const char* valueName) override;
  long RegDeleteKeyA(RegHandle key, const char* subKey) override;
  long RegLoadKeyA(RegHandle root, const char* subKey, const char* file) override;
  long RegUnLoadKeyA(RegHandle root, const char* subKey) override;

 private:
  struct Key;
  struct OpenKey {
    Key* key;
    std::uint32_t access;
  };

  Key* Root(RegHandle root) const;
  Key* Find(RegHandle root, const std::string& path) const;
  Key* Create(RegHandle root, const std::string& path);

  struct Hive {
    std::unique_ptr<Key> top;  // the file's keys while it is not mounted
    Key* mounted = nullptr;    // its top while it is
    long failLoad = 0;
  };
  Hive& HiveFile(const std::string& file);
  Key* HiveTop(const std::string& file) const;

  std::map<RegHandle, std::unique_ptr<Key>> roots_;
  std::map<std::string, Hive> hives_;  // by the file's name in upper case
  std::map<RegHandle, OpenKey> handles_;
  RegHandle nextHandle_ = 0x1000;
  std::vector<RegWrite> writes_;
};

}  // namespace vexa::sim
