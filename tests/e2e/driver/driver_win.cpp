#include "driver/driver_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "ui/password_prompt_ids.h"

namespace halcyra::e2e {
namespace {

struct Search {
  DWORD pid;
  std::string className;
  std::optional<std::string> title;
  bool visibleOnly;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid) return TRUE;
  char className[256] = {};
  GetClassNameA(window, className, sizeof className);
  if (search->className != className) return TRUE;
  if (search->title && WindowText(window) != *search->title) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(Search search, std::chrono::milliseconds timeout) {
  WaitUntil(
      [&] {
        EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  constexpr auto kPoll = 20ms;
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(kPoll);
  }
}

namespace {

// Runs the host's xdotool on the test run's display and waits for what it sent to arrive: it
// runs beside Wine's process handle, so its end says little about the program's input.
void RunXdotool(const std::string& arguments, std::chrono::milliseconds arrival) {
  RunCommand("/usr/bin/xdotool " + arguments, 5s);
  std::this_thread::sleep_for(arrival);
}

}  // namespace

namespace {

std::string Drain(HANDLE pipe) {
  std::string text;
  char buffer[512];
  DWORD read = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  return text;
}

}  // namespace

CmdResult Cmd(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  CreatePipe(&outRead, &outWrite, &inherit, 0);
  CreatePipe(&errRead, &errWrite, &inherit, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" " + arguments;
  CmdResult result;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info)) {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    result.out = Drain(outRead);
    result.err = Drain(errRead);
    WaitForSingleObject(info.hProcess, 60000);
    GetExitCodeProcess(info.hProcess, &result.code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  } else {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}

DWORD RunCommand(const std::string& commandLine, std::chrono::milliseconds timeout) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return GetLastError();
  // Wine starts a program of the host (xdotool) without a process handle and leaves the
  // thread's field undefined: closing that value closed whatever handle of this process had
  // it (once the cached key of HKEY_CURRENT_USER).
  if (!info.hProcess) return 0;
  WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count()));
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}

std::optional<CompanionServiceState> QueryCompanionService() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return std::nullopt;
  SC_HANDLE service = OpenServiceA(manager, "Halcyra_Service", SERVICE_QUERY_STATUS);
  std::optional<CompanionServiceState> result;
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                      reinterpret_cast<BYTE*>(&status), sizeof status, &needed))
    result = CompanionServiceState{status.dwCurrentState, status.dwProcessId};
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

void MovePointer(int x, int y) {
  RunXdotool("mousemove " + std::to_string(x) + " " + std::to_string(y), 300ms);
}

void PressKeys(const std::string& keys) { RunXdotool("key --delay 50 " + keys, 700ms); }

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<HWND> FocusWalk(HWND window, const std::string& key, int count) {
  std::vector<HWND> visited;
  for (int i = 0; i < count; ++i) {
    const HWND before = FocusedControl(window);
    RunXdotool("key " + key, 0ms);
    // A press that moves nothing shows as the same control after the wait.
    WaitUntil([&] { return FocusedControl(window) != before; }, 2s);
    Settle(window);
    visited.push_back(FocusedControl(window));
  }
  return visited;
}

void ClickWithMouse(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  // Wine's virtual desktop fills the display from its top left corner: its coordinates are the
  // display's.
  RunXdotool("mousemove --sync " + std::to_string((r.left + r.right) / 2) + " " +
                 std::to_string((r.top + r.bottom) / 2) + " click 1",
             300ms);
}

void Settle(HWND window) {
  // A thread handles the messages sent to it before it returns a posted one. The first round
  // trip comes back once the thread is at its message loop; a posted click waiting there is
  // returned right after it, and the second round trip, sent a moment later, is handled only
  // when that click's handler has returned to a message loop (its own or a modal one).
  SendAndWait(window, WM_NULL);
  std::this_thread::sleep_for(20ms);
  SendAndWait(window, WM_NULL);
}

LRESULT SendAndWait(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

std::string AppProcess::ExePath(const std::string& exeName) {
  if (exeName.find(':') != std::string::npos) return exeName;  // a full path already
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder(self);
  folder.resize(folder.find_last_of('\\') + 1);
  // The test programs live in build/windows/tests, the program in build/windows.
  for (const std::string& candidate : {folder + exeName, folder + "..\\" + exeName}) {
    if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    char full[MAX_PATH] = {};
    GetFullPathNameA(candidate.c_str(), MAX_PATH, full, nullptr);
    return full;
  }
  throw std::runtime_error("cannot find " + exeName);
}

AppProcess::AppProcess(const std::string& exeName, const std::string& arguments) {
  std::string commandLine = "\"" + ExePath(exeName) + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  const auto start = [&] {
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_) != FALSE;
  };
  // Wine has once refused a process creation in a prefix made minutes before (a fresh clone's
  // first run), with nothing of the program involved yet: one more try after a second, and the
  // codes in the message if that fails too.
  if (!start()) {
    const DWORD first = GetLastError();
    std::fprintf(stderr, "starting %s failed with error %lu; trying again\n", exeName.c_str(),
                 first);
    Sleep(1000);
    if (!start())
      throw std::runtime_error("cannot start " + exeName + " (errors " + std::to_string(first) +
                               ", " + std::to_string(GetLastError()) + ")");
  }
  WaitForInputIdle(info_.hProcess, 1000);
}

AppProcess::~AppProcess() {
  Terminate();
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool AppProcess::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> AppProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void AppProcess::Terminate() {
  if (info_.hProcess && Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

HWND FindWindowOf(const AppProcess& app, const std::string& className, const std::string& title,
                  std::chrono::milliseconds timeout) {
  return FindTopLevel({app.Id(), className, title, false}, timeout);
}

HWND ShowMainWindow(const AppProcess& app, const std::string& password) {
  HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
  if (!main) return nullptr;
  AppProcess second;
  const auto end = std::chrono::steady_clock::now() + kWindowTimeout;
  while (!second.WaitForExit(50ms) && std::chrono::steady_clock::now() < end) {
    // By its class: its title is in the user's language.
    if (HWND prompt = FindTopLevel({app.Id(), "TFrmPwd", std::nullopt, false}, 0ms);
        prompt && IsWindowVisible(prompt)) {
      SetText(GetDlgItem(prompt, password_ids::kEdtPwd), password);
      ClickDialogButton(prompt, IDOK);
      WaitVisible(prompt, false);
    }
  }
  return WaitVisible(main, true) ? main : nullptr;
}

int CountWindows(const AppProcess& app, const char* className) {
  struct Count {
    DWORD pid;
    const char* className;
    int found = 0;
  } count{app.Id(), className};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Count*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (pid == c->pid && std::string(name) == c->className && IsWindowVisible(window))
          ++c->found;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.found;
}

HWND FindMessageBox(const AppProcess& app, std::chrono::milliseconds timeout) {
  return FindTopLevel({app.Id(), "#32770", std::nullopt, true}, timeout);
}

bool WaitVisible(HWND window, bool visible, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return (IsWindowVisible(window) != FALSE) == visible; }, timeout);
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
  return text;
}

std::wstring WideWindowText(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
  return text;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

BoxSaid AnswerMessageBox(const AppProcess& app, int button) {
  const HWND box = FindMessageBox(app);
  if (!box) return {};
  BoxSaid said{WindowText(box), MessageBoxText(box)};
  ClickDialogButton(box, button);
  WaitVisible(box, false);
  return said;
}

unsigned long ScheduleTicks(HWND main) {
  return static_cast<unsigned long>(reinterpret_cast<INT_PTR>(GetPropA(main, "HalcyraE2E.Ticks")));
}

bool WaitForTicks(HWND main, unsigned long ticks, std::chrono::milliseconds timeout) {
  const unsigned long until = ScheduleTicks(main) + ticks;
  return WaitUntil([&] { return ScheduleTicks(main) >= until; }, timeout);
}

void ClickDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (!button) throw std::runtime_error("no button " + std::to_string(id));
  PostMessageA(button, BM_CLICK, 0, 0);
}

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

HWND Control(HWND window, int id) { return GetDlgItem(window, id); }

void SetText(HWND control, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

void SetWideText(HWND control, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

int SelectedTab(HWND tabControl) {
  DWORD_PTR selected = 0;
  SendMessageTimeoutA(tabControl, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selected);
  return static_cast<int>(selected);
}

int SelectTab(HWND tabControl, int index) {
  for (int guard = 0; guard < 16; ++guard) {
    const int current = SelectedTab(tabControl);
    if (current == index) break;
    const WPARAM key = current < index ? VK_RIGHT : VK_LEFT;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(tabControl, WM_KEYDOWN, key, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutA(tabControl, WM_KEYUP, key, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (SelectedTab(tabControl) == current) break;  // refused
  }
  return SelectedTab(tabControl);
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle(window);
  // The painted pixels reach the X display a moment after the window has painted them.
  std::this_thread::sleep_for(100ms);
  RECT r;
  return GetWindowRect(window, &r) && SaveScreenBitmap(r, path);
}

bool SaveScreenBitmap(const RECT& r, const std::string& path) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

void SelectComboItem(HWND dialog, int id, int index) {
  HWND combo = GetDlgItem(dialog, id);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo), SMTO_ABORTIFHUNG, 5000, &ignored);
}

namespace {

// A block of memory in the process that owns a window, for messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  char* Address() const { return static_cast<char*>(address_); }
  void Write(std::size_t offset, const void* data, std::size_t size) {
    WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t size) const {
    ReadProcessMemory(process_, Address() + offset, data, size, nullptr);
  }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

}  // namespace

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns) {
  std::vector<std::vector<std::string>> rows;
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  constexpr std::size_t kText = 512;
  RemoteBuffer remote(list, sizeof(LVITEMA) + kText);
  for (int row = 0; row < static_cast<int>(count); ++row) {
    std::vector<std::string> texts;
    for (int column = 0; column < columns; ++column) {
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = remote.Address() + sizeof(LVITEMA);
      item.cchTextMax = kText;
      remote.Write(0, &item, sizeof item);
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(remote.Address()), SMTO_ABORTIFHUNG, 5000,
                          &ignored);
      char text[kText] = {};
      remote.Read(sizeof(LVITEMA), text, kText - 1);
      texts.emplace_back(text);
    }
    rows.push_back(std::move(texts));
  }
  return rows;
}

void SendDpiChanged(HWND window, int dpi) {
  RECT frame{};
  GetWindowRect(window, &frame);
  RemoteBuffer remote(window, sizeof frame);
  remote.Write(0, &frame, sizeof frame);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                      reinterpret_cast<LPARAM>(remote.Address()), SMTO_ABORTIFHUNG, 5000, &ignored);
}

void SelectListRow(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(LVITEMA));
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.Write(0, &item, sizeof item);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote.Address()), SMTO_ABORTIFHUNG, 5000, &ignored);
}

std::string ThisMinute() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wSecond > 40) std::this_thread::sleep_for(std::chrono::seconds(61 - now.wSecond));
  GetLocalTime(&now);
  char text[8];
  std::snprintf(text, sizeof text, "%02u:%02u", now.wHour, now.wMinute);
  return text;
}

std::string DataFolder() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\Halcyra";
}

std::string DataFile(const std::string& name) { return DataFolder() + "\\" + name; }

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFileText(const std::string& path, const std::string& content) {
  CreateDirectoryA(DataFolder().c_str(), nullptr);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileLock::FileLock(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

FileLock::~FileLock() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

}  // namespace halcyra::e2e
