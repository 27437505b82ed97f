// HalcyraSetup.dll: the package's custom actions for the shared data folder. Windows Installer
// registers, starts and removes the service itself (its service tables); this library prepares
// the folder as /INSTALL does, puts a prepared settings file in place, and says what it did and
// why it failed in the installer's own log, where an administrator looks (msiexec /l*v).
#include <windows.h>

#include <msi.h>

#include <msiquery.h>

#include <optional>
#include <string>
#include <vector>

#include "app/paths.h"
#include "platform/service_names.h"
#include "platform/win32/wide_path_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "service/data_folder_win.h"
#include "service/service_sid_win.h"

namespace {

using namespace halcyra;

// Where an overwritten settings file waits until the installation stands or is rolled back.
constexpr const char* kBackupName = "Halcyra.ini.before-install";

// Paths inside are UTF-8: the property is read in the installer's own wide text.
std::string Property(MSIHANDLE install, const wchar_t* name) {
  DWORD length = 0;
  wchar_t empty[1] = L"";
  MsiGetPropertyW(install, name, empty, &length);
  std::vector<wchar_t> value(length + 1);
  length = static_cast<DWORD>(value.size());
  if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS) return "";
  return NarrowPath(std::wstring_view(value.data(), length));
}

void Say(MSIHANDLE install, INSTALLMESSAGE kind, const std::string& text) {
  // PMSIHANDLE closes the record when it goes.
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, WidePath("Halcyra: " + text).c_str());
  MsiProcessMessage(install, kind, record);
}

UINT Fail(MSIHANDLE install, const std::string& text) {
  Say(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
  return ERROR_INSTALL_FAILURE;
}

// A path the installer service reads as it stands: a drive path or a share. A relative one
// would be read from the installer's own current folder, System32.
bool IsFullPath(const std::string& path) {
  return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         path.rfind("\\\\", 0) == 0;
}

std::string DataFolder() { return GetDataFolder(Win32OsInfo()); }

}  // namespace

// Deferred, as the system. CustomActionData: "<SETTINGS_OVERWRITE>|<SETTINGS>".
extern "C" __declspec(dllexport) UINT __stdcall PrepareDataFolder(MSIHANDLE install) {
  const std::string data = Property(install, L"CustomActionData");
  const size_t bar = data.find('|');
  PreparedSettings prepared;
  prepared.overwrite = bar != std::string::npos && data.substr(0, bar) == "1";
  prepared.source = bar == std::string::npos ? "" : data.substr(bar + 1);
  prepared.backupName = kBackupName;
  if (!prepared.source.empty() && !IsFullPath(prepared.source))
    return Fail(install, "SETTINGS=\"" + prepared.source +
                             "\" is not a full path; Windows Installer would read it from its own "
                             "folder. Give a drive path or a share (\\\\server\\share\\file) "
                             "that the computer account may read.");
  const std::optional<std::string> me = ProcessAccountSid();
  const std::optional<std::string> service = ServiceSid(kCompanionServiceName);
  if (!me || !service) return Fail(install, "The accounts of the installation could not be read.");
  const std::string folder = DataFolder();
  const FolderOutcome outcome = PrepareDataFolder(folder, prepared, *service, *me);
  for (const std::string& note : outcome.notes) Say(install, INSTALLMESSAGE_INFO, note);
  if (!outcome.failure.empty()) return Fail(install, outcome.failure);
  Say(install, INSTALLMESSAGE_INFO,
      "The data folder \"" + folder + "\" is prepared" +
          (prepared.source.empty() ? "." : " with the settings of \"" + prepared.source + "\"."));
  return ERROR_SUCCESS;
}

// Rollback, scheduled before it: the settings an overwrite replaced come back. The folder, its
// rights and the files it made stay: they hold nothing yet, and the next installation uses them.
extern "C" __declspec(dllexport) UINT __stdcall RollBackDataFolder(MSIHANDLE install) {
  const std::string problem = RestoreSettingsBackup(DataFolder(), kBackupName);
  if (!problem.empty()) Say(install, INSTALLMESSAGE_INFO, problem);
  return ERROR_SUCCESS;
}

// Commit: the installation stands, the kept settings go.
extern "C" __declspec(dllexport) UINT __stdcall CommitDataFolder(MSIHANDLE) {
  DropSettingsBackup(DataFolder(), kBackupName);
  return ERROR_SUCCESS;
}
