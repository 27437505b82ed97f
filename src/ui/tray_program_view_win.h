// The Win32 face of the tray program: the notification icon and its menu, HalcyraCmd's pipe,
// the schedule's tick, the countdown window, the watch of the settings file and the messages
// of the shell and of the session. Its icon, hotkeys and timers belong to the settings window's
// handle, as Windows knows the program by that window; the window hands it every message that
// is the program's.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "actions/countdown_window_win.h"
#include "app/paths.h"
#include "one_off/once_form.h"
#include "one_off/one_off_server_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "ui/tray_icon_win.h"
#include "ui/tray_menu_win.h"
#include "ui/tray_program.h"

namespace halcyra {

inline constexpr const char* kShowMainWindowMessageName = "QMV_ShowHCYMainWindow";

// What the program needs of the window whose handle it uses.
class ProgramWindow {
 public:
  virtual ~ProgramWindow() = default;
  virtual HWND Handle() const = 0;
  // Runs a handler of the logic and mirrors the state it leaves.
  virtual void RunHandler(const std::function<void()>& handler) = 0;
  // Makes the window visible and brings it to the front.
  virtual void ShowInFront() = 0;
  virtual void HideWindow() = 0;
};

class OnceWindow;

class TrayProgramView final : private TrayProgramHost, private OnceFormHost {
 public:
  TrayProgramView(const ProgramServices& services, ProgramWindow& window,
                  Win32HotkeyRegistry& hotkeys);
  ~TrayProgramView() override;
  TrayProgramView(const TrayProgramView&) = delete;
  TrayProgramView& operator=(const TrayProgramView&) = delete;

  TrayProgram& Logic() { return program_; }

  // Once the window exists: the hotkeys and the icon are its.
  void Attach();
  // Once the program started: HalcyraCmd's pipe; a name someone else took first goes to the
  // event log.
  void OpenOneOffChannel();
  // A message of the program's to the window; nullopt when it is not one, or the window's own
  // handling is to follow.
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The schedule's tick onto the window's timer, after every handler: whether it runs, and how
  // often.
  void SyncTick();
  // The icon at the notification area's DPI and colours; shown anew when the displays, a DPI or
  // the taskbar's colours changed.
  void RefreshTrayIcon();

  // The countdown window while one is open, for the dialog keys of the message loop.
  HWND CountdownHandle() const { return countdown_ ? countdown_->Handle() : nullptr; }
  // HalcyraCmd's channel, which the main loop waits on beside the messages: its event (null when
  // nothing is served), how long the loop may wait, and its turn once either is due.
  HANDLE OneOffEvent() const;
  DWORD OneOffWaitMs() const;
  void ServeOneOff();
  // The data folder, which the main loop also waits on: signalled when something in it changed
  // (null when it cannot be watched); then SettingsFolderChanged.
  HANDLE SettingsFolderEvent() const;
  void SettingsFolderChanged();
  // Asks, from any thread, for the schedule to look at once.
  void PostLookNow() const;
  // The main loop runs again: the modal loops that needed the pipe served on a timer are over.
  void MainLoopRuns();

 private:
  HWND Handle() const { return window_.Handle(); }
  void Run(const std::function<void()>& handler) { window_.RunHandler(handler); }
  void OpenCountdown(TFrmNotify& countdown) override;
  void SyncCountdown() override;
  void HideCountdown() override;
  void CloseCountdown() override { countdown_.reset(); }
  void Post(std::function<void()> action) override;
  void RunPosted();
  // The schedule looked out of turn (a clock set, a resume, a process ended): counted as a tick.
  void LookedNow(bool looked);
  // The timers are read again a second after the settings file's stamp changed.
  void CheckSettingsStamp();
  void OnTimer(WPARAM id);
  bool ShowPasswordPrompt() override;
  void ShowWindowInFront() override { window_.ShowInFront(); }
  void HideWindow() override { window_.HideWindow(); }
  void SetTrayIcon(bool present) override;
  void ShowTrayMenu(ScreenPoint anchor) override;
  void SetTrayTip(const std::string& tip) override;
  void ShowTrayBalloon(const std::string& text) override;
  void ShowOnceWindow() override;
  std::string OneOffCommand(std::string_view message) override;
  std::string PendingLine() const override;
  void OpenHelpPage(const std::string& page) override;
  void CloseWindow() override;
  void TerminateProcesses(const std::string& exeName) override;
  std::string ExecutablePath() const override;
  // The icon menu's commands; false for any other command.
  bool HandleMenuCommand(WPARAM wParam, LPARAM lParam);
  // The messages of the shell and of the session.
  std::optional<LRESULT> HandleSystemMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  const AppServices& app_;
  ProcessWaits& processes_;
  Shell& shell_;
  ProgramWindow& window_;
  Win32HotkeyRegistry& hotkeys_;
  TrayProgram program_;
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
  // The one-off action window while it is open: the menu brings it forward, never a second.
  OnceWindow* onceWindow_ = nullptr;
  // Writes of other sessions and of the service to the settings file: the stamp the file had
  // when the timers were last read on a change.
  std::optional<FolderChanges> dataFolder_{std::in_place, GetDataFolder(app_.os)};
  Win32FileStamps stamps_;
  std::optional<FileStamp> settingsStamp_ = stamps_.Stamp(GetSettingsPath(app_.os));
  // Last: it lets go of the pipe before the program it hands requests to goes.
  std::unique_ptr<OneOffServer> oneOff_;
};

}  // namespace halcyra
