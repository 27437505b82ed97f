// The program behind the notification icon: the timers and their tick, the six hotkeys, the
// icon and its menu, HalcyraCmd's requests and the end of the session. It lives from the start
// to the end of Halcyra.exe; the settings window only shows and changes what it holds.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/app_services.h"
#include "app/settings.h"
#include "platform/audio_mixer.h"
#include "platform/cleanup_tasks.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/hotkey_registry.h"
#include "platform/process_waits.h"
#include "platform/service_control.h"
#include "platform/shell.h"
#include "platform/shutdown_privilege.h"
#include "platform/sleep_support.h"
#include "platform/sound_player.h"
#include "platform/system_load.h"
#include "platform/text_files.h"
#include "platform/wake_timers.h"
#include "schedule/clock_guard.h"
#include "schedule/timer_schedule.h"
#include "ui/global_hotkeys.h"

namespace halcyra {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Events of the notification icon's callback (the icon's fourth version): mouse messages and
// the shell's own notifications.
inline constexpr int kTrayDoubleClick = 0x0203;    // WM_LBUTTONDBLCLK
inline constexpr int kTrayContextMenu = 0x007B;    // WM_CONTEXTMENU
inline constexpr int kTrayKeySelect = 0x0401;      // NIN_KEYSELECT
inline constexpr int kTrayRightButtonUp = 0x0205;  // WM_RBUTTONUP
// The callbacks the icon gets: the fourth version's, or the first's on a shell that refused it.
enum class TrayVersion { kFourth, kFirst };

struct ProgramServices {
  const AppServices& app;
  const Clock& clock;
  AudioMixer& mixer;
  ClockGuard& clockGuard;
  WakeTimers& wakeTimers;
  MachineControl& machine;
  SoundPlayer& player;
  FileDialogs& dialogs;
  TextFiles& files;
  Shell& shell;
  HotkeyRegistry& hotkeys;
  CleanupTasks& cleanup;
  ShutdownPrivilege& privilege;
  ServiceControl& service;
  SleepSupport& sleep;
  ProcessWaits& processes;
  const InputIdle& idle;
  SystemLoad& load;
};

// What the program asks of Windows: its windows, the icon, the end of the process.
class TrayProgramHost : public FiringHost {
 public:
  // Asks for the password in a modal prompt owned by the settings window, brought to the
  // foreground; returns the prompt's answer.
  virtual bool ShowPasswordPrompt() = 0;
  // Shows the settings window, brings it to the foreground and shows it once more.
  virtual void ShowWindowInFront() = 0;
  virtual void HideWindow() = 0;
  // Adds or removes the notification-area icon; the result is not looked at.
  virtual void SetTrayIcon(bool present) = 0;
  // Opens the icon's menu at the point the shell anchors it to.
  virtual void ShowTrayMenu(ScreenPoint anchor) = 0;
  // The icon's tip, kept for when the icon is shown.
  virtual void SetTrayTip(const std::string& tip) = 0;
  // A notification from the icon (a balloon, without sound) with that text.
  virtual void ShowTrayBalloon(const std::string& text) = 0;
  // Opens the one-off action window, or brings it to the front when it is open.
  virtual void ShowOnceWindow() = 0;
  // Asks the settings window to close, as its close button does.
  virtual void CloseWindow() = 0;
  virtual void TerminateProcesses(const std::string& exeName) = 0;
  virtual std::string ExecutablePath() const = 0;
};

// What the settings window shows of the program, told when it changes.
class ProgramView {
 public:
  virtual ~ProgramView() = default;
  // The timers were read again: the list shows them anew.
  virtual void TimersReloaded() = 0;
  // A once-only timer's rows leave the list the moment it fires.
  virtual void RemoveTimerRows(const std::string& title) = 0;
  // The icon was hidden from its own menu.
  virtual void TrayIconHidden() = 0;
  // The organisation's policies changed.
  virtual void PoliciesChanged(const Policies& policies) = 0;
};

class TrayProgram final : private ScheduleHost {
 public:
  TrayProgram(const ProgramServices& services, TrayProgramHost& host);

  // The timers, the schedule's tick and the column the list is sorted by.
  TimerSchedule Schedule;
  // The six global hotkeys.
  GlobalHotkeys Hotkeys;
  // Set only by the notification menu's Exit and the end of the session; until then closing
  // the settings window hides it.
  bool ExitRequested = false;

  // The settings window, told what changes; none before it is made.
  void SetView(ProgramView* view) { view_ = view; }

  // The start: the icon, the clock guard, the hotkeys and the timers as the file says.
  void Start();
  // The end: every wake-up timer is cancelled, the hotkeys and the icon go.
  void End();

  // Whether the icon is in the notification area; shown or removed at once.
  bool TrayIconShown() const { return trayIcon_; }
  void ShowTrayIcon(bool shown);

  // A pressed hotkey: the first slot whose id matches acts at once.
  void HandleHotkey(int id);

  // The password gate: yes without protection, else the prompt's answer.
  bool AskPasswordIfEnabled();
  void ShowMainWindowGuarded();
  // An event of the icon; the anchor is the screen point the shell gives with it (in the first
  // version, which gives none, the pointer's).
  void HandleTrayMessage(int event, ScreenPoint anchor = {},
                         TrayVersion version = TrayVersion::kFourth);
  void MmuMainWindowClick() { ShowMainWindowGuarded(); }
  // "One-off action...": guarded by the password as the main window is.
  void MnuOnceClick();
  void MnuHideClick();
  void MnuHelpClick() { OpenHelpFile(); }
  // Exit during a countdown or an action: the action comes first, then the program ends if it
  // still runs.
  void MnuExitClick();
  // Windows asks whether the session may end: always yes, after stopping the schedule.
  // `onlyThisProgram`: an installer closes this program alone (ENDSESSION_CLOSEAPP).
  bool HandleQueryEndSession(bool onlyThisProgram = false);
  // The answer to the question: the session ends (the program ends as Exit does, without the
  // password), or it goes on after all (another program or the user said no) and the schedule
  // runs again as it did before the question.
  void HandleEndSession(bool ending);
  // The clock, the time zone or daylight-saving time changed somewhere in the system: the
  // guard and the timers look at once, and the schedule's next tick is measured anew.
  // Each says whether the schedule looked.
  bool TimeSettingsChanged() {
    services_.clockGuard.TimeSettingsChanged(services_.clock);
    return Schedule.LookNow();
  }
  // The computer came back from sleep or hibernation, maybe woken for a timer due now.
  bool Resumed() { return Schedule.LookNow(); }
  // Windows says the organisation's policies may have changed: they are read again and, when
  // they did change, the hotkeys, the settings window and the timers follow them. Says whether
  // they did.
  bool PoliciesChanged();
  void OpenHelpFile();
  // A message of HalcyraCmd.exe; the reply to send back.
  std::string OneOffCommand(std::string_view message);

 private:
  void RemoveTimerRows(const std::string& title) override;
  void OneOffChanged() override;
  void TimersReloaded() override;
  void ActionOver() override;
  // Ends the program as Exit does, once the password was asked.
  void ExitNow();

  ProgramServices services_;
  TrayProgramHost& host_;
  ProgramView* view_ = nullptr;
  bool trayIcon_ = false;
  // While the password prompt is open, the icon, its menu and show requests ask for nothing.
  bool promptOpen_ = false;
  // Whether the tick ran when Windows asked whether the session may end.
  bool tickBeforeQuery_ = false;
  // Exit was chosen while an action was under way.
  bool exitAfterAction_ = false;
};

}  // namespace halcyra
