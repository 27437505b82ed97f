#include "actions/alarm.h"

#include <utility>

#include "app/settings_keys.h"

namespace halcyra {

void StartAlarm(const SettingsFile& file, const AlarmServices& services, AlarmState& state) {
  if (!file.IsOn(kSoundSection, kSoundEnabledKey)) return;
  if (auto sound = services.player.Load(file.ReadString(kSoundSection, kSoundPathKey))) {
    if (file.IsOn(kSoundSection, kSetVolumeKey)) {
      state.SavedVolume = services.mixer.GetMasterVolume();
      services.mixer.SetMasterVolume(
          static_cast<std::uint16_t>(file.ReadInteger(kSoundSection, kVolumeKey, 0) & 0xFFFF));
    }
    services.player.Play(std::move(*sound), PlayFlags(file.IsOn(kSoundSection, kLoopReadKey)));
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
