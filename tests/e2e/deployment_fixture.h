// The fixture of the runs on real network interfaces (tests/e2e/netns): the cards Wine lists for the
// namespace's interfaces, the image's registry, the tool run with its console output, the keys an operator
// exports.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/controls.h"
#include "common/utf8.h"
#include "e2e/machine.h"
#include "e2e/tool.h"

namespace vexa::e2e {

inline std::wstring ToolPath() {
  wchar_t value[1024] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"VEXA_E2E_TOOL", value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value) : std::wstring();
}

struct Card {
  std::wstring key;
  std::string description;
  std::string service;
};

// The tool's log beside it, as UTF-8 bytes.
inline std::string ReadLog(const std::wstring& exe) {
  return ReadFileBytes(exe.substr(0, exe.find_last_of(L'\\')) + L"\\VexaIpSet.log");
}

// The cards Wine listed, in the registry's order (the order the tool lists them in).
inline std::vector<Card> ListedCards() {
  std::vector<Card> cards;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCards, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return cards;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring card = std::wstring(kCards) + L"\\" + name;
    auto description = GetValue(HKEY_LOCAL_MACHINE, card, L"Description");
    auto service = GetValue(HKEY_LOCAL_MACHINE, card, L"ServiceName");
    if (description && service) {
      cards.push_back(Card{name, description->data.substr(0, description->data.find('\0')),
                           service->data.substr(0, service->data.find('\0'))});
    }
  }
  ::RegCloseKey(key);
  return cards;
}

class Deployment : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = ToolPath();
    ASSERT_FALSE(tool_.empty());
    cards_ = ListedCards();
    ASSERT_GT(Position("vx0"), 0u) << "Wine lists the namespace's interfaces as cards";
    ASSERT_GT(Position("vxa"), 0u);
    // The image: host names, IPX and game keys, and the TCP/IP interface keys of the listed cards.
    DeleteTree(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001");
    ClearSavedState();
    SetValue(HKEY_LOCAL_MACHINE, kTcpip, L"NV Hostname", REG_SZ, Sz("MASTER"));
    SetValue(HKEY_LOCAL_MACHINE, kComputerName, L"ComputerName", REG_SZ, Sz("MASTER"));
    SetValue(HKEY_LOCAL_MACHINE, kIpx, L"VirtualNetworkNumber", REG_DWORD, std::string(4, '\0'));
    SetValue(HKEY_CURRENT_USER, kGame, L"Key", REG_SZ, Sz("OLDKEY"));
    for (const Card& card : cards_) {
      SetValue(HKEY_LOCAL_MACHINE, Interface(card.description), L"EnableDHCP", REG_DWORD, std::string("\1\0\0\0", 4));
    }
  }
  // Every card keeps the description Wine gave it, for the scenarios after this one.
  void TearDown() override {
    for (const Card& card : cards_) {
      SetValue(HKEY_LOCAL_MACHINE, std::wstring(kCards) + L"\\" + card.key, L"Description", REG_SZ,
               Sz(card.description));
    }
  }
  // The card's place in the tool's list, from 1; 0 when it is not listed.
  std::size_t Position(const std::string& description) {
    for (std::size_t i = 0; i < cards_.size(); ++i) {
      if (cards_[i].description == description) return i + 1;
    }
    return 0;
  }
  std::wstring Interface(const std::string& description) {
    const std::string& service = cards_[Position(description) - 1].service;
    return std::wstring(kInterfaces) + L"\\" + std::wstring(service.begin(), service.end());
  }
  std::string Address(const std::string& description) {
    auto v = GetValue(HKEY_LOCAL_MACHINE, Interface(description), L"IPAddress");
    return v ? v->data : "<missing>";
  }
  // Gives the cards of the namespace's two interfaces one description, as two identical onboard chips have.
  void SameDescription(const std::string& description) {
    for (const Card& card : cards_) {
      if (card.description != "vx0" && card.description != "vxa") continue;
      SetValue(HKEY_LOCAL_MACHINE, std::wstring(kCards) + L"\\" + card.key, L"Description", REG_SZ, Sz(description));
    }
  }
  void Machines(const std::wstring& table) {
    WriteConfig(tool_, L"[NetWork]\r\nIP=10.9.8\r\nGateWay=10.9.8.254\r\nNetPrefix=NS-\r\n[Machines]\r\n" + table);
  }

  // A run's exit code and its console output (code page 936).
  int RunWithOutput(const std::wstring& arguments, std::string& output, DWORD wait = 20000) {
    return e2e::RunWithOutput(tool_, arguments, output, wait);
  }
  // The keys an operator would export to see what a run changed, each as reg.exe exports it.
  std::string Exported() {
    const std::wstring keys[] = {L"HKLM\\" + Interface("vxa"), L"HKLM\\" + std::wstring(kTcpip),
                                 L"HKLM\\System\\CurrentControlSet\\Control\\ComputerName",
                                 L"HKLM\\" + std::wstring(kIpx), L"HKCU\\" + std::wstring(kGame)};
    const std::wstring file = L"C:\\e2e\\export.reg";
    std::string all;
    for (const std::wstring& key : keys) {
      ::DeleteFileW(file.c_str());
      const int code =
          FinishRun(StartRun(L"C:\\windows\\system32\\reg.exe", L"export \"" + key + L"\" " + file + L" /y"));
      EXPECT_EQ(code, 0) << Ansi(key);
      const std::string bytes = ReadFileBytes(file);
      EXPECT_GT(bytes.size(), 100u) << Ansi(key);  // a header and the key at least
      all += bytes;
    }
    return all;
  }

  std::wstring tool_;
  std::vector<Card> cards_;
};

// How often word (in code page 936) stands in text.
inline std::size_t Count(const std::string& text, const std::wstring& word) {
  const std::string bytes = Ansi(word);
  std::size_t n = 0;
  for (std::size_t at = text.find(bytes); at != std::string::npos; at = text.find(bytes, at + 1)) ++n;
  return n;
}

}  // namespace vexa::e2e
