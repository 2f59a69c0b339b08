// The shipped executable's window under Wine: the fixture the window suites share (a cloned machine, the
// tool started and driven with the keyboard, its boxes) and a registry value's bytes.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/controls.h"
#include "e2e/machine.h"
#include "e2e/tool.h"

namespace vexa::e2e {

inline std::wstring Env(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value) : std::wstring();
}

inline const std::wstring kRealtek = L"Realtek RTL8139 Family PCI Fast Ethernet NIC";
inline const std::wstring kFullConfig =
    L"[NetWork]\r\nIP=192.168.0\r\nIPOffset=0\r\nMask=255.255.255.0\r\nGateWay=192.168.0.1\r\n"
    L"DNS=202.102.224.68,202.102.227.68\r\nNetPrefix=WB-\r\n[CSCDK]\r\nCDKey15=KEY-FIFTEEN\r\n";

class E2E : public ::testing::Test {
 protected:
  void SetUp() override {
    toolPath_ = Env(L"VEXA_E2E_TOOL");
    ASSERT_FALSE(toolPath_.empty()) << "VEXA_E2E_TOOL names the executable under test";
    CloneImage();
    WriteConfig(toolPath_, kFullConfig);
  }

  std::unique_ptr<Tool> Start() {
    auto tool = std::make_unique<Tool>(toolPath_);
    EXPECT_TRUE(tool->Started()) << "main window did not appear: " << tool->WhyNotStarted();
    return tool;
  }

  // Chooses the entry with the keyboard, as an operator would with the arrow keys.
  void Choose(Tool& tool, const std::wstring& card) {
    const auto items = tool.ComboItems();
    for (std::size_t i = 0; i < items.size() && tool.ComboShown() != card; ++i) tool.Key(frm::cboInterface, VK_DOWN);
    ASSERT_EQ(tool.ComboShown(), card);
  }

  Box ExpectBox(Tool& tool, const std::wstring& title, IconSeen icon) {
    Box box;
    EXPECT_TRUE(tool.WaitBox(box)) << "no message box";
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.icon, icon);
    return box;
  }

  std::wstring toolPath_;
};

inline std::string Bytes(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type = nullptr) {
  auto v = GetValue(root, path, name);
  if (!v) return "<missing>";
  if (type != nullptr) *type = v->type;
  return v->data;
}

}  // namespace vexa::e2e
