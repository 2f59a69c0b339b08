// Every file of the hostile config.ini corpus through the OK action: a defined outcome each time, nothing
// written when the address or the host name is refused, and what is written is usable by Windows.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/ok_action.h"
#include "sim_machine.h"

namespace vexa {
namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  if (DIR* dir = opendir(VEXA_HOSTILE_DIR)) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.size() > 4 && name.substr(name.size() - 4) == ".ini") files.push_back(name);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool ValidAddress(const std::string& multi) {
  if (multi.size() < 3 || multi.substr(multi.size() - 2) != std::string(2, '\0')) return false;
  const std::string address = multi.substr(0, multi.size() - 2);
  int parts = 0;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = address.find('.', start);
    std::string part = address.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos) return false;
    if (std::stoi(part) > 255) return false;
    ++parts;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts == 4;
}

bool ValidHostName(const std::string& sz) {
  if (sz.empty() || sz.back() != '\0') return false;
  const std::string name = sz.substr(0, sz.size() - 1);
  if (name.empty() || name.size() > 15) return false;
  for (unsigned char c : name) {
    if (c <= ' ' || c == 0x7F || std::string("\"/\\[]:|<>+=;,?*").find(static_cast<char>(c)) != std::string::npos) {
      return false;
    }
  }
  return true;
}

TEST(HostileConfig, EveryFileGivesADefinedOutcome) {
  const auto files = CorpusFiles();
  ASSERT_GE(files.size(), 100u);
  int written = 0;
  int refused = 0;
  for (const auto& name : files) {
    std::ifstream in(std::string(VEXA_HOSTILE_DIR) + "/" + name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const wchar_t* typed : {L"15", L"007", L"254"}) {
      SCOPED_TRACE(name + " typed " + std::string(typed, typed + std::wcslen(typed)));
      sim::SimPlatform sim;
      test::CloneImage(sim);
      sim.PutConfigBytes(bytes);
      Platform platform = sim.platform();
      CardInventory inventory;
      EnumNetworkCards(platform, inventory);
      sim.messages.Answer(MsgAnswer::Yes);  // to the question about a gateway outside the subnet
      Refusal result = RunOkAction(platform, inventory, typed, L"Realtek RTL8139 Family PCI Fast Ethernet NIC");
      const auto& shown = sim.messages.Shown();
      ASSERT_TRUE(shown.size() == 1 || (shown.size() == 2 && shown[0].ShownTitle() == L"Quorlis - 请确认"));
      const sim::ShownBox& box = shown.back();
      if (box.ShownTitle() == L"Quorlis - 配置文件错误！") {
        ++refused;
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        const Refusal byTheFile[] = {Refusal::BadIpAddress, Refusal::BadHostName, Refusal::BadMask,
                                     Refusal::BadGateway,   Refusal::BadDns,      Refusal::CutValue,
                                     Refusal::BadConfig};
        EXPECT_NE(std::find(std::begin(byTheFile), std::end(byTheFile), result), std::end(byTheFile));
        EXPECT_TRUE(test::MachineWrites(sim).empty());
        continue;
      }
      ++written;
      EXPECT_EQ(box.ShownTitle(), L"网络设置信息");
      EXPECT_EQ(box.icon, MsgIcon::Information);
      EXPECT_EQ(result, Refusal::None);
      const auto& writes = test::MachineWrites(sim);
      ASSERT_EQ(writes.size(), test::CountWrites(sim.text).all);
      EXPECT_TRUE(ValidAddress(writes[2].value.data)) << writes[2].value.data;
      EXPECT_TRUE(ValidHostName(writes[6].value.data)) << writes[6].value.data;
      EXPECT_EQ(writes[6].value.data, writes[7].value.data);
      EXPECT_LE(writes[8].value.data.size(), 254u);  // the game key: at most 253 bytes and its NUL
      EXPECT_EQ(sim.registry.OpenHandles(), 0u);
    }
  }
  std::printf("hostile corpus: %zu files x 3 numbers: %d written, %d refused\n", files.size(), written, refused);
}

}  // namespace
}  // namespace vexa
