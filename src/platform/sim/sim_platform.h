// The simulated Windows: every service of the platform, recorded so tests can read what happened.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"

namespace vexa::sim {

struct ShownBox {
  std::wstring text;
  std::optional<std::wstring> title;
  MsgButtons buttons;
  MsgIcon icon;
  // The title the box would show on screen.
  std::wstring ShownTitle() const { return title ? *title : std::wstring(kApplicationTitle); }
};

// Records every box; answers from a script, then OK for OK boxes, No for Yes/No and Cancel for Retry/Cancel.
class SimMessageBoxes : public MessageBoxes {
 public:
  MsgAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MsgButtons buttons,
                 MsgIcon icon) override;
  void Answer(MsgAnswer answer) { script_.push_back(answer); }
  const std::vector<ShownBox>& Shown() const { return shown_; }
  void Clear() { shown_.clear(); }
  // Called while a box is shown: a test looks at what else holds while a person reads it.
  std::function<void()> onShow;

 private:
  std::deque<MsgAnswer> script_;
  std::vector<ShownBox> shown_;
};

// Records the token and restart calls with their arguments, one text per call.
class SimRestart : public Restart {
 public:
  std::uintptr_t GetCurrentProcess() override;
  bool OpenProcessToken(std::uintptr_t process, std::uint32_t access, std::uintptr_t* token) override;
  bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
  bool AdjustTokenPrivileges(std::uintptr_t token, bool disableAll, const PrivilegeRecord* newState,
                             std::uint32_t bufferLength, PrivilegeRecord* previousState,
                             std::uint32_t* returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  bool CloseHandle(std::uintptr_t handle) override;

  std::vector<std::string> calls;
  // Called as the restart is requested: a test looks at what is on the disk by then.
  std::function<void()> onExitWindows;
  bool tokenFails = false;
  bool exitFails = false;
  PrivilegeRecord lastNewState{};
};

class SimSystem : public System {
 public:
  bool StartProgram(const char* applicationPath, const char* commandLine, std::uint32_t showWindow) override;
  std::string WindowsDirectory() override { return windowsDirectory; }
  std::string ModuleDirectory() override { return moduleDirectory; }
  std::string ModulePath() override { return moduleDirectory + "\\VexaIpSet.exe"; }
  LocalTime Now() override { return now; }
  std::string MachineSid() override { return machineSid; }
  // A counter's bytes, never the same twice in one test: what a new MachineGuid is made of here.
  bool RandomBytes(std::uint8_t* buffer, std::uint32_t size) override {
    if (randomFails) return false;
    for (std::uint32_t i = 0; i < size; ++i) buffer[i] = static_cast<std::uint8_t>(++randomDrawn * 37 + i);
    return true;
  }
  std::uint64_t MillisecondsSinceBoot() override { return sinceBoot; }
  void Sleep(std::uint32_t milliseconds) override {
    sinceBoot += milliseconds;
    slept += milliseconds;
    pauses.push_back(milliseconds);
    if (onSleep) onSleep();
  }
  std::uint32_t ProcessId() override { return processId; }
  // %NAME% replaced from environment (case-insensitive); an unknown one is left as it stands, as Windows does.
  std::string ExpandEnvironment(const char* text) override;

  struct Started {
    std::string application;
    std::string commandLine;
    std::uint32_t show;
  };
  std::vector<Started> started;
  std::string windowsDirectory = "C:\\windows";
  std::string moduleDirectory = "C:\\VexaIpSet";
  std::string machineSid;  // none known unless a test gives one
  std::map<std::string, std::string> environment{{"SYSTEMDRIVE", "C:"}, {"SYSTEMROOT", "C:\\windows"}};
  bool randomFails = false;
  std::uint32_t randomDrawn = 0;
  LocalTime now{2026, 12, 8, 9, 30, 5};
  std::uint64_t sinceBoot = 600000;  // booted ten minutes before now
  std::uint64_t slept = 0;
  std::vector<std::uint32_t> pauses;
  std::uint32_t processId = 4242;
  // Called after each pause: a test lets another program go meanwhile.
  std::function<void()> onSleep;
};

// The adapters a test gives the machine; how often the list was asked for.
class SimAdapters : public Adapters {
 public:
  std::optional<std::vector<AdapterAddress>> GetAdaptersAddresses(AdapterDetail detail) override {
    ++asked;
    if (fails) return std::nullopt;
    std::vector<AdapterAddress> answer = list;
    if (detail == AdapterDetail::Hardware) {
      for (AdapterAddress& adapter : answer) adapter.ipv4.clear();
    }
    return answer;
  }
  void Add(const std::string& name, const std::string& physical) { list.push_back(AdapterAddress{name, physical}); }

  std::vector<AdapterAddress> list;
  bool fails = false;
  int asked = 0;
};

// Records what is written; a test says whether there is a console to attach to.
class SimConsole : public Console {
 public:
  bool Attach() override {
    attached = present;
    return present;
  }
  void Write(std::string_view bytes) override {
    if (attached) output += bytes;
    if (onWrite) onWrite();
  }
  void StopOnCtrlC() override { catching = true; }
  bool Interrupted() override { return catching && pressed; }

  bool present = true;
  bool attached = false;
  std::string output;  // ANSI bytes
  bool catching = false;
  bool pressed = false;           // a test's Ctrl-C
  std::function<void()> onWrite;  // after each write: a test presses Ctrl-C, or looks at the time
};

// Records every datagram with the fake clock's time it was sent at.
class SimNetwork : public Network {
 public:
  explicit SimNetwork(SimSystem& system) : system_(system) {}
  struct Sent {
    std::string from, to;
    std::uint16_t port = 0;
    std::string bytes;
    std::uint64_t at = 0;  // MillisecondsSinceBoot when sent
  };
  bool SendUdp(std::string_view from, std::string_view to, std::uint16_t port, std::string_view bytes) override {
    if (fails) return false;
    sent.push_back(Sent{std::string(from), std::string(to), port, std::string(bytes), system_.sinceBoot});
    return true;
  }

  std::vector<Sent> sent;
  bool fails = false;

 private:
  SimSystem& system_;
};

// The service control manager's table: each service by name with what it was given; whether this process
// was started as a service.
class SimServices : public Services {
 public:
  struct Service {
    std::string display, description, command, dependsOn;
  };
  ServiceResult Install(std::string_view name, std::string_view display, std::string_view description,
                        std::string_view command, std::string_view dependsOn) override {
    if (!refusal.empty()) return {ServiceChange::Refused, refusal};
    const bool had = installed.count(std::string(name)) > 0;
    installed[std::string(name)] =
        Service{std::string(display), std::string(description), std::string(command), std::string(dependsOn)};
    return {had ? ServiceChange::Updated : ServiceChange::Installed, L""};
  }
  ServiceResult Remove(std::string_view name) override {
    if (!refusal.empty()) return {ServiceChange::Refused, refusal};
    return {installed.erase(std::string(name)) > 0 ? ServiceChange::Removed : ServiceChange::Absent, L""};
  }
  bool RunAsService(std::string_view name, const std::function<int()>& work) override {
    if (!startedAs || *startedAs != name) return false;
    exitCode = work();
    return true;
  }

  std::map<std::string, Service> installed;
  std::wstring refusal;                  // non-empty: every change refused with these words
  std::optional<std::string> startedAs;  // the service the manager started this process as
  std::optional<int> exitCode;           // what the service reported when it stopped
};

// All sim services in one object; platform() hands them out as the logic expects them.
class SimPlatform {
 public:
  // The program's folder and Windows' exist, as on any machine the tool runs on.
  SimPlatform() : profile(text, files), network(system) {
    files.AddFolder(system.moduleDirectory);
    files.AddFolder(system.windowsDirectory);
  }
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  Platform platform() {
    return Platform{registry, profile, messages, restart, system, text, files, adapters, console, network, services};
  }

  // The config.ini the tool reads, given as text (stored in GBK) or as raw bytes.
  void PutConfig(const std::wstring& content);
  void PutConfigBytes(const std::string& bytes);
  std::string ConfigPath() const { return system.moduleDirectory + "\\config.ini"; }

  SimText text;
  SimFiles files;
  SimRegistry registry;
  SimProfile profile;
  SimMessageBoxes messages;
  SimRestart restart;
  SimSystem system;
  SimAdapters adapters;
  SimConsole console;
  SimNetwork network;  // after system, whose clock it reads
  SimServices services;
};

}  // namespace vexa::sim
