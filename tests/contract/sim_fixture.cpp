#include "contract/fixture.h"
#include "platform/sim/sim_platform.h"

namespace vexa::contract {

namespace {

class SimFixture : public Fixture {
 public:
  Platform platform() override { return sim_.platform(); }
  void CreateKey(const std::string& path) override { sim_.registry.CreateKey(kHkeyCurrentUser, Full(path)); }
  void SetRaw(const std::string& path, const std::string& name, std::uint32_t type, const std::string& bytes) override {
    sim_.registry.SetValue(kHkeyCurrentUser, Full(path), name, type, bytes);
  }
  void RemoveScratch() override { sim_.registry.DeleteKey(kHkeyCurrentUser, kScratch); }
  std::string PutFile(const std::string& name, const std::string& bytes) override {
    std::string path = "C:\\scratch\\" + name;
    sim_.files.Put(path, bytes);
    return path;
  }
  std::string ScratchPath(const std::string& name) override { return "C:\\scratch\\" + name; }

 private:
  static std::string Full(const std::string& path) {
    return path.empty() ? kScratch : std::string(kScratch) + "\\" + path;
  }
  sim::SimPlatform sim_;
};

}  // namespace

std::unique_ptr<Fixture> MakeFixture() { return std::make_unique<SimFixture>(); }

}  // namespace vexa::contract
