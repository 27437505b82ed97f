// The trusted moment of the clock guard: a local date-time with the tick count read with it.
#pragma once

#include <cstdint>

#include "app/date_time.h"
#include "platform/clock.h"

namespace halcyra {

struct ClockGuard {
  bool ClockGuardOn = false;
  DateTime ClockBaseline = 0;
  std::uint32_t ClockBaselineTick = 0;

  // Takes the clock's present reading as the trusted one and switches the guard on.
  void Arm(const Clock& clock) {
    ClockBaseline = EncodeDateTime(clock.Now());
    ClockBaselineTick = clock.TickCount();
    ClockGuardOn = true;
  }
  void Disarm() { ClockGuardOn = false; }
};

}  // namespace halcyra
