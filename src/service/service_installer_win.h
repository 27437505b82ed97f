// Registering and removing the companion service, and preparing the shared data folder.
#pragma once

#include <string>

namespace halcyra {

struct InstallOutcome {
  bool ok = false;
  // What happened, in a sentence or two, for the message box or the caller's log.
  std::string message;
};

// Registers "Halcyra_Service" (own process, automatic start, LocalSystem) for this executable,
// lets interactive users start, stop, query and interrogate it, gives the local Users group
// modify rights on the data folder (inherited by new files), puts an empty settings file there
// when none exists, and starts the service.
// A prepared settings file, when given, is copied in after that: only where none exists unless
// overwriting is asked for.
struct PreparedSettings {
  std::string source;
  bool overwrite = false;
};
InstallOutcome InstallCompanionService(const std::string& exePath, const std::string& dataFolder,
                                       const PreparedSettings& settings = {});
// Stops and deletes the service; the data folder and its files stay.
InstallOutcome UninstallCompanionService();

}  // namespace halcyra
