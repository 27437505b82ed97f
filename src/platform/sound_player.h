// Wave playback of an alarm file from memory, that does not wait.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace halcyra {

namespace sound_flags {
inline constexpr unsigned kOnce = 1;  // SND_ASYNC
inline constexpr unsigned kLoop = 9;  // SND_ASYNC + SND_LOOP
}  // namespace sound_flags

inline unsigned PlayFlags(bool loop) { return loop ? sound_flags::kLoop : sound_flags::kOnce; }

using SoundBytes = std::vector<char>;

// The file is opened once and played from what was read, so that what was checked is what
// plays.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Whether the path names a sound file that may be played: on this machine's own drives,
  // reached through no junction or symbolic link, not larger than the limit.
  virtual bool Playable(const std::string& path) const = 0;
  // The file read whole under the same rules; nothing when it may not be played or is missing.
  virtual std::optional<SoundBytes> Load(const std::string& path) const = 0;
  // Plays the bytes; the player keeps them while they play.
  virtual void Play(SoundBytes sound, unsigned flags) = 0;
  // Stops whatever this program plays.
  virtual void Stop(unsigned flags) = 0;
};

}  // namespace halcyra
