#include "app/paths.h"

#include "core/text.h"

namespace halcyra {
namespace {

constexpr const char* kFolderName = "Halcyra";
// Windows 98 keeps the all-users profile below the Windows directory.
constexpr const char* kWin98AllUsersData = "All Users\\Application Data\\";

bool IsWindows98(const OsVersion& v) { return v.major == 4 && v.minor == 10; }

bool AsksShell(const OsVersion& v) {
  return v.major >= 5 || (v.major == 4 && (v.minor == 90 || v.minor == 0));
}

}  // namespace

std::string GetOSEdition(const OsInfo& os) {
  const OsVersion v = os.Version();
  if (v.major >= 6) return kEditionVista;
  if (v.major == 5) return kEditionNewWinNT;
  if (v.major == 4 && (v.minor == 10 || v.minor == 90)) return kEditionWin9x;
  if (v.major == 4 && v.minor == 0) return kEditionOldWinNt;
  return "";
}

bool IsNtFamily(const std::string& edition) {
  return edition == kEditionNewWinNT || edition == kEditionOldWinNt || edition == kEditionVista;
}

std::string GetDataFolder(const OsInfo& os) {
  const OsVersion v = os.Version();
  if (IsWindows98(v))
    return JoinPath(os.WindowsDirectory(), std::string(kWin98AllUsersData) + kFolderName);
  if (!AsksShell(v)) return "";
  const auto common = os.CommonAppDataFolder();
  if (!common) return "";
  return JoinPath(*common, kFolderName);
}

std::string GetSettingsPath(const OsInfo& os) {
  const std::string folder = GetDataFolder(os);
  return folder.empty() ? "" : JoinPath(folder, kSettingsFileName);
}

}  // namespace halcyra
