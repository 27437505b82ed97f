#include "actions/alarm.h"

namespace halcyra {

void StartAlarm(const SettingsFile& file, const AlarmServices& services, AlarmState& state) {
  if (!file.IsOn("Sound", "Enabled")) return;
  if (services.files.Exists(file.ReadString("Sound", "SoundPath"))) {
    if (file.IsOn("Sound", "SetVolume")) {
      state.SavedVolume = services.mixer.GetMasterVolume();
      services.mixer.SetMasterVolume(
          static_cast<std::uint16_t>(file.ReadInteger("Sound", "Volume", 0) & 0xFFFF));
    }
    services.player.Play(file.ReadString("Sound", "SoundPath"),
                         PlayFlags(file.IsOn("Sound", "loop")));
  }
  state.AlarmStarted = true;
}

void StopAlarm(const SettingsFile& file, const AlarmServices& services) {
  services.player.Stop(PlayFlags(file.IsOn("Sound", "loop")));
}

void StopAlarmSound(const SettingsFile& file, const AlarmServices& services) {
  StopAlarm(file, services);
}

}  // namespace halcyra
