#include "ui/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "actions/event_log.h"
#include "actions/power_actions.h"
#include "app/startup.h"
#include "schedule/timer_list.h"
#include "ui/password_rules.h"
#include "ui/service_step.h"

namespace halcyra {


TFrmMain::TFrmMain(const MainFormServices& services, MainFormHost& host)
    : SettingsPages({services.app, services.mixer, services.player, services.dialogs,
                     services.files, services.shell}),
      services_(services),
      host_(host) {
  Label8.caption =
      "You can set up as many timers as you want, and Halcyra will automatically activate the "
      "selected shutdown actions at times of your choice.";
  BtnAdd.caption = "Add";
  BtnEdit.caption = "Edit";
  BtnDelete.caption = "Delete";

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
      "General", "Hotkeys", "Timer", "Sound", "Clean up", "Password", "Log", "About"};
  return kCaptions[static_cast<std::size_t>(page)];
}


void TFrmMain::FormCreate() {
  LocalTime unhandled = services_.clock.Now();
  unhandled.year = 0;
  services_.app.state.lastHandled = unhandled;
  services_.app.state.exitRequested = false;
  activePage_ = MainPage::Timer;
  LoadControls(true);
  SortColumn = kTimerSortColumn;
  SortTimerList(LvwTimer, SortColumn);
}

namespace {

bool SameMinute(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute;
}

// Whether a frequency word selects this day of the week.
bool FiresOn(const std::string& frequency, unsigned dayOfWeek) {
  if (frequency == "Once" || frequency == "Daily") return true;
  if (frequency == "Weekday") return dayOfWeek != 0 && dayOfWeek != 6;
  const auto day = DayNumber(frequency);
  return day && static_cast<unsigned>(*day) == dayOfWeek;
}

}  // namespace

void TFrmMain::Timer1Timer() {
  LocalTime now = services_.clock.Now();
  if (services_.clockGuard.Check(now, services_.clock, services_.machine))
    now = services_.clock.Now();
  for (const TTimerRecord& record : Timers) {
    if (!record.Enabled) continue;
    // A time that is no hour and minute can never match; it is passed over.
    const auto hm = ParseTimeOfDay(record.Time);
    if (!hm || hm->first != now.hour || hm->second != now.minute) continue;
    if (SameMinute(services_.app.state.lastHandled, now)) continue;
    if (record.ShutEvent == "Reboot") {
      const DateTime stamp = services_.app.OpenSettings().ReadDateTime("Log", "LastRebootTime", 0);
      if (SameMinute(DecodeDateTime(stamp), now)) return;
    }
    if (!FiresOn(record.Frequency, now.dayOfWeek)) continue;
    // The record goes with the reload that firing starts: keep what is needed of it.
    const std::string title = record.Title;
    const std::string event = record.ShutEvent;
    if (record.Frequency == "Once") {
      services_.app.OpenSettings().DeleteKey(kTimerSection, title);
      for (std::size_t i = LvwTimer.rows.size(); i-- > 0;)
        if (LvwTimer.rows[i].caption == title)
          LvwTimer.rows.erase(LvwTimer.rows.begin() + static_cast<std::ptrdiff_t>(i));
    }
    Timer1Enabled = false;
    FireTimer(event);
    return;
  }
}

void TFrmMain::FireTimer(const std::string& eventWord) {
  services_.app.state.pendingEvent = eventWord;
  ReloadTimers();
  host_.ShowCountdown();
}

TimerLoadServices TFrmMain::TimerServices() const {
  return {services_.app.os, services_.clock, services_.wakeTimers};
}

void TFrmMain::FormClose() {
  Timers.clear();
  ReleaseHotkeys();
  host_.SetTrayIcon(false);
}

void TFrmMain::RegisterStoredHotkeys() {
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& text = fields[i]->text;
    if (text.empty() || text == "None") {
      HotkeyIds[i] = -1;
      continue;
    }
    const ParsedHotkey parsed = ParseHotkeyText(text);
    HotkeyIds[i] = services_.hotkeys.AddAtom(kHotkeySlots[i].atomName);
    services_.hotkeys.Register(HotkeyIds[i], parsed.modifiers, parsed.key);
  }
}

void TFrmMain::ReleaseHotkeys() {
  for (int& id : HotkeyIds) {
    if (id == -1) continue;
    services_.hotkeys.Unregister(id);
    services_.hotkeys.DeleteAtom(static_cast<std::uint16_t>(id));
  }
}



void TFrmMain::HandleHotkey(int id) {
  const PowerServices power{services_.app.os, services_.privilege, services_.machine,
                            services_.app.boxes};
  using Action = bool (*)(const PowerServices&);
  static constexpr std::array<Action, 6> kActions = {&PowerOffComputer,  &ShutdownWindows,
                                                     &RebootComputer,    &HibernateComputer,
                                                     &SuspendComputer,   &LogOffUser};
  for (std::size_t i = 0; i < HotkeyIds.size(); ++i) {
    if (HotkeyIds[i] != id) continue;
    RunImmediateAction(kHotkeySlots[i].eventWord);
    kActions[i](power);
    return;
  }
}

void TFrmMain::RunImmediateAction(const std::string& eventWord) {
  const SettingsFile file = services_.app.OpenSettings();
  RunCleanupTasks(file, services_.cleanup);
  if (!file.IsOn("Log", "Enabled")) return;
  try {
    AppendEventLine({services_.app.os, services_.files, services_.app.regional}, services_.clock.Now(),
                    eventWord);
  } catch (const LogWriteError&) {
    services_.app.boxes.Show(kLogFailedFormat + GetDataFolder(services_.app.os) + "\".", kAppTitle,
                             mb::kOk | mb::kIconError);
  }
}

bool TFrmMain::AskPasswordIfEnabled() {
  if (!services_.app.OpenSettings().IsOn("Password", "Enabled")) return true;
  return host_.ShowPasswordPrompt();
}

void TFrmMain::ShowMainWindowGuarded() {
  if (AskPasswordIfEnabled()) host_.ShowWindowInFront();
}

void TFrmMain::ChkSystemTrayClick() { host_.SetTrayIcon(ChkSystemTray.Checked()); }

void TFrmMain::HandleTrayMessage(int mouseMessage) {
  if (mouseMessage == kTrayDoubleClick) ShowMainWindowGuarded();
  else if (mouseMessage == kTrayRightButton) host_.ShowTrayMenu();
}

void TFrmMain::MnuHideClick() {
  // Nothing is saved: the next start shows the icon again if the file says so.
  host_.HideWindow();
  ChkSystemTray.SetChecked(false);
}

void TFrmMain::MnuExitClick() {
  if (!AskPasswordIfEnabled()) return;
  services_.app.state.exitRequested = true;
  host_.CloseWindow();
}

void TFrmMain::OpenHelpFile() {
  std::string folder = host_.ExecutablePath();
  folder.resize(folder.find_last_of('\\') + 1);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  services_.shell.Execute("open", folder + "\\help.chm", "c:\\", kShowNormal);
}

void TFrmMain::LblWebSiteClick() {
  services_.shell.Execute("open", kWebSiteAddress, "c:\\", kShowNormal);
}

void TFrmMain::LblEmailClick() {
  services_.shell.Execute("", std::string("mailto:") + kSupportAddress, "c:\\", kShowNormal);
}

bool TFrmMain::HandleQueryEndSession() {
  host_.TerminateProcesses("loadqm.exe");
  Timer1Enabled = false;
  host_.CloseWindow();
  return true;
}

void TFrmMain::ReloadTimers() {
  // The old handles go first: no wake-up timer is armed twice.
  Timers.clear();
  Timers = LoadTimers(services_.app.OpenSettings(), TimerServices());
}

void TFrmMain::TimerWritten(const std::string&, const std::string&) {
  ReloadTimers();
  FillTimerList(LvwTimer, Timers, SortColumn);
}

void TFrmMain::RemoveSelectedTimerRow() { LvwTimer.RemoveSelectedRow(); }

void TFrmMain::BtnAddClick() {
  TFrmTimer editor(services_.app, *this);
  host_.ShowTimerEditor(editor);
}

void TFrmMain::BtnEditClick() {
  const int selected = LvwTimer.SelectedIndex();
  if (selected < 0) return;
  const std::string& title = LvwTimer.rows[static_cast<std::size_t>(selected)].caption;
  for (const TTimerRecord& record : Timers) {
    if (record.Title != title) continue;
    TFrmTimer editor(services_.app, *this);
    editor.PreFill(record);
    host_.ShowTimerEditor(editor);
    return;
  }
}

void TFrmMain::BtnDeleteClick() {
  if (LvwTimer.SelectedIndex() < 0) return;
  if (services_.app.boxes.Show("Do you really want to delete the selected timer?", "Delete timer",
                               mb::kYesNo | mb::kIconQuestion) == mb::kIdNo)
    return;
  for (std::size_t i = LvwTimer.rows.size(); i-- > 0;) {
    if (!LvwTimer.rows[i].selected) continue;
    SettingsFile file = services_.app.OpenSettings();
    file.DeleteKey(kTimerSection, LvwTimer.rows[i].caption);
    if (file.ValueExists(kTimerSection, LvwTimer.rows[i].caption)) {
      services_.app.boxes.Show(
          "Can not delete the timer. You must be given \"modify\" access to the file: \"" +
              file.Path() + "\".",
          kAppTitle, mb::kOk | mb::kIconError);
      return;
    }
    LvwTimer.rows.erase(LvwTimer.rows.begin() + static_cast<std::ptrdiff_t>(i));
  }
  ReloadTimers();
}

void TFrmMain::LoadControls(bool atCreation) {
  const SettingsFile file = services_.app.OpenSettings();

  const bool tray = file.IsOn("general", "ShowSystemTray");
  // Ticked at design time: at creation the box may not change, so the icon is added here.
  const bool trayClicks = ChkSystemTray.Checked() != tray;
  ChkSystemTray.SetChecked(tray);
  if (atCreation && tray && !trayClicks) host_.SetTrayIcon(true);
  const bool guard = file.IsOn("general", "PreventTimeChange");
  ChkNoChangeTime.SetChecked(guard);
  if (atCreation) {
    if (guard) services_.clockGuard.Arm(services_.clock);
    else services_.clockGuard.Disarm();
  }
  SpinDuration.text = file.ReadString("general", "Duration");
  if (SpinDuration.text.empty()) SpinDuration.text = "0";
  ChkAbort.SetChecked(file.IsOn("general", "EnableAbort"));

  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    fields[i]->text = file.ReadString("Hotkeys", kHotkeySlots[i].key);
  if (atCreation) RegisterStoredHotkeys();
  if (atCreation) {
    Timers = LoadTimers(file, TimerServices());
    LvwTimer.rows.clear();
    for (const TTimerRecord& record : Timers) LvwTimer.rows.push_back(TimerRow(record));
    Timer1Enabled = true;
  }

  EdtSoundPath.text = file.ReadString("Sound", "SoundPath");
  ChkSetVolume.SetChecked(file.IsOn("Sound", "SetVolume"));
  ChkLoop.SetChecked(file.IsOn("Sound", "loop"));
  ChkEnableSound.SetChecked(file.IsOn("Sound", "Enabled"));
  ApplySoundEnablingRule();
  if (atCreation && services_.mixer.DeviceCount() == 0) {
    ChkEnableSound.SetChecked(false);
    for (Control* c : {static_cast<Control*>(&EdtSoundPath), static_cast<Control*>(&BtnBrowse),
                       static_cast<Control*>(&BtnPreview), static_cast<Control*>(&ChkLoop),
                       static_cast<Control*>(&ChkSetVolume), static_cast<Control*>(&TckBarVolume),
                       static_cast<Control*>(&Label10)})
      c->enabled = false;
  }
  const int volume = file.ReadInteger("Sound", "Volume", 0);
  TckBarVolume.position = volume != 0 ? static_cast<int>(static_cast<unsigned>(volume) & 0xFFFF) / 256
                                      : services_.mixer.GetMasterVolume() / 256;

  for (std::size_t i = 0; i < kCleanupKeys.size(); ++i)
    LvwCleanup.items[i].checked = file.IsOn("CleanUp", kCleanupKeys[i]);

  if (file.IsOn("Password", "Enabled")) {
    ChkPassword.SetChecked(true);
    ChkPasswordClick();
    EdtPwd.text = EdtPwdConfirm.text = PasswordPlaceholder;
  } else {
    ChkPassword.SetChecked(false);
    ChkPasswordClick();
  }
  ChkEnableLog.SetChecked(file.IsOn("Log", "Enabled"));
}












bool TFrmMain::RunChecks() {
  return CheckShownPage(activePage_ == MainPage::Password, activePage_ == MainPage::Sound);
}

bool TFrmMain::PageControlChanging() { return RunChecks(); }

void TFrmMain::ChangePage(MainPage page) {
  if (page == activePage_ || !PageControlChanging()) return;
  activePage_ = page;
}

void TFrmMain::BtnOKClick() {
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
  RunServiceStep(GetOSEdition(services_.app.os), services_.app.state.firstRunOnVista,
                 services_.service);
}

void TFrmMain::SaveSettings(SettingsFile& file) {
  file.WriteString("general", "ShowSystemTray", FlagText(ChkSystemTray.Checked()));
  file.WriteString("general", "PreventTimeChange", FlagText(ChkNoChangeTime.Checked()));
  if (ChkNoChangeTime.Checked()) services_.clockGuard.Arm(services_.clock);
  else services_.clockGuard.Disarm();
  file.WriteString("general", "Duration", SpinDuration.text);
  file.WriteString("general", "EnableAbort", FlagText(ChkAbort.Checked()));
  ApplyHotkeyChanges(file);
  SaveSoundSection(file);
  SaveCleanupSection(file);
  SavePassword(file);
  file.WriteString("Log", "Enabled", FlagText(ChkEnableLog.Checked()));
}

// A changed shortcut is written and registered at once under its slot's id; an emptied one is
// written as "None" and unregistered. A refused registration is reported and stays written.
void TFrmMain::ApplyHotkeyChanges(SettingsFile& file) {
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const HotkeySlot& slot = kHotkeySlots[i];
    const std::string& text = fields[i]->text;
    if (!text.empty()) {
      if (file.ReadString("Hotkeys", slot.key) == text) continue;
      file.WriteString("Hotkeys", slot.key, text);
      const ParsedHotkey parsed = ParseHotkeyText(text);
      if (HotkeyIds[i] == -1) HotkeyIds[i] = services_.hotkeys.AddAtom(slot.atomName);
      if (!services_.hotkeys.Register(HotkeyIds[i], parsed.modifiers, parsed.key))
        services_.app.boxes.Show(std::string(slot.messageStart) + "\"" + text +
                                     "\" is already used, please change it to another hotkey",
                                 kAppTitle, mb::kOk | mb::kIconError);
    } else {
      if (file.ReadString("Hotkeys", slot.key) != "None") services_.hotkeys.Unregister(HotkeyIds[i]);
      file.WriteString("Hotkeys", slot.key, "None");
    }
  }
}


void TFrmMain::BtnCancelClick() {
  host_.HideWindow();
  LoadControls(false);
}

bool TFrmMain::FormCloseQuery() {
  if (services_.app.state.exitRequested) return true;
  BtnCancelClick();
  return false;
}

}  // namespace halcyra
