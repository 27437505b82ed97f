// The settings pages that the main window and the first-run wizard share: General, Hotkeys,
// Sound, Clean up, Password and Log, with every control's state and the handlers that behave
// alike in both windows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/cleanup.h"
#include "app/app_services.h"
#include "lang/texts.h"
#include "platform/audio_mixer.h"
#include "platform/file_dialogs.h"
#include "platform/shell.h"
#include "platform/sound_player.h"
#include "platform/text_files.h"
#include "toolkit/controls.h"
#include "ui/hotkeys.h"

namespace halcyra {

inline constexpr Text kSoundFileMissingMessage =
    "Please select the sound file to play during the shutdown event.";
inline constexpr Text kSoundFileNotFoundMessage = "The sound file does not exist.";

// Track-bar position to mixer volume: position x 256, held to 0 to 65535.
unsigned VolumeFromPosition(int position);

struct PageServices {
  const AppServices& app;
  AudioMixer& mixer;
  SoundPlayer& player;
  FileDialogs& dialogs;
  TextFiles& files;
  Shell& shell;
};

class SettingsPages {
 public:
  // General.
  Label Label21, Label22;
  Edit SpinDuration;
  CheckBox ChkSystemTray, ChkNoChangeTime, ChkAbort;
  // Hotkeys: the six fields in slot order.
  Label Label1;
  std::array<Label, 6> HotkeyLabels;
  Edit EdtPowerdown, EdtShutdown, EdtReboot, EdtHibernate, EdtSuspend, EdtLogoff;
  // Sound.
  Label Label9, Label10;
  CheckBox ChkEnableSound;
  Edit EdtSoundPath;
  Button BtnBrowse, BtnPreview;
  CheckBox ChkLoop, ChkSetVolume;
  TrackBar TckBarVolume;
  // Clean up.
  Label Label11;
  CheckList LvwCleanup;
  // Password.
  Label Label12, Label13, Label14;
  CheckBox ChkPassword;
  Edit EdtPwd, EdtPwdConfirm;
  // Log.
  Label Label16;
  CheckBox ChkEnableLog;
  Button CmdViewLog, CmdDeleteLog;
  // On each page with a control an organisation's policy manages: a line that says so, empty
  // otherwise.
  Label LblManagedGeneral, LblManagedHotkeys, LblManagedLog;

  // The master volume that a preview replaced; 0 when none was saved.
  std::uint16_t PreviewSavedVolume = 0;

  std::array<Edit*, 6> HotkeyFields();
  // The field that a handler wants to have the keyboard focus, taken by the view.
  Edit* TakeFocusRequest();

  void ChkEnableSoundClick();
  void ChkSetVolumeClick();
  void TckBarVolumeChange();
  void BtnBrowseClick();
  void BtnPreviewClick();
  void ChkPasswordClick();
  void SpinDurationEnter();
  void CmdViewLogClick();
  void CmdDeleteLogClick();
  void EdtPowerdownMouseMove() { focusRequest_ = &EdtPowerdown; }
  void EdtShutdownMouseMove() { focusRequest_ = &EdtShutdown; }
  void EdtRebootMouseMove() { focusRequest_ = &EdtReboot; }
  void EdtHibernateMouseMove() { focusRequest_ = &EdtHibernate; }
  void EdtSuspendMouseMove() { focusRequest_ = &EdtSuspend; }
  void EdtLogoffMouseMove() { focusRequest_ = &EdtLogoff; }
  void EdtPwdMouseMove() { focusRequest_ = &EdtPwd; }
  void EdtPwdConfirmMouseMove() { focusRequest_ = &EdtPwdConfirm; }
  // Capture in the hotkey fields, by slot (0 = Powerdown ... 5 = Logoff).
  void HotkeyKeyDown(std::size_t slot, std::uint16_t key, HeldModifiers held);
  // A key-up counts only after its key-down in the same field: Tab's release, or a modifier's
  // after Shift+Tab, lands in the field that the focus moved to.
  void HotkeyKeyUp(std::size_t slot, std::uint16_t key);
  // The focus enters or leaves a hotkey field; a field left with modifiers and no key
  // ("Shift+") goes back to what it held before that combination began.
  void HotkeyFieldEnter(std::size_t slot);
  void HotkeyFieldExit(std::size_t slot);
  void EdtPowerdownKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(0, key, held); }
  void EdtShutdownKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(1, key, held); }
  void EdtRebootKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(2, key, held); }
  void EdtHibernateKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(3, key, held); }
  void EdtSuspendKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(4, key, held); }
  void EdtLogoffKeyDown(std::uint16_t key, HeldModifiers held) { HotkeyKeyDown(5, key, held); }
  void EdtPowerdownKeyUp(std::uint16_t key) { HotkeyKeyUp(0, key); }
  void EdtShutdownKeyUp(std::uint16_t key) { HotkeyKeyUp(1, key); }
  void EdtRebootKeyUp(std::uint16_t key) { HotkeyKeyUp(2, key); }
  void EdtHibernateKeyUp(std::uint16_t key) { HotkeyKeyUp(3, key); }
  void EdtSuspendKeyUp(std::uint16_t key) { HotkeyKeyUp(4, key); }
  void EdtLogoffKeyUp(std::uint16_t key) { HotkeyKeyUp(5, key); }

 protected:
  explicit SettingsPages(const PageServices& services);

  // The sound enabling rule, also applied by the loads of the main window.
  void ApplySoundEnablingRule();
  // The checks of the shown page; the first failure is shown and false returned.
  bool CheckShownPage(bool passwordShown, bool soundShown);
  // The save steps that both windows write alike.
  void SaveSoundSection(SettingsFile& file);
  void SaveCleanupSection(SettingsFile& file);
  void SavePassword(SettingsFile& file);
  // Before a save: no field keeps a combination without a key.
  void FinishHotkeyFields();
  // A managed control is disabled and shows the value in force, and its page says so. Called
  // after the controls were loaded from the file (`reloaded`), or when the policies changed:
  // the controls then show what the user had again before the new policies apply.
  void ShowPolicies(const Policies& policies, bool reloaded);
  // What a save writes for the values the policies may force: a managed control's own value is
  // the policy's, so the file keeps what the user had.
  GeneralSettings GeneralToSave() const;
  bool LogToSave() const;

  PageServices pages_;
  Edit* focusRequest_ = nullptr;

 private:
  // The file's values under a policy's, while one forces them.
  std::optional<std::string> keptDuration_;
  std::string shownDuration_;
  std::optional<bool> keptAbort_, keptLog_;

 protected:
 private:
  // Per hotkey field: the keys whose key-down it saw and that are not released yet, and its
  // text before the first of them went down.
  std::array<std::vector<std::uint16_t>, 6> heldKeys_;
  std::array<std::string, 6> textBeforeKeys_;
};

}  // namespace halcyra
