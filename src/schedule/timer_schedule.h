// The schedule: the timers in the key order of the section Timer, and the tick that guards the
// clock, finds the first timer due this minute and fires it. A firing runs over the ticks that
// follow, until its countdown has ended. One action at a time: while one is being carried out
// (a firing's end sequence, a hotkey's, a sleep left for the main loop), the message boxes it
// shows run their own loops, and a tick or a hotkey that comes from there does nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/process_waits.h"
#include "platform/wake_timers.h"
#include "schedule/clock_guard.h"
#include "schedule/due_timer.h"
#include "schedule/pending_request.h"
#include "schedule/timer_record.h"
#include "schedule/tray_firing.h"

namespace halcyra {

// What the schedule needs of the window that holds it.
class ScheduleHost {
 public:
  virtual ~ScheduleHost() = default;
  // A once-only timer's rows leave the list the moment it fires.
  virtual void RemoveTimerRows(const std::string& title) = 0;
  // The one-off request came or went: the tray icon's tip says what will happen.
  virtual void OneOffChanged() = 0;
  // The timers were read again after a firing: a once-only timer whose action was not carried
  // out is back.
  virtual void TimersReloaded() = 0;
  // No action is under way any more: a firing ended, however (also by an exit that Windows
  // accepted), or a hotkey's action or a sleep left for the main loop is over.
  virtual void ActionOver() = 0;
};

struct ScheduleServices {
  FiringServices firing;
  ClockGuard& clockGuard;
  MachineControl& machine;
  WakeTimers& wakeTimers;
  const InputIdle& idle;
};

// The tick's interval while a countdown counts, so that its label changes with each second and
// its end comes on time; otherwise the tick comes when something can fall due (next_wake.h).
inline constexpr unsigned kFiringTickMs = 100;
// The shortest wait a window timer keeps (USER_TIMER_MINIMUM).
inline constexpr unsigned kShortestTickMs = 10;

class TimerSchedule final : private FiringHost {
 public:
  // `windows`: where a firing's countdown shows and what is left for the main loop runs.
  TimerSchedule(const ScheduleServices& services, ScheduleHost& host, FiringHost& windows);

  std::vector<TTimerRecord> Timers;
  // The last minute in which a fired timer was handled; year 0 means none.
  LocalTime LastHandled;
  // The one-off request, held in memory only: it falls due on the tick after the timers, and
  // fires through the same path.
  std::unique_ptr<PendingRequest> OneOff;

  // Whether the tick runs, and how often. It runs once the timers are loaded, and stops while
  // Windows asks whether the session may end and after an exit that Windows accepted.
  bool Running() const { return running_; }
  void Resume() { running_ = true; }
  void Pause() { running_ = false; }
  // How long until the next tick, from now: the schedule sleeps until a timer, the pending
  // request or the next full or half hour may need it.
  unsigned TickIntervalMs() const;
  bool Firing() const { return firing_.has_value(); }
  // How many times the timers were read again since the start: a view shows the list anew.
  unsigned long Reloads() const { return reloads_; }
  bool Acting() const { return acting_ > 0; }

  // A firing under way goes on; otherwise the first due timer, or the request, fires.
  void Timer1Timer();
  // Opens the countdown for a due timer; the ticks that follow carry it on.
  void FireTimer(DueTimer due);
  // A hotkey's action, at once; nothing while another action is being carried out.
  void RunImmediateAction(const EventWord& event);
  // The clock was set, the computer came back from sleep or a process a one-off waits for
  // ended: the guard, the timers and the request look at once, as a tick would; under a
  // countdown or an action, at the first tick after it. Says whether it looked now.
  bool LookNow();
  // Another session or the service wrote the settings file: the timers are read again at the
  // next tick that is not part of an action, which comes at once.
  void FileChanged() { reloadOwed_ = true; }
  // The program ends: a countdown still open closes as at its other ends.
  void ProgramEnds();
  // Loads the timers and arms their wake-up timers; the old handles go first, so that no
  // wake-up timer is armed twice.
  void LoadTimers(const SettingsFile& file);
  // Reads the timers again; a once-only timer that fired while the file kept it is taken out
  // now if the file lets it go.
  void ReloadTimers();

 private:
  // Counts an action being carried out for as long as it lives.
  class ActingScope {
   public:
    explicit ActingScope(int& acting) : acting_(acting) { ++acting_; }
    ~ActingScope() { --acting_; }
    ActingScope(const ActingScope&) = delete;
    ActingScope& operator=(const ActingScope&) = delete;

   private:
    int& acting_;
  };
  // A once-only timer's entry that the file did not let go. One that fired is passed over for
  // as long as the program runs; one left for a session that may remove it (the file's rights
  // refused the removal), only in the minute it was due.
  struct KeptOnce {
    std::string title;
    std::string entry;
    std::optional<LocalTime> dueMinute;
  };

  std::optional<DueTimer> FindDue(const LocalTime& now) const;
  // Takes a due once-only timer out of the file; false when it must not fire in this session.
  bool TakeOrKeep(DueTimer& due, const LocalTime& now);
  void FireOneOffIfDue(const LocalTime& now);
  void AdvanceFiring();
  void Reload();
  // The firing's window goes to the host; a sleep left for the main loop reads the timers again
  // after it, when a once-only timer may be back and the wake-up timers are due anew.
  void OpenCountdown(TFrmNotify& countdown) override { windows_.OpenCountdown(countdown); }
  void SyncCountdown() override { windows_.SyncCountdown(); }
  void HideCountdown() override { windows_.HideCountdown(); }
  void CloseCountdown() override { windows_.CloseCountdown(); }
  void Post(std::function<void()> action) override;

  ScheduleServices services_;
  ScheduleHost& host_;
  FiringHost& windows_;
  std::optional<TrayFiring> firing_;
  std::vector<KeptOnce> kept_;
  bool running_ = false;
  int acting_ = 0;
  // A look or a reading of the timers asked for while an action was under way.
  bool lookOwed_ = false;
  bool reloadOwed_ = false;
  unsigned long reloads_ = 0;
};

}  // namespace halcyra
