// The program's entry point and composition root: the real platform, the real window, and frmmain over them.
#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/unattended.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace {

// The tool runs elevated: DLLs that Windows loads for it come from the system folder, never from the
// tool's own folder (where the search order would look first). Without SetDefaultDllDirectories (Windows 7
// without KB2533623) the current folder is at least taken out of the search.
void RestrictDllSearch(vexa::win32::SystemFunctions& system) {
  auto set = system.Get<vexa::win32::fn::SetDefaultDllDirectories>();
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryA("");
}

}  // namespace

// The SDK's own parameter names: the declaration in winbase.h and this definition say the same.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR lpCmdLine, int nShowCmd) {
  vexa::win32::Win32Platform real;  // loads no DLL yet
  RestrictDllSearch(real.functions);
  vexa::Platform platform = real.platform();
  const vexa::CommandLine command = vexa::ParseCommandLine(lpCmdLine != nullptr ? lpCmdLine : L"");
  if (command.mode != vexa::CommandLine::Mode::Window) return vexa::RunUnattended(platform, command);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  vexa::win32::Win32Window window(hInstance, nShowCmd, real.text, real.messages, real.functions);
  return vexa::RunVexaIpSet(platform, window);
}
