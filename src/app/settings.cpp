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

}  // namespace halcyra
