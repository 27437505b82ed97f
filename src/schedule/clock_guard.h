// The clock guard: a trusted moment of the clock with the tick count read with it. While it is
// on, a clock that has moved more than 2 seconds away from the elapsed ticks is set back to the
// trusted moment plus the ticks. It works in UTC: a switch to or from daylight-saving time, or
// a new time zone, moves the local clock but not the moment, and must not be "corrected".
#pragma once

#include <cstdint>

#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/machine_control.h"

namespace halcyra {

struct ClockGuard {
  bool ClockGuardOn = false;
  // In UTC.
  DateTime ClockBaseline = 0;
  std::uint32_t ClockBaselineTick = 0;
  // The tick difference seen by the last check: when a later one is smaller, the 32-bit
  // difference has passed 2^32 ms and the baseline moves on by that much.
  std::uint32_t LastTicks = 0;
  // The local clock's distance from UTC when the baseline was taken, in whole minutes.
  int UtcOffsetMinutes = 0;

  // Takes the clock's present reading as the trusted one and switches the guard on.
  void Arm(const Clock& clock);
  void Disarm() { ClockGuardOn = false; }

  // Compares the clock with the ticks since the baseline; returns whether it set the clock
  // (false also when the system refused: the guard stays on and tries again next time). Does
  // nothing while the guard is off.
  bool Check(const Clock& clock, MachineControl& machine);
  // The system says its time settings changed: when the time zone or its daylight-saving state
  // is now another one, the baseline is taken again. A changed clock alone is left to Check.
  void TimeSettingsChanged(const Clock& clock);
};

}  // namespace halcyra
