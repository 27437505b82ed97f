// Registering and removing the companion service, and preparing the shared data folder.
#pragma once

#include <optional>
#include <string>

#include "service/data_folder_win.h"

namespace halcyra {

struct InstallOutcome {
  bool ok = false;
  // What happened, in a sentence or two, for the message box or the caller's log.
  std::string message;
};

// The path Windows resolves `folder` to (a drive path), when programs installed there cannot be
// replaced by an account the installation does not trust (trusted_accounts.h,
// ExposedInstallFolder); a folder that does not exist yet counts with what it would inherit.
// nullopt with the reason in `refusal`.
std::optional<std::string> TrustedInstallFolder(const std::string& folder,
                                                const std::string& installingAccount,
                                                std::string& refusal);

// Refuses, changing nothing, when the executable or its folder can be changed by an account
// other than the system, administrators, Windows' installer and the installing account, or a
// folder on its way is a link. Else registers "Halcyra_Service" (own process, automatic start,
// LocalService, the shutdown privilege as its only privilege, its own SID) for the executable's
// final path, lets interactive users
// start, stop, query and interrogate it, prepares the data folder (data_folder_win.h) and starts
// the service. Optional settings that Windows refuses are listed in the message.
// `trustInstallingAccount` adds the account that runs it to the trusted writers of the program's
// folder and the data folder.
InstallOutcome InstallCompanionService(const std::string& exePath, const std::string& dataFolder,
                                       const PreparedSettings& settings,
                                       bool trustInstallingAccount);
// Stops and deletes the service; the data folder and its files stay.
InstallOutcome UninstallCompanionService();

}  // namespace halcyra
