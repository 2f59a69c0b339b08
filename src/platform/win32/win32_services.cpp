// The tool's own service: installed, removed, and run when the service control manager starts it.
#include <windows.h>

#include <functional>
#include <string>

#include "common/text.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

namespace vexa::win32 {

namespace {

// The service this process runs as, for the dispatcher's callbacks, which take no context: set once before
// the dispatcher starts, read only on its threads while it runs. Plain pointers, constant-initialised: no
// guard for a local static (whose recursion check would link the exception machinery) and no destructor.
struct Running {
  const char* name;
  const std::function<int()>* work;
  SERVICE_STATUS_HANDLE status;
};
constinit Running theService{nullptr, nullptr, nullptr};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
Running& TheService() { return theService; }

void Report(DWORD state, DWORD exitCode) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = 0;  // the work is short: no stop request is taken while it runs
  status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
  status.dwServiceSpecificExitCode = exitCode;
  ::SetServiceStatus(TheService().status, &status);
}

DWORD WINAPI Control(DWORD /*control*/, DWORD /*type*/, LPVOID /*data*/, LPVOID /*context*/) { return NO_ERROR; }

void WINAPI ServiceMain(DWORD /*argc*/, LPSTR* /*argv*/) {
  Running& running = TheService();
  running.status = ::RegisterServiceCtrlHandlerExA(running.name, Control, nullptr);
  if (running.status == nullptr) return;
  Report(SERVICE_RUNNING, 0);
  Report(SERVICE_STOPPED, static_cast<DWORD>((*running.work)()));
}

}  // namespace

ServiceResult Win32Services::Refused() {
  const DWORD error = ::GetLastError();
  char* message = nullptr;
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  std::string text = length > 0 ? std::string(message, length) : std::string();
  if (message != nullptr) ::LocalFree(message);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return {ServiceChange::Refused, text_.FromAnsi(text) + L"(错误 " + IntText(error) + L")"};
}

ServiceResult Win32Services::Install(std::string_view name, std::string_view display, std::string_view description,
                                     std::string_view command, std::string_view dependsOn) {
  const UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager) return Refused();
  const std::string key(name);
  const std::string shown(display);
  const std::string path(command);
  // A list of names, each ended by a NUL, the list by another.
  std::string dependencies(dependsOn);
  dependencies.append(dependsOn.empty() ? 1 : 2, '\0');
  ServiceChange change = ServiceChange::Installed;
  UniqueService service(::CreateServiceA(manager.get(), key.c_str(), shown.c_str(), SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                         path.c_str(), nullptr, nullptr, dependencies.data(), nullptr, nullptr));
  if (!service && ::GetLastError() == ERROR_SERVICE_EXISTS) {
    service.reset(::OpenServiceA(manager.get(), key.c_str(), SERVICE_CHANGE_CONFIG));
    if (!service ||
        !::ChangeServiceConfigA(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                path.c_str(), nullptr, nullptr, dependencies.data(), nullptr, nullptr, shown.c_str())) {
      return Refused();
    }
    change = ServiceChange::Updated;
  }
  if (!service) return Refused();
  std::string words(description);
  SERVICE_DESCRIPTIONA about{words.data()};
  ::ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_DESCRIPTION, &about);
  return {change, L""};
}

ServiceResult Win32Services::Remove(std::string_view name) {
  const UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return Refused();
  const std::string key(name);
  const UniqueService service(::OpenServiceA(manager.get(), key.c_str(), SERVICE_STOP | DELETE));
  if (!service) {
    if (::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return {ServiceChange::Absent, L""};
    return Refused();
  }
  SERVICE_STATUS status{};
  ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);  // not running: nothing to stop
  if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) return Refused();
  return {ServiceChange::Removed, L""};
}

bool Win32Services::RunAsService(std::string_view name, const std::function<int()>& work) {
  std::string key(name);
  Running& running = TheService();
  running.name = key.c_str();
  running.work = &work;
  SERVICE_TABLE_ENTRYA table[] = {{key.data(), ServiceMain}, {nullptr, nullptr}};
  // Fails at once (ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) when a person started the process.
  return ::StartServiceCtrlDispatcherA(table) != FALSE;
}

}  // namespace vexa::win32
