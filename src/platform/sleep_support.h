// What the machine allows of sleep, and the request that keeps it from sleeping on its own.
#pragma once

#include <optional>
#include <string>

#include "platform/power_capabilities.h"

namespace halcyra {

class SleepSupport {
 public:
  virtual ~SleepSupport() = default;
  // What the machine can do of sleep (hardware, drivers, policy); nullopt when the system
  // cannot say.
  virtual std::optional<PowerCapabilities> Capabilities() const = 0;
  // Holds the system awake until LetSleep: after an unattended wake, Windows sleeps again after
  // about two minutes unless a program asks it not to. The reason is what the system shows an
  // administrator who asks why the machine stays awake.
  virtual void KeepAwake(const std::string& reason) = 0;
  virtual void LetSleep() = 0;
};

// Holds the machine awake for as long as it lives.
class AwakeWhileAlive {
 public:
  AwakeWhileAlive(SleepSupport& sleep, const std::string& reason) : sleep_(sleep) {
    sleep_.KeepAwake(reason);
  }
  ~AwakeWhileAlive() { sleep_.LetSleep(); }
  AwakeWhileAlive(const AwakeWhileAlive&) = delete;
  AwakeWhileAlive& operator=(const AwakeWhileAlive&) = delete;

 private:
  SleepSupport& sleep_;
};

}  // namespace halcyra
