#include "ui/main_form.h"

#include <algorithm>
#include <utility>

#include "app/settings_keys.h"
#include "app/startup.h"
#include "core/text.h"
#include "lang/texts.h"
#include "schedule/timer_list.h"
#include "ui/password_rules.h"
#include "ui/service_step.h"

namespace halcyra {

TFrmMain::TFrmMain(const ProgramServices& services, TrayProgram& program, MainFormHost& host)
    : SettingsPages({services.app, services.mixer, services.player, services.dialogs,
                     services.files, services.shell}),
      TimerPage(services.app, host, DeleteCheck::Verified),
      services_(services),
      program_(program),
      host_(host) {
  Label17.caption = Tr("Halcyra Version 6.7");
  LblWebSite.caption = Tr("WebSite: %1", {kWebSiteAddress});
  LblEmail.caption = Tr("Support Email: %1", {kSupportAddress});

  BtnOK.caption = Tr("OK");
  BtnCancel.caption = Tr("Cancel");
  BtnHelp.caption = Tr("Help");

  // Attached after the design values, so that these set no chain in motion.
  ChkSystemTray.onClick = [this] { ChkSystemTrayClick(); };
  program_.SetView(this);
}

TFrmMain::~TFrmMain() { program_.SetView(nullptr); }

std::string TFrmMain::PageCaption(MainPage page) {
  static constexpr std::array<Text, kMainPageCount> kCaptions = {
      "General", "Hotkeys", "Timer", "Sound", "Clean up", "Password", "Log", "About"};
  return Tr(kCaptions[static_cast<std::size_t>(page)]);
}

void TFrmMain::FormCreate() {
  activePage_ = MainPage::Timer;
  LoadControls(true);
  SortColumn = kTimerSortColumn;
  SortTimerList(LvwTimer, SortColumn);
}

void TFrmMain::ChkSystemTrayClick() { program_.ShowTrayIcon(ChkSystemTray.Checked()); }

void TFrmMain::PoliciesChanged(const Policies& policies) {
  ShowPolicies(policies, false);
  ShowTimerPolicies(policies);
}

void TFrmMain::LblWebSiteClick() {
  services_.shell.Execute("open", kWebSiteAddress, "c:\\", kShowNormal);
}

void TFrmMain::LblEmailClick() {
  services_.shell.Execute("", std::string("mailto:") + kSupportAddress, "c:\\", kShowNormal);
}

void TFrmMain::TimerWritten(const std::string&, const std::string&) {
  program_.Schedule.ReloadTimers();
  TimersReloaded();
}

void TFrmMain::TimersReloaded() { FillTimerList(LvwTimer, program_.Schedule.Timers, SortColumn); }

std::optional<TTimerRecord> TFrmMain::TimerOfRow(const std::string& title) const {
  for (const TTimerRecord& record : program_.Schedule.Timers) {
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

  // The program started with the icon the file asks for: the box follows it.
  ChkSystemTray.SetChecked(atCreation ? program_.TrayIconShown() : settings.general.showSystemTray);
  ChkNoChangeTime.SetChecked(settings.general.preventTimeChange);
  SpinDuration.text = settings.general.duration;
  if (SpinDuration.text.empty()) SpinDuration.text = "0";
  ChkAbort.SetChecked(settings.general.enableAbort);

  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->text = settings.hotkeys[i];
  const Policies& policies = services_.app.policies.Current();
  if (atCreation) {
    LvwTimer.rows.clear();
    for (const TTimerRecord& record : program_.Schedule.Timers)
      LvwTimer.rows.push_back(TimerRow(record));
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
    program_.Hotkeys.ApplyChanges(file, HotkeyFieldTexts());
  // A policy that came while a message of the hotkeys' was open leaves none registered.
  if (services_.app.policies.Current().disableHotkeys) program_.Hotkeys.Release();
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
  if (program_.ExitRequested) return true;
  BtnCancelClick();
  return false;
}

}  // namespace halcyra
