#include "platform/sim/sim_platform.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace vexa::sim {

namespace {
constexpr std::uintptr_t kProcessPseudoHandle = static_cast<std::uintptr_t>(-1);
constexpr std::uintptr_t kTokenHandle = 0x7700;
}  // namespace

MsgAnswer SimMessageBoxes::Show(const std::wstring& text, const std::optional<std::wstring>& title, MsgButtons buttons,
                                MsgIcon icon) {
  shown_.push_back(ShownBox{text, title, buttons, icon});
  if (onShow) onShow();
  if (!script_.empty()) {
    MsgAnswer answer = script_.front();
    script_.pop_front();
    return answer;
  }
  if (buttons == MsgButtons::RetryCancel) return MsgAnswer::Cancel;
  return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
}

std::uintptr_t SimRestart::GetCurrentProcess() {
  calls.push_back("GetCurrentProcess");
  return kProcessPseudoHandle;
}

bool SimRestart::OpenProcessToken(std::uintptr_t process, std::uint32_t access, std::uintptr_t* token) {
  char line[96];
  std::snprintf(line, sizeof line, "OpenProcessToken %s 0x%X", process == kProcessPseudoHandle ? "self" : "other",
                static_cast<unsigned>(access));
  calls.emplace_back(line);
  if (tokenFails) return false;
  *token = kTokenHandle;
  return true;
}

bool SimRestart::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
  calls.push_back(std::string("LookupPrivilegeValueA \"") + (systemName ? systemName : "(null)") + "\" " + name);
  if (tokenFails) return false;
  luid->LowPart = 19;  // the LUID Windows gives SeShutdownPrivilege
  luid->HighPart = 0;
  return true;
}

bool SimRestart::AdjustTokenPrivileges(std::uintptr_t token, bool disableAll, const PrivilegeRecord* newState,
                                       std::uint32_t bufferLength, PrivilegeRecord* previousState,
                                       std::uint32_t* returnLength) {
  char line[128];
  std::snprintf(line, sizeof line, "AdjustTokenPrivileges 0x%X %d len=%u", static_cast<unsigned>(token),
                disableAll ? 1 : 0, static_cast<unsigned>(bufferLength));
  calls.emplace_back(line);
  lastNewState = *newState;
  if (tokenFails || token != kTokenHandle) return false;
  std::memset(previousState, 0, sizeof *previousState);
  previousState->PrivilegeCount = 1;
  previousState->Privileges[0] = newState->Privileges[0];
  previousState->Privileges[0].Attributes = 0;
  *returnLength = 16;
  return true;
}

bool SimRestart::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  calls.push_back("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reserved));
  if (onExitWindows) onExitWindows();
  return !exitFails;
}

bool SimRestart::CloseHandle(std::uintptr_t handle) {
  char line[48];
  std::snprintf(line, sizeof line, "CloseHandle 0x%X", static_cast<unsigned>(handle));
  calls.emplace_back(line);
  return handle == kTokenHandle;
}

std::string SimSystem::ExpandEnvironment(const char* text) {
  std::string out;
  std::string_view rest(text);
  for (std::size_t open = rest.find('%'); open != std::string_view::npos; open = rest.find('%')) {
    const std::size_t close = rest.find('%', open + 1);
    if (close == std::string_view::npos) break;
    std::string name(rest.substr(open + 1, close - open - 1));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = environment.find(name);
    out += rest.substr(0, open);
    out += found != environment.end() ? found->second : std::string(rest.substr(open, close - open + 1));
    rest.remove_prefix(close + 1);
  }
  return out + std::string(rest);
}

bool SimSystem::StartProgram(const char* applicationPath, const char* commandLine, std::uint32_t showWindow) {
  started.push_back(Started{applicationPath, commandLine, showWindow});
  return true;
}

void SimPlatform::PutConfig(const std::wstring& content) { files.Put(ConfigPath(), text.ToAnsi(content)); }

void SimPlatform::PutConfigBytes(const std::string& bytes) { files.Put(ConfigPath(), bytes); }

}  // namespace vexa::sim
