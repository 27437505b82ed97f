// The behaviour of the main settings window "TFrmMain": every control's state, the load of the
// settings, OK, Cancel, closing and the page-change check. The Win32 view only mirrors it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "actions/cleanup.h"
#include "app/app_services.h"
#include "app/settings.h"
#include "platform/audio_mixer.h"
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
#include "schedule/timer_list.h"
#include "schedule/timer_page.h"
#include "schedule/timer_schedule.h"
#include "toolkit/controls.h"
#include "ui/global_hotkeys.h"
#include "ui/settings_pages.h"

namespace halcyra {

enum class MainPage { General, Hotkeys, Timer, Sound, Cleanup, Password, Log, About };
inline constexpr int kMainPageCount = 8;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// What the logic asks of the real window.
class MainFormHost : public TimerPageHost, public FiringHost {
 public:
  virtual ~MainFormHost() = default;
  virtual void HideWindow() = 0;
  // Brings the main window to the foreground and asks for the password in a modal prompt
  // owned by it; returns the prompt's answer.
  virtual bool ShowPasswordPrompt() = 0;
  // Shows the main window, brings it to the foreground and shows it once more.
  virtual void ShowWindowInFront() = 0;
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
  // Asks the window to close, as its close button does.
  virtual void CloseWindow() = 0;
  virtual void TerminateProcesses(const std::string& exeName) = 0;
  virtual std::string ExecutablePath() const = 0;
};

inline constexpr const char* kWebSiteAddress = "https://halcyra.org";
inline constexpr const char* kSupportAddress = "support@halcyra.org";
// Events of the notification icon's callback (the icon's fourth version): mouse messages and
// the shell's own notifications.
inline constexpr int kTrayDoubleClick = 0x0203;    // WM_LBUTTONDBLCLK
inline constexpr int kTrayContextMenu = 0x007B;    // WM_CONTEXTMENU
inline constexpr int kTrayKeySelect = 0x0401;      // NIN_KEYSELECT
inline constexpr int kTrayRightButtonUp = 0x0205;  // WM_RBUTTONUP
// The callbacks the icon gets: the fourth version's, or the first's on a shell that refused it.
enum class TrayVersion { kFourth, kFirst };

struct MainFormServices {
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

class TFrmMain final : public SettingsPages, public TimerPage, private ScheduleHost {
 public:
  TFrmMain(const MainFormServices& services, MainFormHost& host);

  // Page 8, About; Timer comes with TimerPage, the other pages with SettingsPages.
  Label Label17, LblWebSite, LblEmail;
  // Below the pages.
  Button BtnOK, BtnCancel, BtnHelp;

  static const char* PageCaption(MainPage page);

  MainPage ActivePage() const { return activePage_; }

  // The timers, the schedule's tick and the column the list is sorted by.
  TimerSchedule Schedule;
  int SortColumn = 0;
  // The six global hotkeys.
  GlobalHotkeys Hotkeys;
  // Set only by the notification menu's Exit and the end of the session; until then closing
  // the main window hides it.
  bool ExitRequested = false;
  // This process wrote the first-start record on an edition "Vista": OK stops the service and
  // leaves it stopped.
  bool FirstRunOnVista = false;

  // A pressed hotkey: the first slot whose id matches acts at once.
  void HandleHotkey(int id);

  // The password gate: yes without protection, else the prompt's answer.
  bool AskPasswordIfEnabled();
  void ShowMainWindowGuarded();
  void ChkSystemTrayClick();
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
  void BtnHelpClick() { OpenHelpFile(); }
  void LblWebSiteClick();
  void LblEmailClick();
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
  // they did change, the hotkeys, the pages and the timers follow them. Says whether they did.
  bool PoliciesChanged();
  void OpenHelpFile();
  // A message of HalcyraCmd.exe; the reply to send back.
  std::string OneOffCommand(std::string_view message);

  void FormCreate();
  // The window is about to be shown, however: the first show asks the mixer what the creation
  // left for it.
  void FormShow();
  // The window really closes: every wake-up timer is cancelled and closed, and a countdown
  // still open closes with the saved volume put back.
  void FormClose();
  void BtnOKClick();
  void BtnCancelClick();
  // Whether the window may really close; a refused close is a Cancel.
  bool FormCloseQuery();
  // Whether the shown page may be left.
  bool PageControlChanging();
  // A tab click: the page changes only when the shown page may be left.
  void ChangePage(MainPage page);
  // The next page (step 1) or the one before (step -1), round the end, as a tab click does.
  void StepPage(int step);
  // The page that the page control now shows, after PageControlChanging allowed it.
  void PageChanged(MainPage page) { activePage_ = page; }

 private:
  void LoadControls(bool atCreation);
  // The Sound page's part of the load: at creation, no mixer device switches the alarm off.
  void LoadSoundPage(const SoundSettings& sound, bool atCreation);
  bool RunChecks();
  void SaveSettings(SettingsFile& file);
  HotkeyTexts HotkeyFieldTexts();
  std::optional<TTimerRecord> TimerOfRow(const std::string& title) const override;
  void TimersDeleted() override { Schedule.ReloadTimers(); }
  void TimerWritten(const std::string& title, const std::string& value) override;
  void RemoveTimerRows(const std::string& title) override;
  void OpenCountdown(TFrmNotify& countdown) override { host_.OpenCountdown(countdown); }
  void SyncCountdown() override { host_.SyncCountdown(); }
  void HideCountdown() override { host_.HideCountdown(); }
  void CloseCountdown() override { host_.CloseCountdown(); }
  void Post(std::function<void()> action) override { host_.Post(std::move(action)); }
  void OneOffChanged() override;
  void TimersReloaded() override { FillTimerList(LvwTimer, Schedule.Timers, SortColumn); }
  void ActionOver() override;
  // Ends the program as Exit does, once the password was asked.
  void ExitNow();

  MainFormServices services_;
  MainFormHost& host_;
  MainPage activePage_ = MainPage::Timer;
  // While the password prompt is open, the icon, its menu and show requests ask for nothing.
  bool promptOpen_ = false;
  // Whether the tick ran when Windows asked whether the session may end.
  bool tickBeforeQuery_ = false;
  // Exit was chosen while an action was under way.
  bool exitAfterAction_ = false;
  // The creation's mixer steps wait for the first show (FormShow): nobody sees the Sound page
  // before, and opening the audio device costs the tray program a device thread for good. The
  // volume's step too when the file has none.
  bool soundDevicePending_ = false;
  bool volumeFromMixer_ = false;
};

}  // namespace halcyra
