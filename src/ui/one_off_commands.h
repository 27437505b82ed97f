// The tray program's side of HalcyraCmd.exe: a command arrives as text ("do" with a request,
// "cancel", "status"), the schedule's one-off request changes, and a reply goes back: "ok" or
// "refused" on its first line, then what to print.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/process_waits.h"
#include "schedule/timer_schedule.h"

namespace halcyra {

std::string HandleOneOffCommand(std::string_view message, TimerSchedule& schedule,
                                ProcessWaits& processes, const Clock& clock);

// "Halcyra", and on a second line what the pending request will do and when.
std::string TrayTip(const TimerSchedule& schedule);

}  // namespace halcyra
