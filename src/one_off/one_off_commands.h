// The tray program's side of HalcyraCmd.exe: a command arrives as text ("do" with a request,
// "cancel", "status"), the schedule's one-off request changes, and a reply goes back: "ok" or
// "refused" on its first line, then what to print.
#pragma once

#include <string>
#include <string_view>

#include "app/policies.h"
#include "one_off/pending_one_off.h"
#include "platform/clock.h"
#include "platform/process_waits.h"
#include "platform/system_load.h"
#include "schedule/timer_schedule.h"

namespace halcyra {

// What a request's conditions are read from; `load` must outlive the pending request. A "do"
// is refused while the policies turn one-offs off.
struct OneOffSources {
  ProcessWaits& processes;
  SystemLoad& load;
  const Clock& clock;
  const Policies& policies;
};

std::string HandleOneOffCommand(std::string_view message, TimerSchedule& schedule,
                                const OneOffSources& sources);

// What the pending request will do and when, or "No one-off action is pending.".
std::string PendingLine(const TimerSchedule& schedule);

// "Halcyra", and on a second line what the pending request will do and when, within the 127
// characters a notification icon's tip holds.
std::string TrayTip(const TimerSchedule& schedule);

}  // namespace halcyra
