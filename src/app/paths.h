// The edition word and the places of the program's files, derived afresh at every call.
#pragma once

#include <string>

#include "platform/os_info.h"

namespace halcyra {

inline constexpr const char* kEditionWin9x = "Win9x";
inline constexpr const char* kEditionOldWinNt = "OldWinNt";
inline constexpr const char* kEditionNewWinNT = "NewWinNT";
inline constexpr const char* kEditionVista = "Vista";

inline constexpr const char* kSettingsFileName = "Halcyra.ini";

// "Win9x", "OldWinNt", "NewWinNT", "Vista", or empty for a version not recognised.
std::string GetOSEdition(const OsInfo& os);
// The editions with the NT kernel: privileges, waitable timers and services exist there.
bool IsNtFamily(const std::string& edition);
// The shared data folder without a trailing backslash; empty when it cannot be determined.
std::string GetDataFolder(const OsInfo& os);
// The data folder followed by "\Halcyra.ini"; empty with the data folder.
std::string GetSettingsPath(const OsInfo& os);

}  // namespace halcyra
