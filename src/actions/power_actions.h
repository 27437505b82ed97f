// The six ways the program ends the session or changes the power state. Each asks for the
// edition of Windows, takes the shutdown privilege and makes its call.
// The result says only whether Windows accepted the request (false also for an edition not
// supported, after its message, and for a sleep state the machine does not allow); the actions
// themselves report nothing.
#pragma once

#include <string>

#include "lang/texts.h"
#include "platform/machine_control.h"
#include "platform/message_box.h"
#include "platform/os_info.h"
#include "platform/shutdown_privilege.h"
#include "platform/sleep_support.h"

namespace halcyra {

inline constexpr Text kUnsupportedWindowsMessage =
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
  const SleepSupport& sleep;
};

bool PowerOffComputer(const PowerServices& services);
bool ShutdownWindows(const PowerServices& services);
bool RebootComputer(const PowerServices& services);
bool LogOffUser(const PowerServices& services);
bool HibernateComputer(const PowerServices& services);
bool SuspendComputer(const PowerServices& services);

}  // namespace halcyra
