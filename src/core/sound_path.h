// Which sound paths the alarm and its preview may touch. The path comes from the shared settings
// file, which every user may write: a path to another computer would make the session that
// plays it, perhaps an administrator's, sign in to that computer with its own credentials. A
// local-looking path can lead there too, through a junction to an object-manager folder that
// holds a link to a share; so the path is walked component by component, and a name surrogate
// (junction, symbolic link) anywhere on the way makes the file missing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace halcyra {

// The longest alarm file read into memory: an hour of CD-quality wave is about 600 MB, and no
// alarm needs more than minutes.
inline constexpr std::uint64_t kSoundFileLimit = 64ull << 20;

// A junction, a symbolic link and the like: a reparse point that names another object
// (IsReparseTagNameSurrogate). A cloud file's placeholder is a reparse point that is not.
inline bool IsNameSurrogate(std::uint32_t reparseTag) { return (reparseTag & 0x20000000u) != 0; }

// "C:\a\b\c.wav" gives "C:\a", "C:\a\b", "C:\a\b\c.wav"; "\\?\C:\a.wav" gives "\\?\C:\a.wav".
// Both separators count. The root itself is no component.
std::vector<std::string> PathComponents(const std::string& drivePath);

// The reparse tag of one component as opened without following it (0: a plain object), or
// nothing when it cannot be opened or read.
using ReparseTagOf = std::function<std::optional<std::uint32_t>(const std::string& component)>;

// Every component there and none of them a name surrogate.
bool ReachedWithoutLinks(const std::string& drivePath, const ReparseTagOf& tagOf);

}  // namespace halcyra
