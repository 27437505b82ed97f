#include "app/startup.h"

#include <exception>

#include "app/settings_keys.h"
#include "core/text.h"
#include "lang/texts.h"

namespace halcyra {

std::string FolderAccessMessage(const std::string& folder) {
  return Tr("You must be given \"modify\" access to the folder: \"%1\".", {folder});
}

namespace {

constexpr int kExitRefused = 1;

void ShowError(const AppServices& services, const std::string& text) {
  services.boxes.Show(text, kAppTitle, mb::kOk | mb::kIconError);
}

// Writes the first-start record and AppPath; notes whether the record was written on "Vista".
// False when start-up cannot go on.
bool RecordFirstStart(const AppServices& services, const std::string& settingsPath,
                      const std::string& exePath, MainWindowStart& start) {
  try {
    SettingsFile file(services.ini, settingsPath, services.regional.Current());
    file.WriteString(kGeneralSection, kFirstStartKey, kFirstStartValue);
    start.firstRunOnVista = GetOSEdition(services.os) == kEditionVista;
  } catch (const SettingsWriteError&) {
    ShowError(services, FolderAccessMessage(GetDataFolder(services.os)));
  }
  try {
    services.OpenSettings().WriteString(kGeneralSection, kAppPathKey, exePath);
  } catch (const SettingsWriteError& error) {
    ShowError(services, error.what());
    return false;
  }
  return true;
}

}  // namespace

int RunStartup(StartupHost& host, const AppServices& services) {
  if (host.InstanceAlreadyRunning()) {
    host.AskRunningInstanceToShow();
    return 0;
  }
  const std::string dataFolder = GetDataFolder(services.os);
  const std::string settingsPath = JoinPath(dataFolder, kSettingsFileName);
  // Without a data folder the path would name the root of the current drive: no settings
  // file of this program can be there, so it counts as missing.
  if (dataFolder.empty() || !host.FileExists(settingsPath)) {
    ShowError(services, Tr(kMissingSettingsMessage));
    return kExitRefused;
  }

  const SettingsFile file(services.ini, settingsPath, services.regional.Current());
  MainWindowStart start;
  start.show = file.ReadString(kGeneralSection, kFirstStartKey).empty();
  if (start.show) {
    if (!RecordFirstStart(services, settingsPath, host.ExecutablePath(), start))
      return kExitRefused;
    host.RunWizard();
  }
  // An error that escapes the main window's creation or its loop ends the process with the
  // modify-access message, at a first start as at any other.
  try {
    return host.RunMainWindow(start);
  } catch (const std::exception&) {
    ShowError(services, FolderAccessMessage(GetDataFolder(services.os)));
    return kExitRefused;
  }
}

}  // namespace halcyra
