// The main window "TFrmMain" titled "Halcyra": the Win32 face of TFrmMain. It creates the
// real controls, forwards their events to the logic and mirrors the logic's state back onto
// them after every handler. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "actions/countdown_window_win.h"
#include "app/paths.h"
#include "one_off/once_form.h"
#include "one_off/one_off_server_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "toolkit/bound_window_win.h"
#include "ui/main_form.h"
#include "ui/page_background_win.h"
#include "ui/tray_icon_win.h"
#include "ui/tray_menu_win.h"

namespace halcyra {

inline constexpr const char* kMainWindowClass = "TFrmMain";
inline constexpr const char* kShowMainWindowMessageName = "QMV_ShowHCYMainWindow";

class ApplicationWindow final : public Window {
 public:
  ApplicationWindow();
};

class OnceWindow;

class MainWindow final : public BoundWindow, private MainFormHost, private OnceFormHost {
 public:
  // The hotkeys are registered for this window while it is created: the registry learns its
  // handle first.
  MainWindow(const MainFormServices& services, HWND owner, Win32HotkeyRegistry& hotkeys,
             bool firstRunOnVista);
  ~MainWindow() override;

  // Makes the window visible and brings it to the front.
  void ShowInFront();
  // The countdown window while one is open, for the dialog keys of the message loop.
  HWND CountdownHandle() const { return countdown_ ? countdown_->Handle() : nullptr; }
  // HalcyraCmd's channel, which the main loop waits on beside the messages: its event (null when
  // nothing is served), how long the loop may wait, and its turn once either is due.
  HANDLE OneOffEvent() const { return oneOff_ && Handle() ? oneOff_->Event() : nullptr; }
  DWORD OneOffWaitMs() const { return oneOff_ && Handle() ? oneOff_->WaitMs() : INFINITE; }
  void ServeOneOff();
  // The data folder, which the main loop also waits on: signalled when something in it changed
  // (null when it cannot be watched); then SettingsFolderChanged.
  HANDLE SettingsFolderEvent() const;
  void SettingsFolderChanged();
  // The timers are read again a second after the settings file's stamp changed.
  void CheckSettingsStamp();
  // Asks, from any thread, for the schedule to look at once.
  void PostLookNow() const;
  // The main loop runs again: the modal loops that needed the pipe served on a timer are over.
  void MainLoopRuns();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void HideWindow() override;
  void ShowTimerEditor(TFrmTimer& editor) override;
  void OpenCountdown(TFrmNotify& countdown) override;
  void SyncCountdown() override;
  void HideCountdown() override;
  void CloseCountdown() override { countdown_.reset(); }
  void Post(std::function<void()> action) override;
  void RunPosted();
  // The schedule looked out of turn (a clock set, a resume, a process ended): counted as a tick.
  void LookedNow(bool looked);
  // The schedule's tick onto the window's timer: whether it runs, and how often.
  void SyncTick();
  bool ShowPasswordPrompt() override;
  void ShowWindowInFront() override { ShowInFront(); }
  void SetTrayIcon(bool present) override;
  // The icon at the notification area's DPI and colours; shown anew when the displays, a DPI or
  // the taskbar's colours changed.
  void RefreshTrayIcon();
  void ShowTrayMenu(ScreenPoint anchor) override;
  void SetTrayTip(const std::string& tip) override;
  void ShowTrayBalloon(const std::string& text) override;
  void ShowOnceWindow() override;
  std::string OneOffCommand(std::string_view message) override;
  std::string PendingLine() const override;
  void OpenHelpPage(const std::string& page) override;
  // HalcyraCmd's pipe; a name someone else took first goes to the event log.
  void OpenOneOffChannel();
  // A request from the pipe, answered by the logic.
  std::string AnswerOneOffRequest(std::string_view request);
  void CloseWindow() override;
  void TerminateProcesses(const std::string& exeName) override;
  std::string ExecutablePath() const override;
  // The pages' controls come with the first show: a window that stays hidden in the
  // notification area needs none of them, nor the common controls' library they load.
  void CreateControlsOnce();
  void CreateControls();
  HWND FirstFocus() const override { return pageControl_; }
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp change the page, F1 is Help
  // (outside the hotkey fields).
  bool TranslateKey(const MSG& msg) override;
  void AddAboutPage();
  void SetTabPadding();
  // The title bar's and Alt+Tab's icons at the window's DPI.
  void SetTitleIcons();
  void DpiChanged() override;
  void Sync() override;
  // The close button, Exit and the end of the program: closes only when the logic allows it.
  void CloseClicked() override;
  void TrackBarMoved() override { form_.TckBarVolumeChange(); }
  // The messages of the shell and of other programs: show request, taskbar, hotkeys, icon.
  bool HandleProgramMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The icon menu's commands; false for any other command.
  bool HandleMenuCommand(WPARAM wParam, LPARAM lParam);
  LRESULT HandlePageControl(const NMHDR& header);

  const AppServices& app_;
  ProcessWaits& processes_;
  Shell& shell_;
  TFrmMain form_;
  // The firing's countdown window; it goes before the logic it shows.
  std::unique_ptr<CountdownWindow> countdown_;
  std::deque<std::function<void()>> posted_;
  bool timer1Running_ = false;
  // A modal loop announced itself (WM_ENTERIDLE) since the main loop last ran.
  bool modalServe_ = false;
  // When the tick is due, on the tick count; 0 once it came.
  ULONGLONG timer1Due_ = 0;
  UINT showMainWindowMsg_ = 0;
  UINT taskbarCreatedMsg_ = 0;
  TrayMenu popupMenu_{app_.policies.Current()};
  // The policies changed since the menu was made; how many of its loops run.
  bool menuStale_ = false;
  int menuLoops_ = 0;
  // Made with the window, which gets its callbacks.
  std::optional<TrayIcon> tray_;
  UniqueIcon smallIcon_, bigIcon_;
  PageBackground pageBackground_;
  HWND pageControl_ = nullptr;
  // The one-off action window while it is open: the menu brings it forward, never a second.
  OnceWindow* onceWindow_ = nullptr;
  // Writes of other sessions and of the service to the settings file: the stamp the file had
  // when the timers were last read on a change.
  std::optional<FolderChanges> dataFolder_{std::in_place, GetDataFolder(app_.os)};
  Win32FileStamps stamps_;
  std::optional<FileStamp> settingsStamp_ = stamps_.Stamp(GetSettingsPath(app_.os));
  // Last: it lets go of the pipe before anything it hands requests to goes.
  std::unique_ptr<OneOffServer> oneOff_;
};

}  // namespace halcyra
