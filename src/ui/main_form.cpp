#include "ui/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "actions/event_words.h"
#include "app/settings_keys.h"
#include "app/startup.h"
#include "core/text.h"
#include "one_off/one_off_commands.h"
#include "schedule/timer_list.h"
#include "ui/password_rules.h"
#include "ui/service_step.h"

namespace halcyra {

TFrmMain::TFrmMain(const MainFormServices& services, MainFormHost& host)
    : SettingsPages({services.app, services.mixer, services.player, services.dialogs,
                     services.files, services.shell}),
      TimerPage(services.app, host, DeleteCheck::Verified),
      Schedule({{services.app,
                 services.clock,
                 {services.mixer, services.player},
                 services.cleanup,
                 {services.app.os, services.files, services.app.regional},
                 {services.app.os, services.privilege, services.machine, services.app.boxes,
                  services.sleep},
                 services.sleep},
                services.clockGuard,
                services.machine,
                services.wakeTimers,
                services.idle},
               *this),
      Hotkeys(services.hotkeys, services.app.boxes),
      services_(services),
      host_(host) {
  Label17.caption = "Halcyra Version 6.7";
  LblWebSite.caption = std::string("WebSite: ") + kWebSiteAddress;
  LblEmail.caption = std::string("Support Email: ") + kSupportAddress;

  BtnOK.caption = "OK";
  BtnCancel.caption = "Cancel";
  BtnHelp.caption = "Help";

  // Attached after the design values, so that these set no chain in motion.
  ChkSystemTray.onClick = [this] { ChkSystemTrayClick(); };
}

const char* TFrmMain::PageCaption(MainPage page) {
  static constexpr std::array<const char*, kMainPageCount> kCaptions = {
      "General", kHotkeysSection, "Timer", "Sound", "Clean up", "Password", "Log", "About"};
  return kCaptions[static_cast<std::size_t>(page)];
}

void TFrmMain::FormCreate() {
  LocalTime unhandled = services_.clock.Now();
  unhandled.year = 0;
  Schedule.LastHandled = unhandled;
  ExitRequested = false;
  activePage_ = MainPage::Timer;
  LoadControls(true);
  SortColumn = kTimerSortColumn;
  SortTimerList(LvwTimer, SortColumn);
}

void TFrmMain::FormClose() {
  Schedule.ProgramEnds();
  Schedule.Timers.clear();
  Hotkeys.Release();
  host_.SetTrayIcon(false);
}

void TFrmMain::HandleHotkey(int id) {
  const auto slot = Hotkeys.SlotOf(id);
  if (!slot) return;
  const EventWord event = EventWord::Of(WordOf(kHotkeySlots[*slot].event));
  // An organisation that wants a countdown before every action gets one here too, with the
  // one-at-a-time rule of timers: a key pressed under a count or an action does nothing.
  if (services_.app.policies.Current().minimumCountdown > 0) {
    if (Schedule.Running() && !Schedule.Firing() && !Schedule.Acting())
      Schedule.FireTimer({"", event, false, {}});
    return;
  }
  Schedule.RunImmediateAction(event);
}

bool TFrmMain::PoliciesChanged() {
  const bool hotkeysBefore = !services_.app.policies.Current().disableHotkeys;
  if (!services_.app.policies.Refresh()) return false;
  const Policies& policies = services_.app.policies.Current();
  if (hotkeysBefore && policies.disableHotkeys) Hotkeys.Release();
  if (!hotkeysBefore && !policies.disableHotkeys)
    Hotkeys.RegisterStored(LoadHotkeySettings(services_.app.OpenSettings()));
  ShowPolicies(policies, false);
  ShowTimerPolicies(policies);
  Schedule.FileChanged();
  if (policies.disableOneOffs && Schedule.OneOff) {
    Schedule.OneOff.reset();
    OneOffChanged();
  }
  return true;
}

bool TFrmMain::AskPasswordIfEnabled() {
  if (!LoadPasswordSettings(services_.app.OpenSettings()).enabled) return true;
  struct Open {
    bool& flag;
    explicit Open(bool& f) : flag(f) { flag = true; }
    ~Open() { flag = false; }
  } open(promptOpen_);
  return host_.ShowPasswordPrompt();
}

void TFrmMain::ShowMainWindowGuarded() {
  // One prompt at a time: what asks again while one is open waits for its answer instead.
  if (promptOpen_) return;
  if (!AskPasswordIfEnabled()) return;
  host_.ShowWindowInFront();
}

void TFrmMain::ChkSystemTrayClick() { host_.SetTrayIcon(ChkSystemTray.Checked()); }

void TFrmMain::HandleTrayMessage(int event, ScreenPoint anchor, TrayVersion version) {
  if (promptOpen_) return;
  // The menu opens where the shell asks for a context menu: on the right button's release, on
  // Shift+F10 or the menu key, and on Enter or Space at the icon. The right button's press and
  // the left click (NIN_SELECT) do nothing, so the double-click stays the way to the window. A
  // shell that speaks only the first version asks for no menu: its right button's release
  // opens it, which the fourth version also sends, before its own request.
  const bool menu = version == TrayVersion::kFourth
                        ? event == kTrayContextMenu || event == kTrayKeySelect
                        : event == kTrayRightButtonUp;
  if (event == kTrayDoubleClick)
    ShowMainWindowGuarded();
  else if (menu)
    host_.ShowTrayMenu(anchor);
}

void TFrmMain::MnuOnceClick() {
  // The item is gone from the menu; a command sent to the window all the same does nothing.
  if (services_.app.policies.Current().disableOneOffs) return;
  if (promptOpen_ || !AskPasswordIfEnabled()) return;
  host_.ShowOnceWindow();
}

void TFrmMain::MnuHideClick() {
  // Nothing is saved: the next start shows the icon again if the file says so.
  host_.HideWindow();
  ChkSystemTray.SetChecked(false);
}

void TFrmMain::MnuExitClick() {
  if (services_.app.policies.Current().disableExit) return;
  if (promptOpen_ || !AskPasswordIfEnabled()) return;
  // Ending the program now would end the countdown without its action, past a disabled
  // "Abort", and leave the alarm's volume set.
  if (Schedule.Firing() || Schedule.Acting()) {
    exitAfterAction_ = true;
    return;
  }
  ExitNow();
}

void TFrmMain::ExitNow() {
  ExitRequested = true;
  host_.CloseWindow();
}

void TFrmMain::ActionOver() {
  // From the main loop: the handler that ended the action may still be running.
  if (std::exchange(exitAfterAction_, false)) host_.Post([this] { ExitNow(); });
}

void TFrmMain::OpenHelpFile() {
  services_.shell.Execute("open", JoinPath(FolderOf(host_.ExecutablePath()), "help.chm"), "c:\\",
                          kShowNormal);
}

void TFrmMain::LblWebSiteClick() {
  services_.shell.Execute("open", kWebSiteAddress, "c:\\", kShowNormal);
}

void TFrmMain::LblEmailClick() {
  services_.shell.Execute("", std::string("mailto:") + kSupportAddress, "c:\\", kShowNormal);
}

std::string TFrmMain::OneOffCommand(std::string_view message) {
  const std::string reply = HandleOneOffCommand(
      message, Schedule,
      {services_.processes, services_.load, services_.clock, services_.app.policies.Current()});
  OneOffChanged();
  // What a script asked for shows on the screen, where the icon is.
  const bool accepted = message.substr(0, message.find('\n')) == "do" &&
                        reply.substr(0, reply.find('\n')) == kReplyOk;
  if (accepted && ChkSystemTray.Checked()) {
    const std::string tip = TrayTip(Schedule);
    host_.ShowTrayBalloon(tip.substr(tip.find('\n') + 1));
  }
  return reply;
}

void TFrmMain::OneOffChanged() { host_.SetTrayTip(TrayTip(Schedule)); }

bool TFrmMain::HandleQueryEndSession(bool onlyThisProgram) {
  // An installer that closes only this program (the Restart Manager) ends no session, so
  // nothing else of the user's is ended with it.
  if (!onlyThisProgram) host_.TerminateProcesses("loadqm.exe");
  tickBeforeQuery_ = Schedule.Running();
  Schedule.Pause();
  host_.CloseWindow();
  return true;
}

void TFrmMain::HandleEndSession(bool ending) {
  if (ending) {
    // Windows ends the program now in any case (the session ends, or an installer asked the
    // program to close through the Restart Manager): it ends as Exit does, without the
    // password, so that its handles and its files are let go in order.
    ExitRequested = true;
    host_.CloseWindow();
  } else if (tickBeforeQuery_) {
    Schedule.Resume();
  }
  tickBeforeQuery_ = false;
}

void TFrmMain::TimerWritten(const std::string&, const std::string&) {
  Schedule.ReloadTimers();
  FillTimerList(LvwTimer, Schedule.Timers, SortColumn);
}

std::optional<TTimerRecord> TFrmMain::TimerOfRow(const std::string& title) const {
  for (const TTimerRecord& record : Schedule.Timers) {
    if (record.Title == title) return record.Fields();
  }
  return std::nullopt;
}

void TFrmMain::RemoveTimerRows(const std::string& title) {
  for (std::size_t i = LvwTimer.rows.size(); i-- > 0;)
    if (LvwTimer.rows[i].caption == title)
      LvwTimer.rows.erase(LvwTimer.rows.begin() + static_cast<std::ptrdiff_t>(i));
}

void TFrmMain::LoadControls(bool atCreation) {
  const SettingsFile file = services_.app.OpenSettings();
  const Settings settings = LoadSettings(file);

  const bool tray = settings.general.showSystemTray;
  // Ticked at design time: at creation the box may not change, so the icon is added here.
  const bool trayClicks = ChkSystemTray.Checked() != tray;
  ChkSystemTray.SetChecked(tray);
  if (atCreation && tray && !trayClicks) host_.SetTrayIcon(true);
  const bool guard = settings.general.preventTimeChange;
  ChkNoChangeTime.SetChecked(guard);
  if (atCreation) {
    if (guard)
      services_.clockGuard.Arm(services_.clock);
    else
      services_.clockGuard.Disarm();
  }
  SpinDuration.text = settings.general.duration;
  if (SpinDuration.text.empty()) SpinDuration.text = "0";
  ChkAbort.SetChecked(settings.general.enableAbort);

  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->text = settings.hotkeys[i];
  const Policies& policies = services_.app.policies.Current();
  if (atCreation) {
    if (!policies.disableHotkeys) Hotkeys.RegisterStored(HotkeyFieldTexts());
    Schedule.LoadTimers(file);
    LvwTimer.rows.clear();
    for (const TTimerRecord& record : Schedule.Timers) LvwTimer.rows.push_back(TimerRow(record));
    Schedule.Resume();
  }
  LoadSoundPage(settings.sound, atCreation);

  for (std::size_t i = 0; i < settings.cleanUp.size(); ++i)
    LvwCleanup.items[i].checked = settings.cleanUp[i];

  if (settings.password.enabled) {
    ChkPassword.SetChecked(true);
    ChkPasswordClick();
    EdtPwd.text = EdtPwdConfirm.text = PasswordPlaceholder;
  } else {
    ChkPassword.SetChecked(false);
    ChkPasswordClick();
  }
  ChkEnableLog.SetChecked(settings.log.enabled);
  ShowPolicies(policies, true);
  ShowTimerPolicies(policies);
}

void TFrmMain::LoadSoundPage(const SoundSettings& sound, bool atCreation) {
  EdtSoundPath.text = sound.path;
  ChkSetVolume.SetChecked(sound.setVolume);
  ChkLoop.SetChecked(sound.loop);
  ChkEnableSound.SetChecked(sound.enabled);
  ApplySoundEnablingRule();
  const int volume = sound.volume;
  // Nobody sees the page before the window shows: the mixer is asked then (FormShow).
  soundDevicePending_ = atCreation;
  volumeFromMixer_ = volume == 0;
  TckBarVolume.position = volume != 0
                              ? static_cast<int>(static_cast<unsigned>(volume) & 0xFFFF) / 256
                          : atCreation ? 0
                                       : services_.mixer.GetMasterVolume() / 256;
}

void TFrmMain::FormShow() {
  if (!std::exchange(soundDevicePending_, false)) return;
  if (services_.mixer.DeviceCount() == 0) {
    ChkEnableSound.SetChecked(false);
    for (Control* c : {static_cast<Control*>(&EdtSoundPath), static_cast<Control*>(&BtnBrowse),
                       static_cast<Control*>(&BtnPreview), static_cast<Control*>(&ChkLoop),
                       static_cast<Control*>(&ChkSetVolume), static_cast<Control*>(&TckBarVolume),
                       static_cast<Control*>(&Label10)})
      c->enabled = false;
  }
  if (volumeFromMixer_) TckBarVolume.position = services_.mixer.GetMasterVolume() / 256;
}

bool TFrmMain::RunChecks() {
  return CheckShownPage(activePage_ == MainPage::Password, activePage_ == MainPage::Sound);
}

bool TFrmMain::PageControlChanging() { return RunChecks(); }

void TFrmMain::ChangePage(MainPage page) {
  if (page == activePage_ || !PageControlChanging()) return;
  activePage_ = page;
}

void TFrmMain::StepPage(int step) {
  const int next = (static_cast<int>(activePage_) + step + kMainPageCount) % kMainPageCount;
  ChangePage(static_cast<MainPage>(next));
}

void TFrmMain::BtnOKClick() {
  FinishHotkeyFields();
  if (!RunChecks()) return;
  SettingsFile file = services_.app.OpenSettings();
  try {
    SaveSettings(file);
  } catch (const SettingsWriteError&) {
    services_.app.boxes.Show(SettingsSaveFailedMessage(file.Path()), kAppTitle,
                             mb::kOk | mb::kIconError);
    BtnCancelClick();
  }
  host_.HideWindow();
  RunServiceStep(GetOSEdition(services_.app.os), FirstRunOnVista, services_.service);
}

void TFrmMain::SaveSettings(SettingsFile& file) {
  SaveGeneralSettings(file, GeneralToSave(), [this] {
    if (ChkNoChangeTime.Checked())
      services_.clockGuard.Arm(services_.clock);
    else
      services_.clockGuard.Disarm();
  });
  // Under the policy no hotkey is registered, nor can a field change.
  if (!services_.app.policies.Current().disableHotkeys)
    Hotkeys.ApplyChanges(file, HotkeyFieldTexts());
  // A policy that came while a message of the hotkeys' was open leaves none registered.
  if (services_.app.policies.Current().disableHotkeys) Hotkeys.Release();
  SaveSoundSection(file);
  SaveCleanupSection(file);
  SavePassword(file);
  SaveLogEnabled(file, LogToSave());
}

HotkeyTexts TFrmMain::HotkeyFieldTexts() {
  HotkeyTexts texts;
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) texts[i] = fields[i]->text;
  return texts;
}

void TFrmMain::BtnCancelClick() {
  host_.HideWindow();
  LoadControls(false);
}

bool TFrmMain::FormCloseQuery() {
  if (ExitRequested) return true;
  BtnCancelClick();
  return false;
}

}  // namespace halcyra
