// The system services that the windows and operations of the program work through. The
// Windows build fills it with the real implementations; tests fill it with fakes.
#pragma once

#include "app/paths.h"
#include "app/policies.h"
#include "app/settings_file.h"
#include "platform/ini_profile.h"
#include "platform/machine_control.h"
#include "platform/message_box.h"
#include "platform/os_info.h"
#include "platform/regional_settings.h"

namespace halcyra {

struct AppServices {
  const OsInfo& os;
  IniProfile& ini;
  const RegionalSettings& regional;
  MessageBoxes& boxes;
  MachineControl& machine;
  // The organisation's policies as last read; read again when Windows says they changed.
  PolicyWatch& policies;

  // The settings file at its usual place, opened for one operation.
  SettingsFile OpenSettings() const {
    return SettingsFile(ini, GetSettingsPath(os), regional.Current());
  }
};

inline constexpr const char* kAppTitle = "Halcyra";

}  // namespace halcyra
