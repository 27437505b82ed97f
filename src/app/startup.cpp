#include "app/startup.h"

#include <exception>

#include "app/settings_keys.h"
#include "core/text.h"

namespace halcyra {

std::string FolderAccessMessage(const std::string& folder) {
  return "You must be given \"modify\" access to the folder: \"" + folder + "\".";
}

namespace {

constexpr int kExitRefused = 1;

void ShowError(const AppServices& services, const std::string& text) {
  services.boxes.Show(text, kAppTitle, mb::kOk | mb::kIconError);
}

// Writes the first-start record and AppPath. False when start-up cannot go on.
bool RecordFirstStart(const AppServices& services, const std::string& settingsPath,
                      const std::string& exePath) {
  try {
    SettingsFile file(services.ini, settingsPath, services.regional.Current());
    file.WriteString(kGeneralSection, kFirstStartKey, kFirstStartValue);
    if (GetOSEdition(services.os) == kEditionVista) services.state.firstRunOnVista = true;
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
  services.state.firstRunOnVista = false;

  const std::string dataFolder = GetDataFolder(services.os);
  const std::string settingsPath = JoinPath(dataFolder, kSettingsFileName);
  // Without a data folder the path would name the root of the current drive: no settings
  // file of this program can be there, so it counts as missing.
  if (dataFolder.empty() || !host.FileExists(settingsPath)) {
    ShowError(services, kMissingSettingsMessage);
    return kExitRefused;
  }

  const SettingsFile file(services.ini, settingsPath, services.regional.Current());
  const bool firstStart = file.ReadString(kGeneralSection, kFirstStartKey).empty();
  if (firstStart) {
    if (!RecordFirstStart(services, settingsPath, host.ExecutablePath())) return kExitRefused;
    host.RunWizard();
  }
  // An error that escapes the main window's creation or its loop ends the process with the
  // modify-access message, at a first start as at any other.
  try {
    return host.RunMainWindow(firstStart);
  } catch (const std::exception&) {
    ShowError(services, FolderAccessMessage(GetDataFolder(services.os)));
    return kExitRefused;
  }
}

}  // namespace halcyra
