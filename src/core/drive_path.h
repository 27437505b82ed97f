// Whether a Windows path names a file on one of this machine's own drives.
#pragma once

#include <functional>
#include <string_view>

namespace halcyra {

// "X:\..." or "\\?\X:\..." on a drive that is not a network drive; `isNetworkDrive` is asked
// with the drive's letter. Every other form reaches outside the local drives or depends on the
// current folder: a server ("\\host\", "\\?\UNC\", WebDAV's "\\host@SSL\"), a device ("\\.\"),
// a path relative to the current folder or drive.
bool IsLocalDrivePath(std::string_view path, const std::function<bool(char)>& isNetworkDrive);

}  // namespace halcyra
