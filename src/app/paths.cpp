#include "app/paths.h"

#include "core/text.h"

namespace halcyra {
namespace {

constexpr const char* kFolderName = "Halcyra";

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
  // Every edition this program runs on keeps shared data in the shell's common application-data
  // folder; a version with no edition word has none.
  if (GetOSEdition(os).empty()) return "";
  const auto common = os.CommonAppDataFolder();
  if (!common) return "";
  return JoinPath(*common, kFolderName);
}

std::string GetSettingsPath(const OsInfo& os) {
  const std::string folder = GetDataFolder(os);
  return folder.empty() ? "" : JoinPath(folder, kSettingsFileName);
}

}  // namespace halcyra
