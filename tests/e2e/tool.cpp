#include "e2e/tool.h"

#include <algorithm>

#include "app/controls.h"

namespace vexa::e2e {

namespace {

std::wstring WindowText(HWND hwnd) {
  const int length = static_cast<int>(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = {};
  ::GetClassNameW(hwnd, cls, 64);
  std::wstring name(cls);
  std::transform(name.begin(), name.end(), name.begin(), ::towlower);
  return name;
}

const wchar_t* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox: return L"edit";
    case ControlKind::ComboBox: return L"combobox";
    case ControlKind::Button:
    case ControlKind::Frame: return L"button";
    default: return L"static";
  }
}

// Starts exe in folder. On a busy machine Wine now and then fails a start; that is no run of the tool's, so a
// start is tried up to five times.
bool StartProcess(const std::wstring& exe, std::wstring line, const std::wstring& folder, STARTUPINFOW& startup,
                  bool inherit, PROCESS_INFORMATION& process) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0) ::Sleep(200);
    if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, inherit ? TRUE : FALSE, 0, nullptr, folder.c_str(),
                         &startup, &process)) {
      return true;
    }
  }
  return false;
}

// The visible top-level window of class cls (a name, or "#32770" for a message box) that process processId
// owns, or null.
HWND WindowOfProcess(const wchar_t* cls, DWORD processId) {
  for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, cls, nullptr); hwnd != nullptr;
       hwnd = ::FindWindowExW(nullptr, hwnd, cls, nullptr)) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == processId && ::IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

}  // namespace

void SetClipboard(const std::wstring& text) {
  for (int i = 0; i < 50 && !::OpenClipboard(nullptr); ++i) ::Sleep(20);
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* p = static_cast<wchar_t*>(::GlobalLock(memory));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_UNICODETEXT, memory);
  ::CloseClipboard();
}

Tool::Tool(const std::wstring& exePath, int show) {
  HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\'));
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (show >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
  }
  if (!StartProcess(exePath, commandLine, folder, startup, false, process_)) {
    whyNot_ = L"CreateProcess failed 5 times, last error " + std::to_wstring(::GetLastError());
    return;
  }
  processId_ = process_.dwProcessId;
  // The main window of this process: another run's window may still be on the desktop.
  const bool shown = WaitFor(
      [this] {
        main_ = WindowOfProcess(L"VexaIpSetMain", processId_);
        return main_ != nullptr || !Running();
      },
      20000);
  if (main_ == nullptr) {
    whyNot_ = shown ? L"ended with exit code " + std::to_wstring(WaitExit(0)) + L" before its window appeared"
                    : L"no main window within 20 s";
  }
  Settle();
}

Tool::~Tool() {
  if (process_.hProcess == nullptr) return;
  if (Running()) {
    ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 5000);
  }
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

bool Tool::Running() const {
  return process_.hProcess != nullptr && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

int Tool::WaitExit(DWORD milliseconds) {
  if (::WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

void Tool::Settle() {
  // A message sent with a timeout returns once the tool's thread has handled everything posted before it.
  DWORD_PTR result = 0;
  if (main_ != nullptr) ::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result);
  ::Sleep(30);
}

const ControlDesc& Tool::Desc(ControlId id) const {
  for (const auto& d : frm::ControlTable()) {
    if (d.id == id) return d;
  }
  return frm::ControlTable().front();
}

RECT Tool::ClientRectOf(ControlId id) {
  RECT r{};
  HWND hwnd = Find(id);
  if (hwnd == nullptr) return r;
  ::GetWindowRect(hwnd, &r);
  ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE Tool::ClientSize() const {
  RECT r{};
  ::GetClientRect(main_, &r);
  return SIZE{r.right, r.bottom};
}

HWND Tool::Find(ControlId id) {
  auto cached = found_.find(id);
  if (cached != found_.end()) return cached->second;
  const ControlDesc& d = Desc(id);
  int left = d.left;
  int top = d.top;
  if (d.parent != kNoControl) {
    left += Desc(d.parent).left;
    top += Desc(d.parent).top;
  }
  const POINT want{MulDiv(left, dpi_, 1440), MulDiv(top, dpi_, 1440)};
  for (HWND child = ::GetWindow(main_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == want.x && r.top == want.y && ClassOf(child) == ClassFor(d.kind)) {
      found_[id] = child;
      return child;
    }
  }
  return nullptr;
}

std::wstring Tool::Text(ControlId id) {
  HWND hwnd = Find(id);
  return hwnd == nullptr ? L"<no control>" : WindowText(hwnd);
}

bool Tool::Visible(ControlId id) {
  HWND hwnd = Find(id);
  return hwnd != nullptr && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Tool::Enabled(ControlId id) {
  HWND hwnd = Find(id);
  return hwnd != nullptr && ::IsWindowEnabled(hwnd);
}

bool Tool::Focused(ControlId id) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(process_.dwThreadId, &info);
  return info.hwndFocus != nullptr && info.hwndFocus == Find(id);
}

std::vector<std::wstring> Tool::ComboItems() {
  HWND combo = Find(frm::cboInterface);
  std::vector<std::wstring> items;
  const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    items.push_back(item);
  }
  return items;
}

std::wstring Tool::ComboShown() {
  HWND combo = Find(frm::cboInterface);
  const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return L"";
  return ComboItems()[static_cast<std::size_t>(index)];
}

void Tool::Type(ControlId id, const std::wstring& text) {
  HWND hwnd = Find(id);
  for (wchar_t c : text) ::PostMessageW(hwnd, WM_CHAR, c, 1);
  Settle();
}

void Tool::Key(ControlId id, UINT virtualKey) {
  HWND hwnd = Find(id);
  const UINT scan = ::MapVirtualKeyW(virtualKey, 0);
  ::PostMessageW(hwnd, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  ::PostMessageW(hwnd, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
  Settle();
}

void Tool::Click(ControlId id) {
  HWND hwnd = Find(id);
  if (ClassOf(hwnd) == L"button") {
    ::PostMessageW(hwnd, BM_CLICK, 0, 0);
  } else {
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  Settle();
}

void Tool::PasteWithCtrlV(ControlId id, const std::wstring& clipboard) {
  SetClipboard(clipboard);
  ::PostMessageW(Find(id), WM_CHAR, 0x16, 1);
  Settle();
}

void Tool::SendPaste(ControlId id, const std::wstring& clipboard) {
  SetClipboard(clipboard);
  ::PostMessageW(Find(id), WM_PASTE, 0, 0);
  Settle();
}

// The icon as it shows on screen: blue for information, red for critical, yellow for the warning.
IconSeen Tool::ReadIcon(HWND box) {
  HWND icon = nullptr;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"static" && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
  }
  if (icon == nullptr || !::IsWindowVisible(icon)) return IconSeen::None;
  if (::SendMessageW(icon, STM_GETICON, 0, 0) == 0) return IconSeen::None;
  RECT r{};
  ::GetWindowRect(icon, &r);
  HDC screen = ::GetDC(nullptr);
  int blue = 0, red = 0, yellow = 0;
  for (int y = r.top; y < r.bottom; y += 2) {
    for (int x = r.left; x < r.right; x += 2) {
      COLORREF c = ::GetPixel(screen, x, y);
      const int R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
      if (B > 150 && R < 120) ++blue;
      if (R > 180 && G < 90 && B < 90) ++red;
      if (R > 180 && G > 150 && B < 90) ++yellow;
    }
  }
  ::ReleaseDC(nullptr, screen);
  if (red > blue && red > yellow) return IconSeen::Critical;
  if (yellow > blue && yellow > red) return IconSeen::Exclamation;
  if (blue > 0) return IconSeen::Information;
  return IconSeen::Unknown;
}

bool Tool::WaitBox(Box& box, DWORD milliseconds) {
  HWND found = nullptr;
  if (!WaitFor(
          [&] {
            found = WindowOfProcess(L"#32770", processId_);
            return found != nullptr;
          },
          milliseconds)) {
    return false;
  }
  box = Box{};
  box.hwnd = found;
  box.title = WindowText(found);
  box.text = WindowText(::GetDlgItem(found, 0xFFFF));
  // The icon is read from the screen: give a slow machine time to paint it.
  WaitFor([&] { return (box.icon = ReadIcon(found)) != IconSeen::Unknown; }, 3000);
  for (int id : {IDOK, IDYES, IDNO}) {
    HWND button = ::GetDlgItem(found, id);
    if (button != nullptr && ::IsWindowVisible(button)) box.buttons.push_back(WindowText(button));
  }
  return true;
}

bool Tool::NoBox(DWORD milliseconds) {
  Box box;
  return !WaitBox(box, milliseconds);
}

void Tool::Answer(const Box& box, int buttonId) {
  ::PostMessageW(::GetDlgItem(box.hwnd, buttonId), BM_CLICK, 0, 0);
  WaitFor([&] { return !::IsWindow(box.hwnd) || !::IsWindowVisible(box.hwnd); }, 5000);
  Settle();
}

HANDLE StartRun(const std::wstring& exe, const std::wstring& arguments, const std::wstring& outputPath) {
  std::wstring line = L"\"" + exe + L"\" " + arguments;
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!outputPath.empty()) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process{};
  const bool started = StartProcess(exe, line, folder, startup, output != INVALID_HANDLE_VALUE, process);
  if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
  if (!started) return nullptr;
  ::CloseHandle(process.hThread);
  return process.hProcess;
}

int FinishRun(HANDLE process, DWORD milliseconds) {
  if (process == nullptr) return -2;
  DWORD code = static_cast<DWORD>(-1);
  if (::WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
  ::CloseHandle(process);
  return static_cast<int>(code);
}

int RunTool(const std::wstring& exe, const std::wstring& arguments) { return FinishRun(StartRun(exe, arguments)); }

int RunWithOutput(const std::wstring& exe, const std::wstring& arguments, std::string& output, DWORD milliseconds) {
  static unsigned runs = 0;
  const std::wstring file =
      exe.substr(0, exe.find_last_of(L'\\')) + L"\\run-output-" + std::to_wstring(++runs) + L".txt";
  const int code = FinishRun(StartRun(exe, arguments, file), milliseconds);
  output = ReadFileBytes(file);
  ::DeleteFileW(file.c_str());
  return code;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  ::CloseHandle(file);
  return bytes;
}

void AppendFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

void SaveShot(HWND window, const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"VEXA_E2E_SHOTS", folder, MAX_PATH);
  RECT r{};
  if (length == 0 || length >= MAX_PATH || !::GetWindowRect(window, &r)) return;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD size = stride * static_cast<DWORD>(height);
  constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER head{0x4D42, kHeaders + size, 0, 0, kHeaders};  // "BM"
  const std::wstring path = std::wstring(folder) + L"\\" + name + L".bmp";
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, &head, sizeof head, &written, nullptr);
    ::WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    ::WriteFile(file, bits, size, &written, nullptr);
    ::CloseHandle(file);
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace vexa::e2e
