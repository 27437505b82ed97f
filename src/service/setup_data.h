// What the package's custom actions hand each other. A prepared settings file is read by an
// action that runs as the installing user, so that the installation, which runs as the system,
// never opens a path that user could not read; its bytes travel to the action that writes the
// data folder inside the text Windows Installer passes on (CustomActionData).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "service/data_folder_security.h"

namespace halcyra {

// A settings file larger than this is no settings file.
inline constexpr std::size_t kMaxPreparedSettingsBytes = 1024 * 1024;

// The package property's words, "Writable" and "ReadOnly" in any case; empty means Writable.
std::optional<SharedSettings> SharedSettingsOf(const std::string& word);

// Why a SETTINGS path may not be read, or empty: it must be a drive path or a share, and never a
// device or object-manager path ("\\?\", "\\.\", "\??\", with either slash), through which a
// path reaches shadow copies, devices or other sessions' drive letters.
std::string PreparedPathRefusal(const std::string& path);

struct SetupData {
  bool overwrite = false;
  SharedSettings shared = SharedSettings::Writable;
  // The path the settings came from, for the log; empty without prepared settings.
  std::string source;
  std::optional<std::string> settings;  // the prepared file's bytes

  // "<overwrite>|<shared>|<source>|<bytes in hex>"; a path holds no "|".
  std::string Encode() const;
  // Also reads what the package sets before the settings are read: "<overwrite>|<shared>||".
  // nullopt for text of another form or an unknown word.
  static std::optional<SetupData> Decode(const std::string& text);
};

}  // namespace halcyra
