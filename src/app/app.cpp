#include "app/app.h"

#include "app/controls.h"
#include "app/frmmain.h"

namespace vexa {

int RunVexaIpSet(Platform& platform, WindowHost& host) {
  frm::FrmMain form(platform, host);
  return host.Run(frm::MainWindow(), frm::ControlTable(), form);
}

}  // namespace vexa
