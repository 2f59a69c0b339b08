// What the platform contract suite needs beyond the platform itself: a scratch registry key and scratch
// files, made and removed by the test. One implementation over the sim, one over the real Windows calls.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vexa::contract {

// Scratch key below HKEY_CURRENT_USER.
inline constexpr const char* kScratch = "Software\\VexaIpSetContract";

class Fixture {
 public:
  virtual ~Fixture() = default;
  virtual Platform platform() = 0;
  // Paths below kScratch ("" is kScratch itself).
  virtual void CreateKey(const std::string& path) = 0;
  // Stores exactly bytes: a string without its NUL stays without one.
  virtual void SetRaw(const std::string& path, const std::string& name, std::uint32_t type,
                      const std::string& bytes) = 0;
  virtual void RemoveScratch() = 0;
  // The scratch key's values saved as a hive file (RegSaveKeyA, as a profile's NTUSER.DAT is one); its path.
  virtual std::string SaveScratchAsHive(const std::string& name) = 0;
  // Writes a scratch file and returns its full path.
  virtual std::string PutFile(const std::string& name, const std::string& bytes) = 0;
  // The full path of a scratch file that the test makes itself (removed with the scratch folder).
  virtual std::string ScratchPath(const std::string& name) = 0;
  // Another program opens path for appending, sharing reading, writing and deleting or nothing (a viewer,
  // an editor); the handle is closed by LetGo or with the fixture.
  virtual void HoldOpen(const std::string& path, bool sharing) = 0;
  virtual void LetGo() = 0;
  // Standard output handed over to a scratch file, as "> file" in a batch file does.
  virtual void HandOverOutput() = 0;
  // What reached the handed-over output; standard output is given back.
  virtual std::string TakeOutput() = 0;
  // True when the real calls are Wine's: where Wine is known to differ from Windows, the suite then
  // expects Wine's result (see KnownWineDifference).
  virtual bool UnderWine() const { return false; }
};

std::unique_ptr<Fixture> MakeFixture();

}  // namespace vexa::contract
