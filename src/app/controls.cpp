#include "app/controls.h"

#include <iterator>

#include "app/resources/resource.h"
#include "apply/write_table.h"

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
constexpr FontSpec kBold9{.face = kSongTi, .points = 9, .bold = true};
constexpr FontSpec kLink9{.face = kSongTi, .points = 9, .underline = true};
constexpr FontSpec kPlain105{.face = kSongTi, .points = 10.5};
constexpr FontSpec kBold105{.face = kSongTi, .points = 10.5, .bold = true};
constexpr FontSpec kBold18{.face = kSongTi, .points = 18, .bold = true};

using enum ControlKind;

// A control's design name, given once.
#define CONTROL(x) .id = (x), .name = L## #x

// One line per control, read like a dialog template: positions in twips, controls in Frame1 relative to
// it, a line from (left, top) to (width, height) read as x2, y2. Tab stops first, in the designed order;
// the frame last, so everything inside it lies above it.
// clang-format off
constexpr ControlDesc kControls[] = {
  {CONTROL(cboInterface), .kind = ComboBox, .left = 0, .top = 3960, .width = 4050, .height = 300,
   .fore = kBlueC0, .back = kPaleGreen, .font = kLink9, .tabIndex = 0},
  {CONTROL(Picture1), .kind = PictureBox, .left = 0, .top = 2520, .width = 870, .height = 870, .tabIndex = 1,
   .picture = IDB_PICTURE1},
  {CONTROL(Picture2), .kind = PictureBox, .left = 3210, .top = 2520, .width = 855, .height = 855, .tabIndex = 2,
   .picture = IDB_PICTURE2},
  {CONTROL(Command2), .kind = Button, .parent = Frame1, .left = 3000, .top = 240, .width = 975, .height = 285,
   .caption = L"退出(&Q)", .tabIndex = 3, .isCancel = true},
  {CONTROL(Command1), .kind = Button, .parent = Frame1, .left = 1845, .top = 240, .width = 975, .height = 285,
   .caption = L"确定(&C)", .tabIndex = 4, .isDefault = true},
  {CONTROL(txtNum), .kind = TextBox, .parent = Frame1, .left = 1125, .top = 240, .width = 615, .height = 270,
   .fore = kRed, .back = kWhite, .font = kBold105, .tabIndex = 5},

  // Top area.
  {CONTROL(Label20), .kind = Label, .left = 0, .top = 0, .width = 4095, .height = 1215, .clickable = true},
  {CONTROL(Label12), .kind = Label, .left = 1320, .top = 1320, .width = 105, .height = 180, .fore = kNavy,
   .font = kBold9, .autoSize = true},
  {CONTROL(Label16), .kind = Label, .left = 120, .top = 1440, .width = 3780, .height = 180,
   .caption = L"Vexa IP 自动修改程序 Quorlis用户专版", .fore = kBlueC0, .font = kBold9, .autoSize = true},
  {CONTROL(Label23), .kind = Label, .left = 180, .top = 1680, .width = 3855, .height = 180, .fore = kBlue,
   .visible = false},
  {CONTROL(Label15), .kind = Label, .left = 1200, .top = 1920, .width = 90, .height = 180, .fore = kNavy,
   .autoSize = true},

  // Welcome row and settings grid.
  {CONTROL(Label13), .kind = Label, .left = 1080, .top = 2760, .width = 1935, .height = 495,
   .caption = L"请选择网卡", .fore = kGreen, .font = kBold18, .clickable = true},
  {CONTROL(Label11), .kind = Label, .left = 240, .top = 2040, .width = 105, .height = 180, .fore = kNavy,
   .autoSize = true},
  {CONTROL(Label6), .kind = Label, .left = 240, .top = 2400, .width = 105, .height = 180, .fore = kNavy,
   .autoSize = true},
  {CONTROL(Label8), .kind = Label, .left = 240, .top = 2760, .width = 105, .height = 180, .fore = kNavy,
   .autoSize = true},
  {CONTROL(Label9), .kind = Label, .left = 240, .top = 3120, .width = 105, .height = 180, .fore = kNavy,
   .autoSize = true},
  {CONTROL(Label10), .kind = Label, .left = 240, .top = 3480, .width = 105, .height = 180, .fore = kNavy,
   .autoSize = true},
  {CONTROL(Label5), .kind = Label, .left = 1140, .top = 2040, .width = 105, .height = 180, .fore = kRed,
   .font = kBold9, .autoSize = true},
  {CONTROL(Label1), .kind = Label, .left = 1140, .top = 2400, .width = 105, .height = 180, .fore = kDarkGreen,
   .font = kBold9, .autoSize = true},
  {CONTROL(Label3), .kind = Label, .left = 1155, .top = 2760, .width = 105, .height = 180, .fore = kRed,
   .font = kBold9, .autoSize = true},
  {CONTROL(Label2), .kind = Label, .left = 1155, .top = 3120, .width = 105, .height = 180, .fore = kDarkGreen,
   .font = kBold9, .autoSize = true},
  {CONTROL(Label4), .kind = Label, .left = 1170, .top = 3480, .width = 90, .height = 180, .fore = kNavy,
   .autoSize = true},

  // Bottom area.
  {CONTROL(Label14), .kind = Label, .left = 120, .top = 3765, .width = 1710, .height = 180,
   .caption = L"网卡列表 请选择网卡", .fore = kGreen, .autoSize = true},
  {CONTROL(Label19), .kind = Label, .left = 2415, .top = 3765, .width = 90, .height = 180, .fore = kBlue,
   .autoSize = true},
  {CONTROL(Label7), .kind = Label, .parent = Frame1, .left = 55, .top = 285, .width = 975, .height = 255,
   .caption = L"本机机号:", .fore = kRed, .font = kPlain105},
  {CONTROL(Label17), .kind = Label, .parent = Frame1, .left = 55, .top = 555, .width = 720, .height = 180,
   .caption = L"使用帮助", .fore = kGrey, .font = kLink9, .autoSize = true, .clickable = true},
  {CONTROL(Label18), .kind = Label, .parent = Frame1, .left = 1125, .top = 555, .width = 1080, .height = 180,
   .caption = L"Quorlis论坛", .fore = kAppWorkspace, .font = kLink9, .autoSize = true, .clickable = true},
  {CONTROL(Label21), .kind = Label, .parent = Frame1, .left = 2450, .top = 555, .width = 720, .height = 180,
   .caption = L"软件主页", .fore = kAppWorkspace, .font = kLink9, .autoSize = true, .clickable = true},
  {CONTROL(Label22), .kind = Label, .parent = Frame1, .left = 3525, .top = 555, .width = 360, .height = 180,
   .caption = L"关于", .fore = kAppWorkspace, .font = kLink9, .autoSize = true, .clickable = true},

  // Drawn: shapes and lines.
  {CONTROL(Shape1), .kind = Shape, .left = 120, .top = 1200, .width = 3855, .height = 2535, .fore = kNavy,
   .visible = false},
  {CONTROL(Shape2), .kind = Shape, .left = 840, .top = 2520, .width = 2415, .height = 855, .fore = kGreen},
  {CONTROL(Line7), .kind = Line, .left = 120, .top = 1560, .width = 3960, .height = 1560, .fore = kWindowText,
   .visible = false},
  {CONTROL(Line1), .kind = Line, .left = 120, .top = 1920, .width = 3960, .height = 1920, .fore = kBlueC0,
   .visible = false},
  {CONTROL(Line2), .kind = Line, .left = 120, .top = 2280, .width = 3960, .height = 2280, .fore = kNavy,
   .visible = false},
  {CONTROL(Line3), .kind = Line, .left = 120, .top = 2640, .width = 3960, .height = 2640, .fore = kNavy,
   .visible = false},
  {CONTROL(Line4), .kind = Line, .left = 120, .top = 3000, .width = 3960, .height = 3000, .fore = kNavy,
   .visible = false},
  {CONTROL(Line5), .kind = Line, .left = 120, .top = 3360, .width = 3960, .height = 3360, .fore = kNavy,
   .visible = false},
  {CONTROL(Line6), .kind = Line, .left = 1080, .top = 1920, .width = 1080, .height = 3720, .fore = kNavy,
   .visible = false},

  {CONTROL(Frame1), .kind = Frame, .left = 0, .top = 4275, .width = 4050, .height = 855,
   .caption = L" 你没有选择网卡  ", .fore = kBlue, .back = kPaleGreen},
};
// clang-format on
#undef CONTROL

static_assert(std::size(kControls) == kControlCount, "every control has one row");

constexpr WindowDesc kMainWindow{.caption = L"Quorlis专用 Vexa IP 自动修改程序 ",
                                 .clientWidth = 4035,
                                 .clientHeight = 5115,
                                 .background = IDB_BACKGROUND,
                                 .icon = IDI_VEXAIPSET,
                                 .font = {.face = kSongTi, .points = 9}};

}  // namespace

const WindowDesc& MainWindow() { return kMainWindow; }

std::span<const ControlDesc> ControlTable() { return kControls; }

namespace {

// Empty, and so not seen, until a card is chosen; the values' words are the write table's where they are
// the same.
constexpr CaptionRow kCardViewCaptions[] = {
    {Label12, L" 当前网卡信息"}, {Label14, L"网卡列表 默认为第一块网卡"},
    {Label6, L"IP 地 址"},       {Label8, kMaskLabel},
    {Label9, kGatewayLabel},     {Label10, kDnsLabel},
    {Label11, L"计算机名"},
};

}  // namespace

std::span<const CaptionRow> CardViewCaptions() { return kCardViewCaptions; }

}  // namespace vexa::frm
