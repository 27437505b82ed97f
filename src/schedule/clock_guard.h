// The clock guard: a trusted moment of the local clock with the tick count read with it.
// While it is on, a clock that has moved more than 2 seconds away from the elapsed ticks is
// set back to the trusted moment plus the ticks.
#pragma once

#include <cstdint>

#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/machine_control.h"

namespace halcyra {

struct ClockGuard {
  bool ClockGuardOn = false;
  DateTime ClockBaseline = 0;
  std::uint32_t ClockBaselineTick = 0;
  // The tick difference seen by the last check: when a later one is smaller, the 32-bit
  // difference has passed 2^32 ms and the baseline moves on by that much.
  std::uint32_t LastTicks = 0;

  // Takes the clock's present reading as the trusted one and switches the guard on.
  void Arm(const Clock& clock);
  void Disarm() { ClockGuardOn = false; }

  // Compares the clock read at the start of the tick with the ticks since the baseline;
  // returns whether it set the clock. Does nothing while the guard is off.
  bool Check(const LocalTime& now, const Clock& clock, MachineControl& machine);
};

}  // namespace halcyra
