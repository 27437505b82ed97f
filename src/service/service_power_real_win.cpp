#include <windows.h>

#include <powrprof.h>

#include "service/service_power_win.h"

namespace halcyra {
namespace {

bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // AdjustTokenPrivileges succeeds also for a privilege the token lacks, and says so only in
  // the last error.
  const bool done =
      LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
      GetLastError() != ERROR_NOT_ALL_ASSIGNED;
  CloseHandle(token);
  return done;
}

class RealServicePower final : public ServicePower {
 public:
  bool Shutdown(unsigned graceSeconds, unsigned flags, unsigned reason) override {
    if (!EnableShutdownPrivilege()) return false;
    return ::InitiateShutdownA(nullptr, nullptr, graceSeconds, flags, reason) == ERROR_SUCCESS;
  }
  bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override {
    if (!EnableShutdownPrivilege()) return false;
    return ::SetSuspendState(hibernate, force, wakeEventsDisabled) != FALSE;
  }
};

}  // namespace

std::unique_ptr<ServicePower> MakeServicePower(const std::string&) {
  return std::make_unique<RealServicePower>();
}

}  // namespace halcyra
