// The countdown's alarm: the chosen wave file at the chosen master volume.
#pragma once

#include <cstdint>

#include "app/settings.h"
#include "platform/audio_mixer.h"
#include "platform/sound_player.h"
#include "platform/text_files.h"

namespace halcyra {

struct AlarmServices {
  AudioMixer& mixer;
  SoundPlayer& player;
};

struct AlarmState {
  bool AlarmStarted = false;
  // The master volume before the alarm's; 0 when none was saved.
  std::uint16_t SavedVolume = 0;
};

// When the alarm is enabled: applies its volume (keeping the old one) and plays its file,
// if the file exists; marks the alarm started either way.
void StartAlarm(const SoundSettings& settings, const AlarmServices& services, AlarmState& state);
// Stops the sound; the volume is put back when the countdown window closes.
void StopAlarm(const SoundSettings& settings, const AlarmServices& services);
// The same stop, for "Abort".
void StopAlarmSound(const SoundSettings& settings, const AlarmServices& services);

}  // namespace halcyra
