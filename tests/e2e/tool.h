// Drives the real VexaIpSet.exe the way an automation script would: finds its window by caption and its
// controls by class and position, reads them, types, chooses, clicks, and reads and answers its message
// boxes. Every wait has a timeout.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/window.h"

namespace vexa::e2e {

enum class IconSeen { None, Information, Exclamation, Critical, Unknown };

struct Box {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;
  IconSeen icon = IconSeen::Unknown;
  std::vector<std::wstring> buttons;
};

// Polls until pred is true or the time is up.
template <typename Pred>
bool WaitFor(Pred pred, DWORD milliseconds = 8000) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  while (!pred()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

class Tool {
 public:
  // Starts the executable in its folder and waits for its main window; show, when given, is the
  // show-window value the program is started with.
  explicit Tool(const std::wstring& exePath, int show = -1);
  ~Tool();
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;

  bool Started() const { return main_ != nullptr; }
  // Why the main window did not appear (the start failed, the process ended, or the time ran out).
  const std::wstring& WhyNotStarted() const { return whyNot_; }
  HWND Main() const { return main_; }
  int Dpi() const { return dpi_; }
  bool Running() const;
  // Waits for the process to end; its exit code, or -1 on timeout.
  int WaitExit(DWORD milliseconds = 8000);

  // A control of the control table, found by class and position.
  HWND Find(ControlId id);
  std::wstring Text(ControlId id);
  bool Visible(ControlId id);
  bool Enabled(ControlId id);
  bool Focused(ControlId id);
  std::vector<std::wstring> ComboItems();
  std::wstring ComboShown();
  RECT ClientRectOf(ControlId id);
  SIZE ClientSize() const;

  void Type(ControlId id, const std::wstring& text);  // WM_CHAR per character, as the keyboard sends them
  void Key(ControlId id, UINT virtualKey);            // WM_KEYDOWN / WM_KEYUP
  void Click(ControlId id);
  void PasteWithCtrlV(ControlId id, const std::wstring& clipboard);
  void SendPaste(ControlId id, const std::wstring& clipboard);
  // Lets the tool handle what was posted.
  void Settle();

  // The tool's visible message box, waited for.
  bool WaitBox(Box& box, DWORD milliseconds = 8000);
  bool NoBox(DWORD milliseconds = 300);
  void Answer(const Box& box, int buttonId);

 private:
  const ControlDesc& Desc(ControlId id) const;
  IconSeen ReadIcon(HWND box);

  PROCESS_INFORMATION process_{};
  DWORD processId_ = 0;
  HWND main_ = nullptr;
  int dpi_ = 96;
  std::map<ControlId, HWND> found_;
  std::wstring whyNot_;
};

// Sets the clipboard to text (CF_UNICODETEXT; Windows provides CF_TEXT from it).
void SetClipboard(const std::wstring& text);

// A run of the tool without a window: started in its folder, its console output (ANSI bytes) going to
// outputPath when one is given.
HANDLE StartRun(const std::wstring& exe, const std::wstring& arguments, const std::wstring& outputPath = L"");
// Waits for a started run and closes its handle: its exit code, or -1 when it did not end in time.
int FinishRun(HANDLE process, DWORD milliseconds = 20000);
// Starts the tool and waits for its exit code (-1 on timeout, -2 when it could not be started).
int RunTool(const std::wstring& exe, const std::wstring& arguments);
// The same, its console output (ANSI bytes) into output: through a file of its own each run, beside the
// tool, so that no run reads an earlier run's output.
int RunWithOutput(const std::wstring& exe, const std::wstring& arguments, std::string& output,
                  DWORD milliseconds = 20000);

// The screen's rectangle of window (its frame included) saved as NAME.bmp in the folder VEXA_E2E_SHOTS
// names, for a person to look at what the tool showed; nothing when the variable is not set.
void SaveShot(HWND window, const std::wstring& name);

// A whole file's bytes; empty when it cannot be read. Opened sharing everything, as a log viewer would.
std::string ReadFileBytes(const std::wstring& path);
// bytes at the end of the file, made when missing (a line of the log as an earlier run left it).
void AppendFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace vexa::e2e
