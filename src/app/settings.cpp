#include "app/settings.h"

namespace halcyra {

GeneralSettings LoadGeneralSettings(const SettingsFile& file) {
  return {file.IsOn(kGeneralSection, kShowSystemTrayKey),
          file.IsOn(kGeneralSection, kPreventTimeChangeKey),
          file.ReadString(kGeneralSection, kDurationKey),
          file.IsOn(kGeneralSection, kEnableAbortKey)};
}

SoundSettings LoadSoundSettings(const SettingsFile& file) {
  return {file.IsOn(kSoundSection, kSoundEnabledKey), file.ReadString(kSoundSection, kSoundPathKey),
          file.IsOn(kSoundSection, kLoopReadKey), file.IsOn(kSoundSection, kSetVolumeKey),
          file.ReadInteger(kSoundSection, kVolumeKey, 0)};
}

bool CleanupTaskOn(const SettingsFile& file, std::size_t task) {
  return file.IsOn(kCleanupSection, kCleanupKeys.at(task));
}

LogSettings LoadLogSettings(const SettingsFile& file) {
  return {file.IsOn(kLogSection, kLogEnabledKey),
          file.ReadDateTime(kLogSection, kLastRebootTimeKey, 0)};
}

HotkeySettings LoadHotkeySettings(const SettingsFile& file) {
  HotkeySettings texts;
  for (std::size_t i = 0; i < texts.size(); ++i)
    texts[i] = file.ReadString(kHotkeysSection, kHotkeyKeys[i]);
  return texts;
}

PasswordSettings LoadPasswordSettings(const SettingsFile& file) {
  return {file.IsOn(kPasswordSection, kPasswordEnabledKey),
          file.ReadString(kPasswordSection, kPasswordKey)};
}

Settings LoadSettings(const SettingsFile& file) {
  Settings settings;
  settings.general = LoadGeneralSettings(file);
  settings.sound = LoadSoundSettings(file);
  for (std::size_t i = 0; i < settings.cleanUp.size(); ++i)
    settings.cleanUp[i] = CleanupTaskOn(file, i);
  settings.log = LoadLogSettings(file);
  settings.hotkeys = LoadHotkeySettings(file);
  settings.password = LoadPasswordSettings(file);
  return settings;
}

void SaveGeneralSettings(SettingsFile& file, const GeneralSettings& general,
                         const std::function<void()>& guardWritten) {
  file.WriteString(kGeneralSection, kShowSystemTrayKey, FlagText(general.showSystemTray));
  file.WriteString(kGeneralSection, kPreventTimeChangeKey, FlagText(general.preventTimeChange));
  if (guardWritten) guardWritten();
  file.WriteString(kGeneralSection, kDurationKey, general.duration);
  file.WriteString(kGeneralSection, kEnableAbortKey, FlagText(general.enableAbort));
}

void SaveHotkeySetting(SettingsFile& file, std::size_t slot, const std::string& text) {
  file.WriteString(kHotkeysSection, kHotkeyKeys.at(slot), text.empty() ? kNoHotkeyText : text);
}

void SaveSoundSettings(SettingsFile& file, const SoundSettings& sound) {
  if (!sound.enabled) {
    file.WriteString(kSoundSection, kSoundEnabledKey, SoundFlagText(false));
    return;
  }
  file.WriteString(kSoundSection, kSoundEnabledKey, SoundFlagText(true));
  file.WriteString(kSoundSection, kSoundPathKey, sound.path);
  file.WriteString(kSoundSection, kLoopKey, SoundFlagText(sound.loop));
  file.WriteString(kSoundSection, kSetVolumeKey, SoundFlagText(sound.setVolume));
  file.WriteInteger(kSoundSection, kVolumeKey, sound.volume);
}

void SaveCleanupSettings(SettingsFile& file, const CleanupSettings& cleanUp) {
  for (std::size_t i = 0; i < kCleanupKeys.size(); ++i)
    file.WriteString(kCleanupSection, kCleanupKeys[i], FlagText(cleanUp[i]));
}

void SavePasswordSettings(SettingsFile& file, bool enabled,
                          const std::optional<std::string>& newDigest) {
  if (!enabled) {
    file.WriteString(kPasswordSection, kPasswordEnabledKey, FlagText(false));
    file.DeleteKey(kPasswordSection, kPasswordKey);
  } else if (newDigest) {
    file.WriteString(kPasswordSection, kPasswordEnabledKey, FlagText(true));
    file.WriteString(kPasswordSection, kPasswordKey, *newDigest);
  }
}

void SaveLogEnabled(SettingsFile& file, bool enabled) {
  file.WriteString(kLogSection, kLogEnabledKey, FlagText(enabled));
}

void StampLastReboot(SettingsFile& file, DateTime when) {
  file.WriteDateTime(kLogSection, kLastRebootTimeKey, when);
}

}  // namespace halcyra
