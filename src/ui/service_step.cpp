#include "ui/service_step.h"

#include <exception>

#include "app/paths.h"

namespace halcyra {

void RunServiceStep(const std::string& edition, bool firstRunOnVista, ServiceControl& service) {
  if (!IsNtFamily(edition)) return;
  try {
    service.StopCompanionService();
    if (firstRunOnVista) return;
    service.Pause(kServiceRestartPauseMs);
    service.StartCompanionService();
  } catch (const std::exception&) {
    // The service is the service's own business: OK ends normally.
  }
}

}  // namespace halcyra
