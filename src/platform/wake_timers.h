// One-shot waitable timers of the system that wake the computer from standby or hibernation
// when they fall due. Nothing waits on them; their only effect is the wake-up.
#pragma once

#include <memory>
#include <string>

#include "core/local_time.h"

namespace halcyra {

// An armed timer; destroying it cancels the timer and closes its handle.
class WakeTimerHandle {
 public:
  virtual ~WakeTimerHandle() = default;
};

class WakeTimers {
 public:
  virtual ~WakeTimers() = default;
  // Arms a timer due at that local time (absolute, period 0, waking the machine), with the
  // reason Windows shows for it (powercfg /waketimers); nullptr when the system refuses.
  virtual std::unique_ptr<WakeTimerHandle> Arm(const LocalTime& dueLocal,
                                               const std::string& reason) = 0;
};

}  // namespace halcyra
