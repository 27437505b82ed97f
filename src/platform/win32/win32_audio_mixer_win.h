#pragma once

#include "platform/audio_mixer.h"

namespace halcyra {

// Mixer device 0, the speakers' destination line, its volume control, one channel.
class Win32AudioMixer final : public AudioMixer {
 public:
  unsigned DeviceCount() const override;
  std::uint16_t GetMasterVolume() const override;
  void SetMasterVolume(std::uint16_t volume) override;
};

}  // namespace halcyra
