#include <cstdio>
#include <string>

#include "platform/win32/effects_journal_win.h"
#include "service/service_power_win.h"

namespace halcyra {
namespace {

// Appends one line per call to Effects.txt in the data folder and reports success, so that
// end-to-end tests see what the service would have done to the machine:
// "InitiateShutdown 5 0xB 0x80000000" (grace seconds, flags, reason) and
// "SetSuspendState 0 1 0" (hibernate, force, wake events disabled).
class ServiceEffectsJournal final : public ServicePower {
 public:
  explicit ServiceEffectsJournal(const std::string& dataFolder) : journal_(dataFolder) {}

  bool Shutdown(unsigned graceSeconds, unsigned flags, unsigned reason) override {
    char line[64];
    std::snprintf(line, sizeof line, "InitiateShutdown %u 0x%X 0x%X", graceSeconds, flags, reason);
    return journal_.Record(line);
  }
  bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override {
    return journal_.Record(std::string("SetSuspendState ") + (hibernate ? "1 " : "0 ") +
                           (force ? "1 " : "0 ") + (wakeEventsDisabled ? "1" : "0"));
  }

 private:
  EffectsJournal journal_;
};

}  // namespace

std::unique_ptr<ServicePower> MakeServicePower(const std::string& dataFolder) {
  return std::make_unique<ServiceEffectsJournal>(dataFolder);
}

bool TrustsInstallingAccount() { return true; }

}  // namespace halcyra
