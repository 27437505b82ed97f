#include "actions/power_actions.h"

#include <functional>

#include "app/app_services.h"
#include "app/paths.h"

namespace halcyra {
namespace {

// The edition is asked afresh before each comparison, in this order.
void ThroughEditionGate(const PowerServices& services,
                        const std::function<void(MachineControl&)>& call) {
  const auto edition = [&services] { return GetOSEdition(services.os); };
  if (edition() == kEditionNewWinNT || edition() == kEditionOldWinNt ||
      edition() == kEditionVista) {
    services.privilege.EnableShutdownPrivilege();
    call(services.machine);
  } else if (edition() == kEditionWin9x) {
    call(services.machine);
  } else {
    services.boxes.Show(kUnsupportedWindowsMessage, kAppTitle, mb::kOk | mb::kIconInformation);
  }
}

void ExitWith(const PowerServices& services, unsigned flags) {
  ThroughEditionGate(services, [flags](MachineControl& m) { m.ExitWindowsEx(flags); });
}

}  // namespace

void PowerOffComputer(const PowerServices& s) { ExitWith(s, exit_flags::kPowerOff); }
void ShutdownWindows(const PowerServices& s) { ExitWith(s, exit_flags::kShutdown); }
void RebootComputer(const PowerServices& s) { ExitWith(s, exit_flags::kReboot); }
void LogOffUser(const PowerServices& s) { ExitWith(s, exit_flags::kLogOff); }

void HibernateComputer(const PowerServices& s) {
  ThroughEditionGate(s, [](MachineControl& m) { m.SetSystemPowerState(false, true); });
}

void SuspendComputer(const PowerServices& s) {
  ThroughEditionGate(s, [](MachineControl& m) { m.SetSystemPowerState(true, true); });
}

}  // namespace halcyra
