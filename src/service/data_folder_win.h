// Making the shared data folder safe: what data_folder_security.h describes, put in place
// through handles that do not follow links, so that nothing a user planted by that name (a
// link to elsewhere, a folder made before the installation) receives the rights.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "service/data_folder_security.h"

namespace halcyra {

// A settings file to put in place: only where none exists unless overwriting is asked for.
struct PreparedSettings {
  std::string source;                  // where it came from, for the notes
  std::optional<std::string> content;  // its bytes; nullopt: no prepared settings
  bool overwrite = false;
  // Keeps the bytes an overwrite replaces in a file of that name beside the settings, so that
  // an installation that fails later can put them back; empty: kept nowhere.
  std::string backupName;
};

struct FolderOutcome {
  std::string failure;             // empty on success
  std::vector<std::string> notes;  // what was moved aside, and why
};

// Reads a prepared settings file with the rights of the calling account: a drive path or a
// share (prepared_settings.h), a plain file that is no link itself, of at most
// kMaxPreparedSettingsBytes. nullopt with the reason in `failure`.
std::optional<std::string> ReadPreparedSettings(const std::string& source, std::string& failure);

// The folder, the settings file and the log with their rights (`mode`: who may change the
// shared files); an empty file where none is, or the prepared settings. A folder that is a link
// or belongs to an account the installation does not trust, and a shared file that is not a
// plain file with one link, is renamed aside (aside_name.h; nothing is deleted) and made anew.
// `installingAccount` is the SID of the account that runs the installation.
FolderOutcome PrepareDataFolder(const std::string& folder, const PreparedSettings& prepared,
                                SharedSettings mode, const std::string& serviceSid,
                                const std::string& installingAccount);

// Puts the bytes kept in the backup `backupName` back into the settings file, then removes the
// backup; nothing when there is none. Empty, or the reason it failed.
std::string RestoreSettingsBackup(const std::string& folder, const std::string& backupName);
// Removes the backup once the installation stands.
void DropSettingsBackup(const std::string& folder, const std::string& backupName);

}  // namespace halcyra
