#include "actions/alarm.h"

#include "actions/sound_path.h"
#include "app/settings_keys.h"

namespace halcyra {

void StartAlarm(const SettingsFile& file, const AlarmServices& services, AlarmState& state) {
  if (!file.IsOn(kSoundSection, kSoundEnabledKey)) return;
  if (SoundFileExists(file.ReadString(kSoundSection, kSoundPathKey), services.files,
                      services.player)) {
    if (file.IsOn(kSoundSection, kSetVolumeKey)) {
      state.SavedVolume = services.mixer.GetMasterVolume();
      services.mixer.SetMasterVolume(
          static_cast<std::uint16_t>(file.ReadInteger(kSoundSection, kVolumeKey, 0) & 0xFFFF));
    }
    services.player.Play(file.ReadString(kSoundSection, kSoundPathKey),
                         PlayFlags(file.IsOn(kSoundSection, kLoopReadKey)));
  }
  state.AlarmStarted = true;
}

void StopAlarm(const SettingsFile& file, const AlarmServices& services) {
  services.player.Stop(PlayFlags(file.IsOn(kSoundSection, kLoopReadKey)));
}

void StopAlarmSound(const SettingsFile& file, const AlarmServices& services) {
  StopAlarm(file, services);
}

}  // namespace halcyra
