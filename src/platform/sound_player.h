// Wave playback of a file that does not wait.
#pragma once

#include <string>

namespace halcyra {

namespace sound_flags {
inline constexpr unsigned kOnce = 1;  // SND_ASYNC
inline constexpr unsigned kLoop = 9;  // SND_ASYNC + SND_LOOP
}  // namespace sound_flags

inline unsigned PlayFlags(bool loop) { return loop ? sound_flags::kLoop : sound_flags::kOnce; }

// A sound's name is text of the ANSI code page, as the settings file and the sound path's field
// hold it.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(const std::string& name, unsigned flags) = 0;
  // Stops whatever this program plays.
  virtual void Stop(unsigned flags) = 0;
  // Whether the path names a file on this machine's own drives.
  virtual bool IsLocalFile(const std::string& path) const = 0;
  // The name as a path of the program, for the file functions.
  virtual std::string FilePath(const std::string& name) const = 0;
};

}  // namespace halcyra
