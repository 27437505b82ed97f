// The schedule: the timers in the key order of the section Timer, and the one-second tick
// that guards the clock, finds the first timer due this minute and fires it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/countdown_outcome.h"
#include "app/app_services.h"
#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/process_waits.h"
#include "platform/sleep_support.h"
#include "platform/wake_timers.h"
#include "schedule/clock_guard.h"
#include "schedule/one_off.h"
#include "schedule/timer_record.h"

namespace halcyra {

// What firing a timer needs of the window that holds the schedule.
class ScheduleHost {
 public:
  virtual ~ScheduleHost() = default;
  // A once-only timer's rows leave the list the moment it fires.
  virtual void RemoveTimerRows(const std::string& title) = 0;
  // Shows the countdown for the pending event modally; returns how it ended when it has closed.
  virtual CountdownOutcome ShowCountdown() = 0;
  // The one-off request came or went: the tray icon's tip says what will happen.
  virtual void OneOffChanged() = 0;
  // The tick was switched on again within a firing, before the machine sleeps: it runs from now.
  virtual void TickResumed() = 0;
};

struct DueTimer {
  std::string title;
  std::string event;
  bool once = false;
};

// The first timer that fires at `now`, in array order: enabled, at this hour and minute, in a
// minute not handled already, past the reboot guard and on a day its frequency selects. A
// reboot timer whose minute holds the last reboot stops the search. The reboot stamp is read
// only when a reboot timer gets that far.
std::optional<DueTimer> FindDueTimer(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                                     const LocalTime& lastHandled,
                                     const std::function<DateTime()>& lastRebootTime);

bool SameMinute(const LocalTime& a, const LocalTime& b);

struct ScheduleServices {
  const AppServices& app;
  const Clock& clock;
  ClockGuard& clockGuard;
  MachineControl& machine;
  WakeTimers& wakeTimers;
  SleepSupport& sleep;
  const InputIdle& idle;
};

class TimerSchedule {
 public:
  TimerSchedule(const ScheduleServices& services, ScheduleHost& host);

  std::vector<TTimerRecord> Timers;
  // Whether the one-second tick runs.
  bool Timer1Enabled = false;
  // The last minute in which a fired timer was handled; year 0 means none.
  LocalTime LastHandled;
  // The one-off request, held in memory only: it falls due on the tick after the timers, and
  // fires through the same path.
  std::optional<PendingOneOff> OneOff;

  void Timer1Timer();
  // Hands a fired timer's event word to the countdown window; returns when it has closed, with
  // the tick running again unless the program ends. The machine is held awake meanwhile: a
  // timer that fired after a wake-up must get to its action.
  void FireTimer(const std::string& eventWord);
  // Loads the timers and arms their wake-up timers; the old handles go first, so that no
  // wake-up timer is armed twice.
  void LoadTimers(const SettingsFile& file);
  void ReloadTimers();

 private:
  void FireOneOffIfDue(const LocalTime& now);

  ScheduleServices services_;
  ScheduleHost& host_;
};

}  // namespace halcyra
