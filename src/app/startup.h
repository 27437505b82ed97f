// The program's entry logic: one instance, the settings file's presence, the first start.
#pragma once

#include <string>

#include "app/app_services.h"
#include "app/settings_keys.h"
#include "lang/texts.h"

namespace halcyra {

inline constexpr Text kMissingSettingsMessage =
    "The setting file of Halcyra is missing, please uninstall Halcyra and re-install it.";

// "You must be given "modify" access to the folder: "<folder>"."
std::string FolderAccessMessage(const std::string& folder);

// What creating the single-instance mutex reported.
enum class InstanceMutex {
  Created,
  AlreadyExists,
  // The mutex exists but this process may not open it: it belongs to an instance that runs
  // elevated (or as another user), which is still another instance.
  AccessDenied,
  Failed,
};
inline bool AnotherInstanceRuns(InstanceMutex mutex) {
  return mutex == InstanceMutex::AlreadyExists || mutex == InstanceMutex::AccessDenied;
}

// How the main window starts: shown at a first start, and whether this process wrote the
// first-start record on an edition "Vista".
struct MainWindowStart {
  bool show = false;
  bool firstRunOnVista = false;
};

class StartupHost {
 public:
  virtual ~StartupHost() = default;
  // Creates the single-instance mutex, owned; true when another instance already holds it.
  virtual bool InstanceAlreadyRunning() = 0;
  // Asks the running instance to show its main window and waits until it has.
  virtual void AskRunningInstanceToShow() = 0;
  virtual bool FileExists(const std::string& path) const = 0;
  virtual std::string ExecutablePath() const = 0;
  // Shows the first-run wizard modally and returns when it has closed, whatever closed it.
  virtual void RunWizard() = 0;
  // Creates the main window, shown or hidden, and runs the message loop; returns the exit
  // code. An error of creation or of the loop escapes as an exception.
  virtual int RunMainWindow(const MainWindowStart& start) = 0;
};

// Returns the process exit code.
int RunStartup(StartupHost& host, const AppServices& services);

}  // namespace halcyra
