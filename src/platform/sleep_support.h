// What the machine allows of sleep, and the request that keeps it from sleeping on its own.
#pragma once

#include <optional>

#include "platform/power_capabilities.h"

namespace halcyra {

class SleepSupport {
 public:
  virtual ~SleepSupport() = default;
  // What the machine can do of sleep (hardware, drivers, policy); nullopt when the system
  // cannot say.
  virtual std::optional<PowerCapabilities> Capabilities() const = 0;
  // Holds the system awake while on: after an unattended wake, Windows sleeps again after about
  // two minutes unless a program asks it not to.
  virtual void KeepAwake(bool on) = 0;
};

// Holds the machine awake for as long as it lives.
class AwakeWhileAlive {
 public:
  explicit AwakeWhileAlive(SleepSupport& sleep) : sleep_(sleep) { sleep_.KeepAwake(true); }
  ~AwakeWhileAlive() { sleep_.KeepAwake(false); }
  AwakeWhileAlive(const AwakeWhileAlive&) = delete;
  AwakeWhileAlive& operator=(const AwakeWhileAlive&) = delete;

 private:
  SleepSupport& sleep_;
};

}  // namespace halcyra
