#include "app/app.h"

#include "app/controls.h"
#include "app/frmmain.h"
#include "common/exit_codes.h"

namespace vexa {

int RunVexaIpSet(Platform& platform, WindowHost& host) {
  frm::FrmMain form(platform, host);
  return host.Run(frm::MainWindow(), frm::ControlTable(), form) ? exit_code::kDone : exit_code::kNoWindow;
}

}  // namespace vexa
