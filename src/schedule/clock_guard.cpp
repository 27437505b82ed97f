#include "schedule/clock_guard.h"

#include <cmath>

namespace halcyra {
namespace {

constexpr double kMillisecondsPerDay = 8.64e7;
constexpr double kTolerance = 2;             // seconds, each way
constexpr double kTickRange = 4294967296.0;  // 2^32 ms

int OffsetMinutes(const Clock& clock) {
  const DateTime utc = EncodeDateTime(clock.UtcNow());
  return static_cast<int>(std::lround((EncodeDateTime(clock.Now()) - utc) * 24 * 60));
}

}  // namespace

void ClockGuard::Arm(const Clock& clock) {
  ClockBaseline = EncodeDateTime(clock.UtcNow());
  ClockBaselineTick = clock.TickCount();
  LastTicks = 0;
  UtcOffsetMinutes = OffsetMinutes(clock);
  ClockGuardOn = true;
}

void ClockGuard::TimeSettingsChanged(const Clock& clock) {
  if (ClockGuardOn && OffsetMinutes(clock) != UtcOffsetMinutes) Arm(clock);
}

bool ClockGuard::Check(const Clock& clock, MachineControl& machine) {
  if (!ClockGuardOn) return false;
  const LocalTime now = clock.UtcNow();
  const auto ticksNow = [&] {
    const std::uint32_t ticks = clock.TickCount() - ClockBaselineTick;  // wraps harmlessly once
    if (ticks < LastTicks) ClockBaseline += kTickRange / kMillisecondsPerDay;
    LastTicks = ticks;
    return static_cast<double>(ticks);
  };
  // The baseline may move on with the first reading, so the clock's distance comes after it;
  // each bound reads the tick count anew.
  const double first = ticksNow();
  // Whole milliseconds, so that a difference of exactly 2 seconds is not lost to rounding.
  const double wall =
      std::round((EncodeDateTime(now) - ClockBaseline) * 60 * 60 * 24 * 1000) / 1000;
  if (wall >= first / 1000 - kTolerance && wall <= ticksNow() / 1000 + kTolerance) return false;
  const DateTime target = ClockBaseline + ticksNow() / kMillisecondsPerDay;
  return machine.SetSystemTime(DecodeDateTime(target));
}

}  // namespace halcyra
