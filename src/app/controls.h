// The controls of frmmain by their design names, and the table that lays them out.
#pragma once

#include <span>

#include <string_view>

#include "platform/window.h"

namespace vexa::frm {

// clang-format off
enum Control : ControlId {
  Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label12,
  Label13, Label14, Label15, Label16, Label17, Label18, Label19, Label20, Label21, Label22, Label23,
  txtNum, cboInterface, Command1, Command2, Frame1, Picture1, Picture2, Shape1, Shape2,
  Line1, Line2, Line3, Line4, Line5, Line6, Line7,
  kControlCount
};
// clang-format on

const WindowDesc& MainWindow();
// Every control, in tab order first (the order the real window creates them in), the rest after.
std::span<const ControlDesc> ControlTable();

// The captions the card view's labels take when a card is chosen.
struct CaptionRow {
  Control id;
  std::wstring_view caption;
};
std::span<const CaptionRow> CardViewCaptions();

}  // namespace vexa::frm
