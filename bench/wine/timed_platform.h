// The platform's services timed call by call, for the benchmarks under Wine: each call of a decorated
// service added to its operation's tally, the log's lock timed from the moment it is taken to the moment
// it is let go, and the bench card as a live adapter with a known hardware address.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace bench {

struct Tally {
  long long calls = 0;
  long long ticks = 0;
};

class Clock {
 public:
  Clock() { ::QueryPerformanceFrequency(&frequency_); }
  static long long Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
  }
  double Microseconds(long long ticks) const { return 1e6 * static_cast<double>(ticks) / frequency_.QuadPart; }

 private:
  LARGE_INTEGER frequency_;
};

using Tallies = std::map<std::string, Tally>;

// Times one call and adds it to its operation's tally.
template <typename Call>
auto Timed(Tallies& tallies, const char* name, Call call) {
  const long long start = Clock::Now();
  struct Add {
    Tallies& tallies;
    const char* name;
    long long start;
    ~Add() {
      Tally& t = tallies[name];
      ++t.calls;
      t.ticks += Clock::Now() - start;
    }
  } add{tallies, name, start};
  return call();
}

class TimedRegistry : public vexa::Registry {
 public:
  TimedRegistry(vexa::Registry& real, Tallies& t) : real_(real), t_(t) {}
  long RegOpenKeyExA(vexa::RegHandle root, const char* subKey, std::uint32_t access, vexa::RegHandle* key) override {
    return Timed(t_, "RegOpenKeyExA", [&] { return real_.RegOpenKeyExA(root, subKey, access, key); });
  }
  long RegQueryValueExA(vexa::RegHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* length) override {
    return Timed(t_, "RegQueryValueExA", [&] { return real_.RegQueryValueExA(key, name, type, data, length); });
  }
  long RegSetValueExA(vexa::RegHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t length) override {
    return Timed(t_, "RegSetValueExA", [&] { return real_.RegSetValueExA(key, name, type, data, length); });
  }
  long RegCloseKey(vexa::RegHandle key) override {
    return Timed(t_, "RegCloseKey", [&] { return real_.RegCloseKey(key); });
  }
  long RegEnumKeyA(vexa::RegHandle key, std::uint32_t index, char* name, std::uint32_t size) override {
    return Timed(t_, "RegEnumKeyA", [&] { return real_.RegEnumKeyA(key, index, name, size); });
  }
  long RegCreateKeyExA(vexa::RegHandle root, const char* subKey, std::uint32_t access, vexa::RegHandle* key) override {
    return Timed(t_, "RegCreateKeyExA", [&] { return real_.RegCreateKeyExA(root, subKey, access, key); });
  }
  long RegDeleteValueA(vexa::RegHandle key, const char* name) override {
    return Timed(t_, "RegDeleteValueA", [&] { return real_.RegDeleteValueA(key, name); });
  }
  long RegDeleteKeyA(vexa::RegHandle key, const char* subKey) override {
    return Timed(t_, "RegDeleteKeyA", [&] { return real_.RegDeleteKeyA(key, subKey); });
  }
  long RegLoadKeyA(vexa::RegHandle root, const char* subKey, const char* file) override {
    return Timed(t_, "RegLoadKeyA", [&] { return real_.RegLoadKeyA(root, subKey, file); });
  }
  long RegUnLoadKeyA(vexa::RegHandle root, const char* subKey) override {
    return Timed(t_, "RegUnLoadKeyA", [&] { return real_.RegUnLoadKeyA(root, subKey); });
  }

 private:
  vexa::Registry& real_;
  Tallies& t_;
};

class TimedProfile : public vexa::Profile {
 public:
  TimedProfile(vexa::Profile& real, Tallies& t) : real_(real), t_(t) {}
  std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                         std::uint32_t size, const char* fileName) override {
    return Timed(t_, "GetPrivateProfileStringA",
                 [&] { return real_.GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName); });
  }

 private:
  vexa::Profile& real_;
  Tallies& t_;
};

class TimedText : public vexa::TextCodec {
 public:
  TimedText(vexa::TextCodec& real, Tallies& t) : real_(real), t_(t) {}
  std::string ToAnsi(std::wstring_view text) override {
    return Timed(t_, "ToAnsi", [&] { return real_.ToAnsi(text); });
  }
  std::wstring FromAnsi(std::string_view bytes) override {
    return Timed(t_, "FromAnsi", [&] { return real_.FromAnsi(bytes); });
  }
  bool IsLeadByte(char byte) override {
    return Timed(t_, "IsLeadByte", [&] { return real_.IsLeadByte(byte); });
  }
  std::optional<std::size_t> FirstUnmappable(std::wstring_view text) override {
    return Timed(t_, "FirstUnmappable", [&] { return real_.FirstUnmappable(text); });
  }

 private:
  vexa::TextCodec& real_;
  Tallies& t_;
};

class TimedSystem : public vexa::System {
 public:
  TimedSystem(vexa::System& real, Tallies& t) : real_(real), t_(t) {}
  bool StartProgram(const char* path, const char* commandLine, std::uint32_t show) override {
    return Timed(t_, "StartProgram", [&] { return real_.StartProgram(path, commandLine, show); });
  }
  std::string WindowsDirectory() override {
    return Timed(t_, "WindowsDirectory", [&] { return real_.WindowsDirectory(); });
  }
  std::string ModuleDirectory() override {
    return Timed(t_, "ModuleDirectory", [&] { return real_.ModuleDirectory(); });
  }
  std::string ModulePath() override {
    return Timed(t_, "ModulePath", [&] { return real_.ModulePath(); });
  }
  std::string MachineSid() override {
    return Timed(t_, "MachineSid", [&] { return real_.MachineSid(); });
  }
  bool RandomBytes(std::uint8_t* buffer, std::uint32_t size) override {
    return Timed(t_, "RandomBytes", [&] { return real_.RandomBytes(buffer, size); });
  }
  std::string ExpandEnvironment(const char* text) override {
    return Timed(t_, "ExpandEnvironment", [&] { return real_.ExpandEnvironment(text); });
  }
  vexa::LocalTime Now() override {
    return Timed(t_, "Now", [&] { return real_.Now(); });
  }
  std::uint64_t MillisecondsSinceBoot() override {
    return Timed(t_, "MillisecondsSinceBoot", [&] { return real_.MillisecondsSinceBoot(); });
  }
  void Sleep(std::uint32_t ms) override {
    Timed(t_, "Sleep", [&] { real_.Sleep(ms); });
  }
  std::uint32_t ProcessId() override {
    return Timed(t_, "ProcessId", [&] { return real_.ProcessId(); });
  }

 private:
  vexa::System& real_;
  Tallies& t_;
};

class TimedFiles : public vexa::Files {
 public:
  TimedFiles(vexa::Files& real, Tallies& t) : real_(real), t_(t) {}
  Opened OpenShared(const char* path) override {
    return Timed(t_, "OpenShared", [&] { return real_.OpenShared(path); });
  }
  void Close(vexa::FileHandle f) override {
    Timed(t_, "Close", [&] { real_.Close(f); });
    LetGo(f);
  }
  bool IsPlainFile(vexa::FileHandle f, std::string_view name) override {
    return Timed(t_, "IsPlainFile", [&] { return real_.IsPlainFile(f, name); });
  }
  bool IsFileAt(vexa::FileHandle f, const char* path) override {
    return Timed(t_, "IsFileAt", [&] { return real_.IsFileAt(f, path); });
  }
  bool TryLock(vexa::FileHandle f) override {
    const bool locked = Timed(t_, "TryLock", [&] { return real_.TryLock(f); });
    if (locked) lockedAt_[f] = Clock::Now();
    return locked;
  }
  void Unlock(vexa::FileHandle f) override {
    Timed(t_, "Unlock", [&] { real_.Unlock(f); });
    LetGo(f);
  }
  std::optional<std::uint64_t> SizeOf(vexa::FileHandle f) override {
    return Timed(t_, "SizeOf", [&] { return real_.SizeOf(f); });
  }
  vexa::FileRead ReadAt(vexa::FileHandle f, std::uint64_t offset, std::size_t count) override {
    return Timed(t_, "ReadAt", [&] { return real_.ReadAt(f, offset, count); });
  }
  bool Append(vexa::FileHandle f, std::string_view bytes) override {
    return Timed(t_, "Append", [&] { return real_.Append(f, bytes); });
  }
  bool Flush(vexa::FileHandle f) override {
    return Timed(t_, "Flush", [&] { return real_.Flush(f); });
  }
  bool Truncate(vexa::FileHandle f) override {
    return Timed(t_, "Truncate", [&] { return real_.Truncate(f); });
  }
  vexa::FileRead ReadWholeFile(const char* path, std::uint64_t maxBytes) override {
    return Timed(t_, "ReadWholeFile", [&] { return real_.ReadWholeFile(path, maxBytes); });
  }
  std::optional<std::uint64_t> FileSize(const char* path) override {
    return Timed(t_, "FileSize", [&] { return real_.FileSize(path); });
  }
  bool IsFolder(const char* path) override {
    return Timed(t_, "IsFolder", [&] { return real_.IsFolder(path); });
  }
  vexa::MoveStatus MoveOver(const char* from, const char* to) override {
    return Timed(t_, "MoveOver", [&] { return real_.MoveOver(from, to); });
  }
  bool RemoveFile(const char* path) override {
    return Timed(t_, "RemoveFile", [&] { return real_.RemoveFile(path); });
  }
  bool CreateFolder(const char* path) override {
    return Timed(t_, "CreateFolder", [&] { return real_.CreateFolder(path); });
  }
  bool RemoveFolder(const char* path) override {
    return Timed(t_, "RemoveFolder", [&] { return real_.RemoveFolder(path); });
  }
  std::string CreateTempFile(std::string_view bytes, const std::string& folder) override {
    return Timed(t_, "CreateTempFile", [&] { return real_.CreateTempFile(bytes, folder); });
  }
  bool IsLinkName(const char* path) override {
    return Timed(t_, "IsLinkName", [&] { return real_.IsLinkName(path); });
  }

  // Each time the lock was held, in ticks of Clock (one clock for every process of the machine): when it
  // was taken and when it was let go.
  struct Hold {
    long long taken;
    long long letGo;
  };
  std::vector<Hold> holds;

 private:
  void LetGo(vexa::FileHandle f) {
    const auto it = lockedAt_.find(f);
    if (it == lockedAt_.end()) return;
    holds.push_back({it->second, Clock::Now()});
    lockedAt_.erase(it);
  }

  vexa::Files& real_;
  Tallies& t_;
  std::map<vexa::FileHandle, long long> lockedAt_;
};

class TimedAdapters : public vexa::Adapters {
 public:
  TimedAdapters(vexa::Adapters& real, Tallies& t) : real_(real), t_(t) {}
  std::optional<std::vector<vexa::AdapterAddress>> GetAdaptersAddresses(vexa::AdapterDetail detail) override {
    return Timed(t_, "GetAdaptersAddresses", [&] { return real_.GetAdaptersAddresses(detail); });
  }

 private:
  vexa::Adapters& real_;
  Tallies& t_;
};

// The bench card as a live adapter with a known hardware address (the prefix's cards have none under
// Wine): the real call is made and paid for, and the card is added to its answer, so the guard against
// one number on two cards reads the log as on a cafe's machine.
class KnownCard : public vexa::Adapters {
 public:
  explicit KnownCard(vexa::Adapters& real, std::string physical = std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6))
      : real_(real), physical_(std::move(physical)) {}
  std::optional<std::vector<vexa::AdapterAddress>> GetAdaptersAddresses(vexa::AdapterDetail detail) override {
    std::vector<vexa::AdapterAddress> list =
        real_.GetAdaptersAddresses(detail).value_or(std::vector<vexa::AdapterAddress>{});
    list.push_back({"{3F5A1C2E-1B7D-4E8A-9C61-2A7B5D9E0F11}", physical_, true, {}});
    return list;
  }

 private:
  vexa::Adapters& real_;
  std::string physical_;
};

}  // namespace bench
