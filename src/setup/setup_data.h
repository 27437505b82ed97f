// What the package's custom actions hand each other. A prepared settings file is read by an
// action that runs as the installing user, so that the installation, which runs as the system,
// never opens a path that user could not read; its bytes travel to the action that writes the
// data folder inside the text Windows Installer passes on (CustomActionData).
#pragma once

#include <optional>
#include <string>

#include "service/prepared_settings.h"

namespace halcyra {

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
