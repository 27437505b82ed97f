// Wake-up timers for the loaded timers: which records get one, and when it falls due.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/policies.h"
#include "app/settings_file.h"
#include "platform/clock.h"
#include "platform/os_info.h"
#include "platform/wake_timers.h"
#include "schedule/timer_record.h"

namespace halcyra {

// The next local moment at which a timer with this time and frequency fires, seen from now:
// its minute today or some whole days later. The minute now running counts as not yet gone.
// nullopt for a time that is no hour and minute, or a frequency that names no days.
std::optional<LocalTime> WakeDueTime(const LocalTime& now, const std::string& time,
                                     const std::string& frequency);

// The first minute, from the one now running on, in which an enabled timer can fall due,
// leaving out `looked`, a minute whose timers were already looked at (year 0: none). nullopt
// when no timer ever can. A process that holds the schedule without a window waits until then
// instead of looking every second.
std::optional<LocalTime> NextMinuteToLook(const std::vector<TTimerRecord>& timers,
                                          const LocalTime& looked, const LocalTime& now);

// The wait from `now` to the start of `next` (none when it has begun), but never longer than
// `longest`: a wait measured in elapsed time misses a clock, time-zone or daylight-saving change,
// and is taken again from the clock's new reading at its end.
std::uint32_t MillisecondsToLook(const std::optional<LocalTime>& next, const LocalTime& now,
                                 std::uint32_t longest);

// An edition of the NT family, a timer that is enabled and does not suspend.
bool MeetsWakePrecondition(const TTimerRecord& record, const std::string& edition);

std::unique_ptr<WakeTimerHandle> ArmWakeTimer(const TTimerRecord& record, const Clock& clock,
                                              WakeTimers& wakeTimers);

struct TimerLoadServices {
  const OsInfo& os;
  const Clock& clock;
  WakeTimers& wakeTimers;
};

// The policies' timers, then the section Timer's in key order (none when a policy turns them
// off, and none with the title of a policy's timer), each eligible one with a wake-up timer.
std::vector<TTimerRecord> LoadTimers(const SettingsFile& file, const Policies& policies,
                                     const TimerLoadServices& services);

}  // namespace halcyra
