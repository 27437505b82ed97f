// The master volume of the speakers through the audio mixer, 0 to 65535.
#pragma once

#include <cstdint>

namespace halcyra {

class AudioMixer {
 public:
  virtual ~AudioMixer() = default;
  virtual unsigned DeviceCount() const = 0;
  // 0 when there is no mixer device or a step fails, so that callers restore nothing.
  virtual std::uint16_t GetMasterVolume() const = 0;
  // Sets all channels alike; silently nothing without a device.
  virtual void SetMasterVolume(std::uint16_t volume) = 0;
};

}  // namespace halcyra
