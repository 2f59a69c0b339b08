// frmmain: the tool's only window, as event handlers over the window system.
#pragma once

#include "inventory/card_inventory.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace vexa::frm {

class FrmMain : public WindowEvents {
 public:
  FrmMain(Platform& platform, WindowSystem& window) : platform_(platform), window_(window) {}

  void Form_Load();
  void txtNum_KeyPress(int& keyAscii);
  bool txtNum_Paste(const std::wstring& text);
  void Command1_Click();
  void Command2_Click();
  void cboInterface_Click();
  void Label13_Click();
  void Label17_Click();
  void Label18_Click();
  void Label20_Click();
  void Label21_Click();
  void Label22_Click();

  // WindowEvents: routes each event to its handler.
  void OnLoad() override { Form_Load(); }
  void OnClick(ControlId control) override;
  void OnKeyPress(ControlId control, int& key) override;
  bool OnPaste(ControlId control, const std::wstring& text) override;

 private:
  void PreFill();
  void OpenLink(std::wstring_view address);

  Platform& platform_;
  WindowSystem& window_;
  CardInventory inventory_;
};

}  // namespace vexa::frm
