#include "app/frmmain.h"

#include "app/controls.h"
#include "app/ok_action.h"
#include "app/texts.h"
#include "apply/machine_lookup.h"
#include "apply/machine_plan.h"
#include "common/text.h"
#include "config/venue.h"
#include "registry/reg.h"

namespace vexa::frm {

void FrmMain::Form_Load() {
  window_.SetCaption(Label15, L"当前计算机名:" + ReadHostName(platform_));
  {
    UniqueKey cards = EnumNetworkCards(platform_, inventory_);
    window_.SetCaption(Label19, L"找到 " + IntText(inventory_.LastCard + 1) + L" 块可用网卡");
    window_.ClearItems(cboInterface);
    for (std::int32_t index = 0; index <= inventory_.LastCard; ++index) {
      window_.AddItem(cboInterface, CardDescription(platform_, inventory_, index));
    }
  }  // the network-card key closes here, once the list is filled
  PreFill();
}

// When exactly one listed card has its address in config.ini's [Machines] (and its number is not given
// to another address), the window starts as if the operator had chosen that card and typed its number:
// Enter is all that is left. Not when another card has the same description: OK writes the later card
// of a description, which need not be the one matched.
void FrmMain::PreFill() {
  const IniFile::Venue venue = IniFile::ReadVenue(platform_);
  if (!venue.Ok()) return;  // OK says what is wrong, in its box
  const MachineLookup lookup = LookUpMachine(platform_, inventory_, venue);
  if (lookup.result != MachineLookup::Result::Found) return;
  const std::wstring description = CutAtNul(CardDescription(platform_, inventory_, lookup.cardIndex));
  if (CardsDescribedAs(platform_, inventory_, description).size() != 1) return;
  const MachineInput& input = lookup.number;
  window_.SelectItem(cboInterface, lookup.cardIndex);
  cboInterface_Click();
  window_.SetCaption(txtNum, input.NumberText);
  window_.SetFocus(txtNum);
}

void FrmMain::txtNum_KeyPress(int& keyAscii) {
  const bool passes = (keyAscii >= '0' && keyAscii <= '9') || keyAscii == 8 || keyAscii == 13;
  if (!passes) keyAscii = 0;
}

// A paste must not bring in what the keyboard filter keeps out ("&H1F", "1.5", a name...).
bool FrmMain::txtNum_Paste(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

void FrmMain::Command1_Click() {
  window_.SetEnabled(Command1, false);
  const Refusal result = RunOkAction(platform_, inventory_, window_.Caption(txtNum), window_.Caption(cboInterface));
  // Back to where the operator mends it: the number, the card list, or (config.ini's values, mended in the
  // file) the number box, ready for OK again.
  if (result == Refusal::OutOfRange) window_.SetCaption(txtNum, L"");
  if (result == Refusal::NoCard) {
    window_.SetFocus(cboInterface);
  } else if (result != Refusal::None) {
    window_.SetFocus(txtNum);
  }
  window_.SetEnabled(Command1, true);
  if (result == Refusal::None && AskAndRestart(platform_)) window_.Unload();
}

void FrmMain::Command2_Click() { window_.Unload(); }

void FrmMain::cboInterface_Click() {
  const std::wstring shown = window_.Caption(cboInterface);
  const CardView card = ReadCardView(platform_, inventory_, shown);
  // A text that names no card leaves paths without a key, each said in its box.
  for (const std::wstring& path : card.malformed) {
    platform_.messages.Show(std::wstring(Reg::kBadFormat) + path, std::nullopt, MsgButtons::Ok, MsgIcon::None);
  }
  window_.SetCaption(Label1, card.IpAddress);
  window_.SetCaption(Label3, card.SubnetMask);
  window_.SetCaption(Label2, card.DefaultGateway);
  window_.SetCaption(Label4, card.NameServer);
  window_.SetCaption(Label5, card.HostName);
  window_.SetCaption(Label23, shown);
  window_.SetCaption(Frame1, shown);

  for (const CaptionRow& row : CardViewCaptions()) window_.SetCaption(row.id, std::wstring(row.caption));

  for (Control c : {Label13, Label15, Label16}) window_.SetVisible(c, false);
  window_.SetVisible(Label23, true);
  window_.SetVisible(Shape2, false);
  window_.SetVisible(Shape1, true);
  for (Control c : {Line1, Line2, Line3, Line4, Line5, Line6, Line7}) window_.SetVisible(c, true);
  window_.SetVisible(Picture1, false);
  window_.SetVisible(Picture2, false);
  window_.SetFocus(txtNum);
}

void FrmMain::Label13_Click() {
  const Notice hint = NoCardNotice();
  platform_.messages.Show(hint.text, hint.title, MsgButtons::Ok, MsgIcon::Information);
}

void FrmMain::Label17_Click() {
  platform_.messages.Show(HelpText(), std::wstring(kHelpTitle), MsgButtons::Ok, MsgIcon::Information);
}

void FrmMain::Label22_Click() {
  platform_.messages.Show(AboutText(), std::wstring(kAboutTitle), MsgButtons::Ok, MsgIcon::Information);
}

void FrmMain::Label18_Click() { OpenLink(kForumAddress); }
void FrmMain::Label20_Click() { OpenLink(kHomeAddress); }
void FrmMain::Label21_Click() { OpenLink(kHomeAddress); }

// The tool runs elevated: explorer.exe is started from the Windows folder by its full path, never from
// wherever the search order would find it first (the tool's own folder).
void FrmMain::OpenLink(std::wstring_view address) {
  const std::string explorer = PathIn<char>(platform_.system.WindowsDirectory(), "explorer.exe");
  const std::string commandLine = "\"" + explorer + "\" " + platform_.text.ToAnsi(address);
  platform_.system.StartProgram(explorer.c_str(), commandLine.c_str(), kSwShowMinimized);
}

void FrmMain::OnClick(ControlId control) {
  switch (control) {
    case Command1: return Command1_Click();
    case Command2: return Command2_Click();
    case cboInterface: return cboInterface_Click();
    case Label13: return Label13_Click();
    case Label17: return Label17_Click();
    case Label18: return Label18_Click();
    case Label20: return Label20_Click();
    case Label21: return Label21_Click();
    case Label22: return Label22_Click();
    default: return;
  }
}

void FrmMain::OnKeyPress(ControlId control, int& key) {
  if (control == txtNum) txtNum_KeyPress(key);
}

bool FrmMain::OnPaste(ControlId control, const std::wstring& text) { return control != txtNum || txtNum_Paste(text); }

}  // namespace vexa::frm
