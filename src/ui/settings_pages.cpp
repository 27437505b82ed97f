#include "ui/settings_pages.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "actions/countdown.h"
#include "actions/event_log.h"
#include "app/settings.h"
#include "app/startup.h"
#include "lang/texts.h"
#include "ui/password_rules.h"

namespace halcyra {
namespace {

constexpr std::array<Text, 7> kCleanupCaptions = {"Clear Recycle Bin",
                                                  "Clear temporary file folder of Windows",
                                                  "Clear temporary files of Internet Explorer",
                                                  "Clear cookies of Internet Explorer",
                                                  "Clear browser history of Internet Explorer",
                                                  "Clear address bar history of Internet Explorer",
                                                  "Clear recent documents list"};

constexpr std::array<Text, 6> kHotkeyRowLabels = {
    "Power off computer :", "Shutdown Windows :", "Reboot computer :",
    "Hibernate computer :", "Suspend computer :", "Log off current user :"};
constexpr std::array<const char*, 6> kHotkeyDesignTexts = {"Ctrl+Shift+Alt+P", "Ctrl+Shift+Alt+S",
                                                           "Ctrl+Shift+Alt+R", "Ctrl+Shift+Alt+H",
                                                           "Ctrl+Shift+Alt+U", "Ctrl+Shift+Alt+L"};

}  // namespace

SettingsPages::SettingsPages(const PageServices& services) : pages_(services) {
  Label21.caption =
      Tr("You can configure the countdown duration time before a shutdown event is activated and "
         "choose other options.");
  Label22.caption = Tr("Countdown duration (seconds):");
  SpinDuration.text = "5";
  ChkSystemTray.caption = Tr("Show system tray icon for easy access");
  ChkSystemTray.SetChecked(true);
  ChkNoChangeTime.caption = Tr("Prevent users from changing the system time");
  ChkAbort.caption = Tr("Enable \"Abort\" button in countdown window");

  Label1.caption =
      Tr("You can set up a combination of keyboard strokes as hotkeys to active the following "
         "shutdown actions. If you change the hotkeys, the change will be effective only after "
         "reboot.");
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    HotkeyLabels[i].caption = Tr(kHotkeyRowLabels[i]);
    fields[i]->text = kHotkeyDesignTexts[i];
  }

  Label9.caption = Tr("You can choose the sound to play while the shutdown action is activated.");
  ChkEnableSound.caption = Tr("Enable sound alarm");
  Label10.caption = Tr("Sound file ");
  BtnBrowse.caption = Tr("Browse...");
  BtnPreview.caption = Tr("Preview");
  ChkLoop.caption = Tr("Loop sound");
  ChkSetVolume.caption = Tr("Set volume level");
  for (Control* c : {static_cast<Control*>(&Label10), static_cast<Control*>(&EdtSoundPath),
                     static_cast<Control*>(&BtnBrowse), static_cast<Control*>(&BtnPreview),
                     static_cast<Control*>(&ChkLoop), static_cast<Control*>(&ChkSetVolume),
                     static_cast<Control*>(&TckBarVolume)})
    c->enabled = false;

  Label11.caption =
      Tr("You can choose to clean up the following items during the shutdown action. It will free "
         "up hard disk space, improve system performance and protect your privacy.");
  for (const Text caption : kCleanupCaptions) LvwCleanup.items.push_back({Tr(caption), false});

  Label12.caption =
      Tr("You can set up a password to prevent other users from changing the shutdown settings.");
  ChkPassword.caption = Tr("Enable password protection");
  Label13.caption = Tr("Password :");
  Label14.caption = Tr("Password confirmation :");
  Label13.enabled = Label14.enabled = EdtPwd.enabled = EdtPwdConfirm.enabled = false;

  Label16.caption = Tr("You can log all the shutdown events for tracking purpose.");
  ChkEnableLog.caption = Tr("Enable logging of shutdown events");
  CmdViewLog.caption = Tr("View log file");
  CmdDeleteLog.caption = Tr("Empty log file");

  // Attached after the design values, so that these set no chain in motion.
  ChkEnableSound.onClick = [this] { ChkEnableSoundClick(); };
  ChkSetVolume.onClick = [this] { ChkSetVolumeClick(); };
  ChkPassword.onClick = [this] { ChkPasswordClick(); };
}

std::array<Edit*, 6> SettingsPages::HotkeyFields() {
  return {&EdtPowerdown, &EdtShutdown, &EdtReboot, &EdtHibernate, &EdtSuspend, &EdtLogoff};
}

bool SettingsPages::CheckShownPage(bool passwordShown, bool soundShown) {
  std::optional<std::string> failure;
  if (passwordShown && ChkPassword.Checked())
    failure = CheckPasswordFields(EdtPwd.text, EdtPwdConfirm.text);
  if (!failure && soundShown && ChkEnableSound.Checked() && EdtSoundPath.text.empty())
    failure = Tr(kSoundFileMissingMessage);
  if (!failure) return true;
  pages_.app.boxes.Show(*failure, Tr("Error"), mb::kOk | mb::kIconInformation);
  return false;
}

void SettingsPages::SaveSoundSection(SettingsFile& file) {
  SaveSoundSettings(
      file, {ChkEnableSound.Checked(), EdtSoundPath.text, ChkLoop.Checked(), ChkSetVolume.Checked(),
             static_cast<int>(VolumeFromPosition(TckBarVolume.position))});
}

void SettingsPages::SaveCleanupSection(SettingsFile& file) {
  CleanupSettings cleanUp{};
  for (std::size_t i = 0; i < cleanUp.size(); ++i) cleanUp[i] = LvwCleanup.items[i].checked;
  SaveCleanupSettings(file, cleanUp);
}

namespace {
constexpr Text kPreviewCaption = "Preview";
constexpr Text kStopCaption = "Stop";
}  // namespace

unsigned VolumeFromPosition(int position) {
  return static_cast<unsigned>(std::clamp(position * 256, 0, 65535));
}

void SettingsPages::HotkeyKeyDown(std::size_t slot, std::uint16_t key, HeldModifiers held) {
  Edit& field = *HotkeyFields()[slot];
  std::vector<std::uint16_t>& keys = heldKeys_[slot];
  if (keys.empty()) textBeforeKeys_[slot] = field.text;
  // A held key repeats its key-down; it is released once.
  if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  field.text = HotkeyTextOnKeyDown(key, held);
}

void SettingsPages::HotkeyKeyUp(std::size_t slot, std::uint16_t key) {
  std::vector<std::uint16_t>& keys = heldKeys_[slot];
  const auto pressed = std::find(keys.begin(), keys.end(), key);
  if (pressed == keys.end()) return;
  keys.erase(pressed);
  Edit& field = *HotkeyFields()[slot];
  field.text = HotkeyTextOnKeyUp(field.text, key);
}

void SettingsPages::HotkeyFieldEnter(std::size_t slot) { heldKeys_[slot].clear(); }

void SettingsPages::HotkeyFieldExit(std::size_t slot) {
  Edit& field = *HotkeyFields()[slot];
  if (!heldKeys_[slot].empty() && !field.text.empty() && field.text.back() == '+')
    field.text = textBeforeKeys_[slot];
  heldKeys_[slot].clear();
}

void SettingsPages::FinishHotkeyFields() {
  for (std::size_t slot = 0; slot < heldKeys_.size(); ++slot) HotkeyFieldExit(slot);
}

void SettingsPages::ApplySoundEnablingRule() {
  const bool on = ChkEnableSound.Checked();
  EdtSoundPath.enabled = BtnBrowse.enabled = ChkLoop.enabled = ChkSetVolume.enabled =
      Label10.enabled = on;
  BtnPreview.enabled = on && !EdtSoundPath.text.empty();
  TckBarVolume.enabled = on && ChkSetVolume.Checked();
}

void SettingsPages::ChkSetVolumeClick() {
  AudioMixer& mixer = pages_.mixer;
  const bool previewing = BtnPreview.caption == Tr(kStopCaption);
  if (ChkSetVolume.Checked()) {
    TckBarVolume.enabled = true;
    if (previewing) {
      PreviewSavedVolume = mixer.GetMasterVolume();
      mixer.SetMasterVolume(static_cast<std::uint16_t>(VolumeFromPosition(TckBarVolume.position)));
    }
  } else {
    TckBarVolume.enabled = false;
    if (previewing && PreviewSavedVolume != 0) mixer.SetMasterVolume(PreviewSavedVolume);
  }
}

void SettingsPages::TckBarVolumeChange() {
  if (BtnPreview.caption == Tr(kStopCaption))
    pages_.mixer.SetMasterVolume(
        static_cast<std::uint16_t>(VolumeFromPosition(TckBarVolume.position)));
}

void SettingsPages::BtnBrowseClick() {
  if (BtnPreview.caption == Tr(kStopCaption)) {
    // The volume stays as the preview set it.
    pages_.player.Stop(PlayFlags(ChkLoop.Checked()));
    BtnPreview.caption = Tr(kPreviewCaption);
  }
  if (const auto path =
          pages_.dialogs.OpenFile(Tr("Select sound file"), Tr("Sound file(*.wav)|*.wav"))) {
    EdtSoundPath.text = *path;
    BtnPreview.enabled = true;
  } else if (EdtSoundPath.text.empty()) {
    BtnPreview.enabled = false;
  }
}

void SettingsPages::BtnPreviewClick() {
  const bool starting = BtnPreview.caption == Tr(kPreviewCaption);
  // Read now and played as read, so that the file checked is the file heard; a stop only asks.
  std::optional<SoundBytes> sound;
  if (starting ? !(sound = pages_.player.Load(EdtSoundPath.text))
               : !pages_.player.Playable(EdtSoundPath.text)) {
    pages_.app.boxes.Show(Tr(kSoundFileNotFoundMessage), Tr("Error"),
                          mb::kOk | mb::kIconInformation);
    return;
  }
  AudioMixer& mixer = pages_.mixer;
  if (starting) {
    if (ChkSetVolume.Checked()) {
      PreviewSavedVolume = mixer.GetMasterVolume();
      mixer.SetMasterVolume(static_cast<std::uint16_t>(VolumeFromPosition(TckBarVolume.position)));
    }
    pages_.player.Play(std::move(*sound), PlayFlags(ChkLoop.Checked()));
    BtnPreview.caption = Tr(kStopCaption);
  } else {
    if (PreviewSavedVolume != 0) mixer.SetMasterVolume(PreviewSavedVolume);
    pages_.player.Stop(PlayFlags(ChkLoop.Checked()));
    BtnPreview.caption = Tr(kPreviewCaption);
  }
}

void SettingsPages::CmdViewLogClick() {
  const std::string path = LogFilePath(pages_.app.os);
  try {
    if (!pages_.files.Exists(path)) pages_.files.CreateEmpty(path);
    pages_.shell.Execute("open", path, "c:\\", kShowNormal);
  } catch (const std::exception&) {
    pages_.app.boxes.Show(FolderAccessMessage(GetDataFolder(pages_.app.os)), kAppTitle,
                          mb::kOk | mb::kIconError);
  }
}

void SettingsPages::CmdDeleteLogClick() {
  const std::string path = LogFilePath(pages_.app.os);
  if (pages_.app.boxes.Show(Tr("Do you really want to delete the log file?"), Tr("Delete log file"),
                            mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
    return;
  // A failure here is the general error handler's to show.
  if (const int error = pages_.files.Rewrite(path))
    throw std::runtime_error(Tr("I/O error %1", {std::to_string(error)}));
}

void SettingsPages::ChkPasswordClick() {
  const bool on = ChkPassword.Checked();
  EdtPwd.enabled = EdtPwdConfirm.enabled = Label13.enabled = Label14.enabled = on;
}

void SettingsPages::SavePassword(SettingsFile& file) {
  if (ChkPassword.Checked()) {
    // The placeholder stands for the stored password, which stays.
    SavePasswordSettings(file, true,
                         EdtPwd.text != PasswordPlaceholder
                             ? std::optional<std::string>(PasswordDigest(EdtPwd.text))
                             : std::nullopt);
    EdtPwd.text = EdtPwdConfirm.text = PasswordPlaceholder;
  } else {
    EdtPwd.text.clear();
    EdtPwdConfirm.text.clear();
    SavePasswordSettings(file, false, std::nullopt);
  }
}

void SettingsPages::ChkEnableSoundClick() { ApplySoundEnablingRule(); }

void SettingsPages::SpinDurationEnter() { SpinDuration.selectAllRequested = true; }

Edit* SettingsPages::TakeFocusRequest() { return std::exchange(focusRequest_, nullptr); }

void SettingsPages::ShowPolicies(const Policies& policies, bool reloaded) {
  if (!reloaded) {
    if (keptDuration_ && SpinDuration.text == shownDuration_) SpinDuration.text = *keptDuration_;
    if (keptAbort_) ChkAbort.SetChecked(*keptAbort_);
    if (keptLog_) ChkEnableLog.SetChecked(*keptLog_);
  }
  keptDuration_.reset();
  if (policies.minimumCountdown > CountdownSeconds(SpinDuration.text)) {
    keptDuration_ = SpinDuration.text;
    SpinDuration.text = shownDuration_ = std::to_string(policies.minimumCountdown);
  }
  keptAbort_.reset();
  ChkAbort.enabled = !policies.enableAbort;
  if (policies.enableAbort) {
    keptAbort_ = ChkAbort.Checked();
    ChkAbort.SetChecked(*policies.enableAbort);
  }
  keptLog_.reset();
  ChkEnableLog.enabled = !policies.logEnabled;
  if (policies.logEnabled) {
    keptLog_ = ChkEnableLog.Checked();
    ChkEnableLog.SetChecked(*policies.logEnabled);
  }
  for (Edit* field : HotkeyFields()) field->enabled = !policies.disableHotkeys;
  const auto say = [](Label& label, bool managed) {
    label.caption = managed ? Tr(kManagedSettingsLine) : "";
  };
  say(LblManagedGeneral, policies.minimumCountdown > 0 || policies.enableAbort);
  say(LblManagedHotkeys, policies.disableHotkeys);
  say(LblManagedLog, policies.logEnabled.has_value());
}

GeneralSettings SettingsPages::GeneralToSave() const {
  // A duration raised to the minimum and left so is the user's own again.
  const bool raised = keptDuration_ && SpinDuration.text == shownDuration_;
  return {ChkSystemTray.Checked(), ChkNoChangeTime.Checked(),
          raised ? *keptDuration_ : SpinDuration.text, keptAbort_.value_or(ChkAbort.Checked())};
}

bool SettingsPages::LogToSave() const { return keptLog_.value_or(ChkEnableLog.Checked()); }

}  // namespace halcyra
