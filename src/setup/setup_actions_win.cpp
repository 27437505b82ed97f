// HalcyraSetup.dll: the package's custom actions for the install folder and the shared data
// folder. Windows Installer registers, starts and removes the service itself (its service
// tables); this library checks where the programs go as /INSTALL does, prepares the data folder,
// puts a prepared settings file in place, and says what it did and why it failed in the
// installer's own log, where an administrator looks (msiexec /l*v).
#include <windows.h>

#include <msi.h>

#include <msiquery.h>

#include <optional>
#include <string>
#include <vector>

#include "app/paths.h"
#include "platform/service_names.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "service/data_folder_win.h"
#include "service/service_installer_win.h"
#include "service/service_sid_win.h"
#include "setup/setup_data.h"

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
  return Utf8(std::wstring_view(value.data(), length));
}

void Say(MSIHANDLE install, INSTALLMESSAGE kind, const std::string& text) {
  // PMSIHANDLE closes the record when it goes.
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, Wide("Halcyra: " + text).c_str());
  MsiProcessMessage(install, kind, record);
}

UINT Fail(MSIHANDLE install, const std::string& text) {
  Say(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
  return ERROR_INSTALL_FAILURE;
}

std::string DataFolder() { return GetDataFolder(Win32OsInfo()); }

// Each action runs in a custom-action server process of its own: before it opens a path, that
// process stops following junctions that a standard user made.
void Harden() { TrustOnlyAdministratorsRedirections(); }

}  // namespace

// Immediate, so as the installing user, on a first installation or a major upgrade only (the
// package's condition): a repair, which a standard user may start, reads no file. The bytes go
// to PrepareDataFolder in its CustomActionData.
extern "C" __declspec(dllexport) UINT __stdcall ReadPreparedSettings(MSIHANDLE install) {
  Harden();
  SetupData data;
  data.overwrite = Property(install, L"SETTINGS_OVERWRITE") == "1";
  const std::string shared = Property(install, L"SHARED_SETTINGS");
  const std::optional<SharedSettings> mode = SharedSettingsOf(shared);
  if (!mode)
    return Fail(install, "SHARED_SETTINGS=\"" + shared + "\" is neither Writable nor ReadOnly.");
  data.shared = *mode;
  data.source = Property(install, L"SETTINGS");
  std::string failure;
  data.settings = halcyra::ReadPreparedSettings(data.source, failure);
  if (!data.settings) return Fail(install, failure);
  if (MsiSetPropertyW(install, L"PrepareDataFolder", Wide(data.Encode()).c_str()) != ERROR_SUCCESS)
    return Fail(install, "The prepared settings could not be handed on.");
  return ERROR_SUCCESS;
}

// Deferred, as the system, before the files are installed. CustomActionData: INSTALLDIR.
extern "C" __declspec(dllexport) UINT __stdcall CheckInstallFolder(MSIHANDLE install) {
  Harden();
  std::string folder = Property(install, L"CustomActionData");
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  const std::optional<std::string> me = ProcessAccountSid();
  if (!me) return Fail(install, "The accounts of the installation could not be read.");
  std::string refusal;
  const std::optional<std::string> final = TrustedInstallFolder(folder, *me, refusal);
  if (!final)
    return Fail(install, "INSTALLDIR=\"" + folder + "\" is refused: " + refusal +
                             "; install into a folder that only administrators can change, such "
                             "as Program Files.");
  Say(install, INSTALLMESSAGE_INFO, "The install folder \"" + *final + "\" is protected.");
  return ERROR_SUCCESS;
}

// Deferred, as the system. CustomActionData: SetupData (setup_data.h).
extern "C" __declspec(dllexport) UINT __stdcall PrepareDataFolder(MSIHANDLE install) {
  Harden();
  const std::optional<SetupData> data = SetupData::Decode(Property(install, L"CustomActionData"));
  if (!data)
    return Fail(install,
                "SHARED_SETTINGS is neither Writable nor ReadOnly, or the prepared settings did "
                "not arrive whole.");
  const PreparedSettings prepared{data->source, data->settings, data->overwrite, kBackupName};
  const std::optional<std::string> me = ProcessAccountSid();
  const std::optional<std::string> service = ServiceSid(kCompanionServiceName);
  if (!me || !service) return Fail(install, "The accounts of the installation could not be read.");
  const std::string folder = DataFolder();
  const FolderOutcome outcome = PrepareDataFolder(folder, prepared, data->shared, *service, *me);
  for (const std::string& note : outcome.notes) Say(install, INSTALLMESSAGE_INFO, note);
  if (!outcome.failure.empty()) return Fail(install, outcome.failure);
  Say(install, INSTALLMESSAGE_INFO,
      "The data folder \"" + folder + "\" is prepared" +
          (data->shared == SharedSettings::ReadOnly ? ", its settings read-only for users" : "") +
          (data->settings ? ", with the settings of \"" + data->source + "\"." : "."));
  return ERROR_SUCCESS;
}

// Rollback, scheduled before it: the settings an overwrite replaced come back. The folder, its
// rights and the files it made stay: they hold nothing yet, and the next installation uses them.
extern "C" __declspec(dllexport) UINT __stdcall RollBackDataFolder(MSIHANDLE install) {
  Harden();
  const std::string problem = RestoreSettingsBackup(DataFolder(), kBackupName);
  if (!problem.empty()) Say(install, INSTALLMESSAGE_INFO, problem);
  return ERROR_SUCCESS;
}

// Commit: the installation stands, the kept settings go.
extern "C" __declspec(dllexport) UINT __stdcall CommitDataFolder(MSIHANDLE) {
  Harden();
  DropSettingsBackup(DataFolder(), kBackupName);
  return ERROR_SUCCESS;
}
