// Which sound paths the alarm and its preview may touch. The path comes from the shared settings
// file, which every user may write: a path to another computer would make the session that
// plays it, perhaps an administrator's, sign in to that computer with its own credentials. So
// only a file the player counts as local is a sound file; anything else is missing.
#pragma once

#include <string>

#include "platform/sound_player.h"
#include "platform/text_files.h"

namespace halcyra {

// A sound file that may be played: local, and there. Locality is asked first, so that even the
// existence test never reaches another computer.
inline bool SoundFileExists(const std::string& path, const TextFiles& files,
                            const SoundPlayer& player) {
  return player.IsLocalFile(path) && files.Exists(player.FilePath(path));
}

}  // namespace halcyra
