#include "contract/fixture.h"
#include "platform/sim/sim_platform.h"

namespace vexa::contract {

namespace {

class SimFixture : public Fixture {
 public:
  SimFixture() {
    // A machine's usual pair: the loopback adapter and one connected Ethernet card.
    sim_.adapters.list = {
        {"{6C2A8F4E-0B1D-4C5A-9E77-3D2B1A0F9C88}", "", true, {{"127.0.0.1", UnicastAddress::Dad::Preferred}}},
        {"{3F5A1C2E-1B7D-4E8A-9C61-2A7B5D9E0F11}",
         std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6),
         true,
         {{"192.168.0.15", UnicastAddress::Dad::Preferred}}}};
    // As setup leaves them: MachineGuid without braces, the machine SID with its three random parts.
    sim_.registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid", kRegSz,
                           std::string("9f1c2d3e-4b5a-4c6d-8e7f-0a1b2c3d4e5f", 37));
    sim_.system.machineSid = "S-1-5-21-1004336348-1177238915-682003330";
  }
  Platform platform() override { return sim_.platform(); }
  void CreateKey(const std::string& path) override { sim_.registry.CreateKey(kHkeyCurrentUser, Full(path)); }
  void SetRaw(const std::string& path, const std::string& name, std::uint32_t type, const std::string& bytes) override {
    sim_.registry.SetValue(kHkeyCurrentUser, Full(path), name, type, bytes);
  }
  void RemoveScratch() override { sim_.registry.DeleteKey(kHkeyCurrentUser, kScratch); }
  std::string SaveScratchAsHive(const std::string& name) override {
    const std::string file = "C:\\scratch\\" + name;
    sim_.registry.SaveAsHive(kHkeyCurrentUser, kScratch, file);
    return file;
  }
  std::string PutFile(const std::string& name, const std::string& bytes) override {
    std::string path = "C:\\scratch\\" + name;
    sim_.files.Put(path, bytes);
    return path;
  }
  std::string ScratchPath(const std::string& name) override { return "C:\\scratch\\" + name; }
  // Open with sharing is what any OpenShared handle is; without, the sim's hold.
  void HoldOpen(const std::string& path, bool sharing) override {
    held_ = path;
    sim_.files.Hold(path, !sharing);
  }
  void LetGo() override {
    if (!held_.empty()) sim_.files.Hold(held_, false);
    held_.clear();
  }
  void HandOverOutput() override { sim_.console.present = true; }
  std::string TakeOutput() override { return sim_.console.output; }

 private:
  static std::string Full(const std::string& path) {
    return path.empty() ? kScratch : std::string(kScratch) + "\\" + path;
  }
  sim::SimPlatform sim_;
  std::string held_;
};

}  // namespace

std::unique_ptr<Fixture> MakeFixture() { return std::make_unique<SimFixture>(); }

}  // namespace vexa::contract
