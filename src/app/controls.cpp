#include "app/controls.h"

namespace vexa::frm {

namespace {

constexpr Colour kNavy = Colour::Of(0x000080);
constexpr Colour kBlueC0 = Colour::Of(0x0000C0);
constexpr Colour kBlue = Colour::Of(0x0000FF);
constexpr Colour kRed = Colour::Of(0xFF0000);
constexpr Colour kGreen = Colour::Of(0x00C000);
constexpr Colour kDarkGreen = Colour::Of(0x008000);
constexpr Colour kGrey = Colour::Of(0x808080);
constexpr Colour kPaleGreen = Colour::Of(0xC0FFC0);
constexpr Colour kWhite = Colour::Of(0xFFFFFF);
constexpr Colour kWindowText{Colour::Source::SysWindowText, 0};
constexpr Colour kAppWorkspace{Colour::Source::SysAppWorkspace, 0};

constexpr std::wstring_view kSongTi = L"宋体";
constexpr FontSpec kDefault{};
constexpr FontSpec kBold9{kSongTi, 9, true, false};
constexpr FontSpec kLink9{kSongTi, 9, false, true};

ControlDesc Label(Control id, std::wstring_view name, int l, int t, int w, int h, Colour fore,
                  const FontSpec& font = kDefault, bool autoSize = true, ControlId parent = kNoControl) {
  ControlDesc d;
  d.id = id;
  d.name = name;
  d.kind = ControlKind::Label;
  d.parent = parent;
  d.left = l, d.top = t, d.width = w, d.height = h;
  d.fore = fore;
  d.font = font;
  d.autoSize = autoSize;
  return d;
}

ControlDesc Line(Control id, std::wstring_view name, int x1, int y1, int x2, int y2, Colour colour) {
  ControlDesc d;
  d.id = id;
  d.name = name;
  d.kind = ControlKind::Line;
  d.left = x1, d.top = y1, d.width = x2, d.height = y2;
  d.fore = colour;
  d.visible = false;
  return d;
}

std::vector<ControlDesc> Build() {
  std::vector<ControlDesc> t;
  t.reserve(kControlCount);  // references handed out by add() stay valid
  auto add = [&t](ControlDesc d) -> ControlDesc& { return t.emplace_back(d); };

  // Tab order: cboInterface, Picture1, Picture2, Command2, Command1, txtNum.
  ControlDesc& combo = add({});
  combo.id = cboInterface, combo.name = L"cboInterface", combo.kind = ControlKind::ComboBox;
  combo.left = 0, combo.top = 3960, combo.width = 4050, combo.height = 300;
  combo.fore = kBlueC0, combo.back = kPaleGreen, combo.font = kLink9, combo.tabIndex = 0;

  ControlDesc& pic1 = add({});
  pic1.id = Picture1, pic1.name = L"Picture1", pic1.kind = ControlKind::PictureBox;
  pic1.left = 0, pic1.top = 2520, pic1.width = 870, pic1.height = 870, pic1.tabIndex = 1, pic1.picture = kPicture1;

  ControlDesc& pic2 = add({});
  pic2.id = Picture2, pic2.name = L"Picture2", pic2.kind = ControlKind::PictureBox;
  pic2.left = 3210, pic2.top = 2520, pic2.width = 855, pic2.height = 855, pic2.tabIndex = 2, pic2.picture = kPicture2;

  ControlDesc& exit = add({});
  exit.id = Command2, exit.name = L"Command2", exit.kind = ControlKind::Button, exit.parent = Frame1;
  exit.left = 3000, exit.top = 240, exit.width = 975, exit.height = 285, exit.caption = L"退出";
  exit.tabIndex = 3, exit.isCancel = true;

  ControlDesc& ok = add({});
  ok.id = Command1, ok.name = L"Command1", ok.kind = ControlKind::Button, ok.parent = Frame1;
  ok.left = 1845, ok.top = 240, ok.width = 975, ok.height = 285, ok.caption = L"确定";
  ok.tabIndex = 4, ok.isDefault = true;

  ControlDesc& num = add({});
  num.id = txtNum, num.name = L"txtNum", num.kind = ControlKind::TextBox, num.parent = Frame1;
  num.left = 1125, num.top = 240, num.width = 615, num.height = 270;
  num.fore = kRed, num.back = kWhite, num.font = {kSongTi, 10.5, true, false}, num.tabIndex = 5;

  // Top area.
  ControlDesc& banner = add(Label(Label20, L"Label20", 0, 0, 4095, 1215, {}, kDefault, false));
  banner.clickable = true;
  add(Label(Label12, L"Label12", 1320, 1320, 105, 180, kNavy, kBold9));
  ControlDesc& title = add(Label(Label16, L"Label16", 120, 1440, 3780, 180, kBlueC0, kBold9));
  title.caption = L"Vexa IP 自动修改程序 Quorlis用户专版";
  ControlDesc& card = add(Label(Label23, L"Label23", 180, 1680, 3855, 180, kBlue, kDefault, false));
  card.visible = false;
  add(Label(Label15, L"Label15", 1200, 1920, 90, 180, kNavy));

  // Welcome row and settings grid.
  ControlDesc& hint = add(Label(Label13, L"Label13", 1080, 2760, 1935, 495, kGreen, {kSongTi, 18, true, false}, false));
  hint.clickable = true;
  add(Label(Label11, L"Label11", 240, 2040, 105, 180, kNavy));
  add(Label(Label6, L"Label6", 240, 2400, 105, 180, kNavy));
  add(Label(Label8, L"Label8", 240, 2760, 105, 180, kNavy));
  add(Label(Label9, L"Label9", 240, 3120, 105, 180, kNavy));
  add(Label(Label10, L"Label10", 240, 3480, 105, 180, kNavy));
  add(Label(Label5, L"Label5", 1140, 2040, 105, 180, kRed, kBold9));
  add(Label(Label1, L"Label1", 1140, 2400, 105, 180, kDarkGreen, kBold9));
  add(Label(Label3, L"Label3", 1155, 2760, 105, 180, kRed, kBold9));
  add(Label(Label2, L"Label2", 1155, 3120, 105, 180, kDarkGreen, kBold9));
  add(Label(Label4, L"Label4", 1170, 3480, 90, 180, kNavy));

  // Bottom area.
  ControlDesc& list = add(Label(Label14, L"Label14", 120, 3765, 1710, 180, kGreen));
  list.caption = L"网卡列表 请选择网卡";
  add(Label(Label19, L"Label19", 2415, 3765, 90, 180, kBlue));
  add(Label(Label7, L"Label7", 55, 285, 975, 255, kRed, {kSongTi, 10.5, false, false}, false, Frame1));
  const struct {
    Control id;
    std::wstring_view name;
    int left, width;
    std::wstring_view caption;
    Colour colour;
  } links[] = {
      {Label17, L"Label17", 55, 720, L"使用帮助", kGrey},
      {Label18, L"Label18", 1125, 1080, L"Quorlis论坛", kAppWorkspace},
      {Label21, L"Label21", 2450, 720, L"软件主页", kAppWorkspace},
      {Label22, L"Label22", 3525, 360, L"关于", kAppWorkspace},
  };
  for (const auto& l : links) {
    ControlDesc& link = add(Label(l.id, l.name, l.left, 555, l.width, 180, l.colour, kLink9, true, Frame1));
    link.caption = l.caption;
    link.clickable = true;
  }

  // Drawn: shapes and lines.
  ControlDesc& outline = add({});
  outline.id = Shape1, outline.name = L"Shape1", outline.kind = ControlKind::Shape;
  outline.left = 120, outline.top = 1200, outline.width = 3855, outline.height = 2535;
  outline.fore = kNavy, outline.visible = false;
  ControlDesc& welcome = add({});
  welcome.id = Shape2, welcome.name = L"Shape2", welcome.kind = ControlKind::Shape;
  welcome.left = 840, welcome.top = 2520, welcome.width = 2415, welcome.height = 855, welcome.fore = kGreen;
  add(Line(Line7, L"Line7", 120, 1560, 3960, 1560, kWindowText));
  add(Line(Line1, L"Line1", 120, 1920, 3960, 1920, kBlueC0));
  add(Line(Line2, L"Line2", 120, 2280, 3960, 2280, kNavy));
  add(Line(Line3, L"Line3", 120, 2640, 3960, 2640, kNavy));
  add(Line(Line4, L"Line4", 120, 3000, 3960, 3000, kNavy));
  add(Line(Line5, L"Line5", 120, 3360, 3960, 3360, kNavy));
  add(Line(Line6, L"Line6", 1080, 1920, 1080, 3720, kNavy));

  // The frame comes last: everything inside it lies above it.
  ControlDesc& frame = add({});
  frame.id = Frame1, frame.name = L"Frame1", frame.kind = ControlKind::Frame;
  frame.left = 0, frame.top = 4275, frame.width = 4050, frame.height = 855;
  frame.caption = L" 你没有选择网卡  ", frame.fore = kBlue, frame.back = kPaleGreen;
  return t;
}

}  // namespace

const WindowDesc& MainWindow() {
  static const WindowDesc window{L"Quorlis专用 Vexa IP 自动修改程序 ", 4035, 5115, kBackground, kIcon,
                                 FontSpec{kSongTi, 9, false, false}};
  return window;
}

const std::vector<ControlDesc>& ControlTable() {
  static const std::vector<ControlDesc> table = Build();
  return table;
}

}  // namespace vexa::frm
