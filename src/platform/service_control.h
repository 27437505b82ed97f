// The companion service "Halcyra_Service": stopped and started again after every OK.
#pragma once

namespace halcyra {

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  // Each reports nothing: a service that is missing or refuses simply stays as it is.
  virtual void StopCompanionService() = 0;
  virtual void StartCompanionService() = 0;
  virtual void Pause(int milliseconds) = 0;
};

}  // namespace halcyra
