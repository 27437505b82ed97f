// Drives a running Halcyra from the outside, through window messages only: starts the
// end-to-end build, finds its windows by class and title, reads texts and states, clicks
// buttons and answers message boxes. It touches no process it did not start.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace halcyra::e2e {

using namespace std::chrono_literals;
inline constexpr auto kWindowTimeout = 10s;

// A started program; ended at destruction if it still runs.
class AppProcess {
 public:
  // Starts the program next to the test executable, "Halcyra-e2e.exe" by default.
  explicit AppProcess(const std::string& exeName = "Halcyra-e2e.exe",
                      const std::string& arguments = "");
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const;
  // The exit code once the process has ended within the timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kWindowTimeout) const;
  void Terminate();
  static std::string ExePath(const std::string& exeName);

 private:
  PROCESS_INFORMATION info_{};
};

// Polls the condition until it holds or the timeout passes; says whether it held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kWindowTimeout);
// Returns once the window's thread has handled what was sent or posted to it before and is back
// in a message loop (its own or a modal one): two round trips of WM_NULL.
void Settle(HWND window);
// Sends a message and returns when the window has handled it.
LRESULT SendAndWait(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// What HalcyraCmd-e2e.exe printed and its exit code.
struct CmdResult {
  DWORD code = 0xFFFFFFFF;
  std::string out, err;
};
// Runs HalcyraCmd-e2e.exe with the arguments, up to a minute.
CmdResult Cmd(const std::string& arguments);

// Runs a command line and returns its exit code once it has ended (waiting up to the timeout).
DWORD RunCommand(const std::string& commandLine,
                 std::chrono::milliseconds timeout = std::chrono::minutes(2));

// The companion service's state and process id, through the service manager; nullopt when it
// is not installed.
struct CompanionServiceState {
  DWORD state = 0;
  DWORD processId = 0;
};
std::optional<CompanionServiceState> QueryCompanionService();

// Presses keys on the test run's X display through the host's xdotool, as a user would
// ("ctrl+alt+u"), and waits until they have arrived.
void PressKeys(const std::string& keys);

// Moves the pointer of the test run's X display to that point of the screen.
void MovePointer(int x, int y);

// The control of the window's thread that has the keyboard focus (nullptr when none has).
HWND FocusedControl(HWND window);
// Presses a key (xdotool's name, "Tab", "shift+Tab") that many times and returns the control
// that had the focus after each press.
std::vector<HWND> FocusWalk(HWND window, const std::string& key, int count);

// Clicks the middle of a control with the mouse of the test run's X display, as a user would:
// unlike a click message, it reaches only a window that takes input.
void ClickWithMouse(HWND control);

// Finds the main window of a started program and shows it the way a second start of the
// program does, answering the password prompt with the password when one appears; nullptr
// when there is no window or it does not show.
HWND ShowMainWindow(const AppProcess& app, const std::string& password = "");

// How many times the end-to-end build's schedule has ticked on its main window; a test waits
// for a few more before it checks that something did not happen.
unsigned long ScheduleTicks(HWND main);
// Waits until the schedule has ticked that many times more; says whether it did.
bool WaitForTicks(HWND main, unsigned long ticks,
                  std::chrono::milliseconds timeout = kWindowTimeout);

// A top-level window of the process with that class and title, waiting up to the timeout.
HWND FindWindowOf(const AppProcess& app, const std::string& className, const std::string& title,
                  std::chrono::milliseconds timeout = kWindowTimeout);
// The shown top-level windows of the process of that class ("#32770": its message boxes).
int CountWindows(const AppProcess& app, const char* className);
// A shown message box ("#32770") of the process, waiting up to the timeout.
HWND FindMessageBox(const AppProcess& app, std::chrono::milliseconds timeout = kWindowTimeout);
// Waits until the window is visible (or hidden) and says whether it got there.
bool WaitVisible(HWND window, bool visible, std::chrono::milliseconds timeout = kWindowTimeout);

std::string WindowText(HWND window);
// The text in full, for what the code page this driver reads in cannot hold.
std::wstring WideWindowText(HWND window);
std::string MessageBoxText(HWND box);
// What a message box said.
struct BoxSaid {
  std::string caption;
  std::string text;
  bool operator==(const BoxSaid&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const BoxSaid& box) {
    return out << '"' << box.caption << "\": \"" << box.text << '"';
  }
};
// Waits for a message box of the process, reads it, answers it with that button and waits
// until it is gone; an empty caption and text when none came.
BoxSaid AnswerMessageBox(const AppProcess& app, int button);
// Clicks a button of a dialog or message box by its id (IDOK, IDYES, ...).
void ClickDialogButton(HWND dialog, int id);
bool IsChecked(HWND button);

// A control of a window by its id.
HWND Control(HWND window, int id);
void SetText(HWND control, const std::string& text);
void SetWideText(HWND control, const std::wstring& text);
// Shows a page of a tab control the way the arrow keys do, so that the window is asked
// whether the shown page may be left; returns the page shown afterwards.
int SelectTab(HWND tabControl, int index);
int SelectedTab(HWND tabControl);
// Saves what the screen shows of the window, or of a rectangle of it, as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);
bool SaveScreenBitmap(const RECT& area, const std::string& path);

// Tells a window that it is now on a monitor of that DPI, as Windows does when it moves there;
// the frame Windows would suggest is the one it has.
void SendDpiChanged(HWND window, int dpi);

// Chooses an item of a drop-down list as a user does, so that its window hears of it.
void SelectComboItem(HWND dialog, int id, int index);
// The rows of a report list of another process: caption and sub-item texts.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);
// Selects one row of such a list (and no other).
void SelectListRow(HWND list, int row);

// The local time's "hh:mm", taken early enough in a minute (waiting for the next one after its
// 40th second) that the minute cannot end under a test of a timer due now.
std::string ThisMinute();

// The shared data folder of the prefix and files in it.
std::string DataFolder();
std::string DataFile(const std::string& name);
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& content);
void RemoveFile(const std::string& path);
bool FileExists(const std::string& path);

// Holds a file open with no sharing, so that the program's writes to it are refused.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace halcyra::e2e
