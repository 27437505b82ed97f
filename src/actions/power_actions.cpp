#include "actions/power_actions.h"

#include <functional>

#include "app/app_services.h"
#include "app/paths.h"

namespace halcyra {
namespace {

// Every Windows this program runs on has the NT kernel, where ending the session or sleeping
// needs the shutdown privilege; anything else is a version it does not know.
bool ThroughEditionGate(const PowerServices& services,
                        const std::function<bool(MachineControl&)>& call) {
  if (!IsNtFamily(GetOSEdition(services.os))) {
    services.boxes.Show(Tr(kUnsupportedWindowsMessage), kAppTitle, mb::kOk | mb::kIconInformation);
    return false;
  }
  services.privilege.EnableShutdownPrivilege();
  return call(services.machine);
}

bool ExitWith(const PowerServices& services, unsigned flags) {
  return ThroughEditionGate(services,
                            [flags](MachineControl& m) { return m.ExitWindowsEx(flags); });
}

}  // namespace

bool PowerOffComputer(const PowerServices& s) { return ExitWith(s, exit_flags::kPowerOff); }
bool ShutdownWindows(const PowerServices& s) { return ExitWith(s, exit_flags::kShutdown); }
bool RebootComputer(const PowerServices& s) { return ExitWith(s, exit_flags::kReboot); }
bool LogOffUser(const PowerServices& s) { return ExitWith(s, exit_flags::kLogOff); }

bool HibernateComputer(const PowerServices& s) {
  return ThroughEditionGate(s, [&s](MachineControl& m) {
    return HibernateAllowed(s.sleep.Capabilities()) && m.SetSystemPowerState(false, true);
  });
}

bool SuspendComputer(const PowerServices& s) {
  return ThroughEditionGate(s, [&s](MachineControl& m) {
    switch (SuspendWayOf(s.sleep.Capabilities())) {
      case SuspendWay::Sleep:
        return m.SetSystemPowerState(true, true);
      case SuspendWay::DisplayOff:
        // Returns at once, as after a resume: the schedule goes on while the machine idles
        // into standby.
        return m.TurnDisplayOff();
      case SuspendWay::Refused:
        break;
    }
    return false;
  });
}

}  // namespace halcyra
