#include "actions/alarm.h"

#include <utility>

namespace halcyra {

void StartAlarm(const SoundSettings& settings, const AlarmServices& services, AlarmState& state) {
  if (!settings.enabled) return;
  if (auto sound = services.player.Load(settings.path)) {
    if (settings.setVolume) {
      state.SavedVolume = services.mixer.GetMasterVolume();
      services.mixer.SetMasterVolume(static_cast<std::uint16_t>(settings.volume & 0xFFFF));
    }
    services.player.Play(std::move(*sound), PlayFlags(settings.loop));
  }
  state.AlarmStarted = true;
}

void StopAlarm(const SoundSettings& settings, const AlarmServices& services) {
  services.player.Stop(PlayFlags(settings.loop));
}

void StopAlarmSound(const SoundSettings& settings, const AlarmServices& services) {
  StopAlarm(settings, services);
}

}  // namespace halcyra
