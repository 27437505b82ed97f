// Registering and removing the companion service, and preparing the shared data folder.
#pragma once

#include <string>

#include "service/data_folder_win.h"

namespace halcyra {

struct InstallOutcome {
  bool ok = false;
  // What happened, in a sentence or two, for the message box or the caller's log.
  std::string message;
};

// Refuses, changing nothing, when the executable or its folder can be changed by an account
// other than the system, administrators, Windows' installer and the installing account. Else
// registers "Halcyra_Service" (own process, automatic start, LocalService, the shutdown
// privilege as its only privilege, its own SID) for this executable, lets interactive users
// start, stop, query and interrogate it, prepares the data folder (data_folder_win.h) and starts
// the service. Optional settings that Windows refuses are listed in the message.
InstallOutcome InstallCompanionService(const std::string& exePath, const std::string& dataFolder,
                                       const PreparedSettings& settings = {});
// Stops and deletes the service; the data folder and its files stay.
InstallOutcome UninstallCompanionService();

}  // namespace halcyra
