#include <windows.h>

#include <powrprof.h>

#include "platform/win32/shutdown_privilege_win.h"
#include "service/service_power_win.h"

namespace halcyra {
namespace {

class RealServicePower final : public ServicePower {
 public:
  bool Shutdown(unsigned graceSeconds, unsigned flags, unsigned reason) override {
    if (!EnableShutdownPrivilegeOfProcess()) return false;
    return ::InitiateShutdownW(nullptr, nullptr, graceSeconds, flags, reason) == ERROR_SUCCESS;
  }
  bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override {
    if (!EnableShutdownPrivilegeOfProcess()) return false;
    return ::SetSuspendState(hibernate, force, wakeEventsDisabled) != FALSE;
  }
};

}  // namespace

std::unique_ptr<ServicePower> MakeServicePower(const std::string&) {
  return std::make_unique<RealServicePower>();
}

bool TrustsInstallingAccount() { return false; }

}  // namespace halcyra
