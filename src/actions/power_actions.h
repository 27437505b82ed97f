// The six ways the program ends the session or changes the power state. Each asks for the
// edition of Windows, takes the shutdown privilege on the NT family and makes its call;
// none reports a result.
#pragma once

#include <string>

#include "platform/machine_control.h"
#include "platform/message_box.h"
#include "platform/os_info.h"
#include "platform/shutdown_privilege.h"

namespace halcyra {

inline constexpr const char* kUnsupportedWindowsMessage =
    "Halcyra does not support this version of Windows.";

namespace exit_flags {
inline constexpr unsigned kPowerOff = 12;  // EWX_POWEROFF + EWX_FORCE
inline constexpr unsigned kShutdown = 13;  // EWX_SHUTDOWN + EWX_FORCE + EWX_POWEROFF
inline constexpr unsigned kReboot = 6;     // EWX_REBOOT + EWX_FORCE
inline constexpr unsigned kLogOff = 4;     // EWX_LOGOFF + EWX_FORCE
}  // namespace exit_flags

struct PowerServices {
  const OsInfo& os;
  ShutdownPrivilege& privilege;
  MachineControl& machine;
  MessageBoxes& boxes;
};

void PowerOffComputer(const PowerServices& services);
void ShutdownWindows(const PowerServices& services);
void RebootComputer(const PowerServices& services);
void LogOffUser(const PowerServices& services);
void HibernateComputer(const PowerServices& services);
void SuspendComputer(const PowerServices& services);

}  // namespace halcyra
