#include "schedule/timer_schedule.h"

#include <algorithm>
#include <utility>

#include "app/settings.h"
#include "app/timer_section.h"
#include "schedule/immediate_action.h"
#include "schedule/next_wake.h"
#include "schedule/wake_up.h"

namespace halcyra {

TimerSchedule::TimerSchedule(const ScheduleServices& services, ScheduleHost& host,
                             FiringHost& windows)
    : services_(services), host_(host), windows_(windows) {}

void TimerSchedule::Timer1Timer() {
  // A tick dispatched by the loop of a message box that an action shows, or one still queued
  // when the tick stopped.
  if (!running_ || acting_ > 0) return;
  if (firing_) {
    AdvanceFiring();
    return;
  }
  lookOwed_ = false;
  if (std::exchange(reloadOwed_, false)) Reload();
  const Clock& clock = services_.firing.clock;
  LocalTime now = clock.Now();
  if (services_.clockGuard.Check(clock, services_.machine)) now = clock.Now();
  std::optional<DueTimer> due = FindDue(now);
  // One that must wait for another session leaves the minute to the timers after it.
  while (due && due->once && !TakeOrKeep(*due, now)) due = FindDue(now);
  if (!due) {
    FireOneOffIfDue(now);
    return;
  }
  if (due->once) host_.RemoveTimerRows(due->title);
  FireTimer(std::move(*due));
}

unsigned TimerSchedule::TickIntervalMs() const {
  if (firing_) return kFiringTickMs;
  // Under an action's message nothing fires; what falls due meanwhile is looked at each second,
  // so that it fires soon after the message has been answered.
  if (acting_ > 0) return kLookWithinMinuteMs;
  if (lookOwed_ || reloadOwed_) return kShortestTickMs;
  const Clock& clock = services_.firing.clock;
  const LocalTime now = clock.Now();
  std::uint64_t ms = MsUntilNextLook(Timers, now, LastHandled);
  if (OneOff)
    ms = std::min(
        ms, OneOff->MsUntilNextLook(now, clock.TickCount64(), services_.idle.IdleMilliseconds()));
  // Due now, yet not fired by the tick that just ran: looked at again in a second.
  if (ms == 0) ms = kLookWithinMinuteMs;
  return static_cast<unsigned>(std::max<std::uint64_t>(ms, kShortestTickMs));
}

bool TimerSchedule::LookNow() {
  lookOwed_ = true;
  if (!running_ || firing_ || acting_ > 0) return false;
  Timer1Timer();
  return true;
}

std::optional<DueTimer> TimerSchedule::FindDue(const LocalTime& now) const {
  const AppServices& app = services_.firing.app;
  return FindDueTimer(
      Timers, now, LastHandled,
      [&app] { return LoadLogSettings(app.OpenSettings()).lastRebootTime; },
      [this, &now](const TTimerRecord& record) {
        return std::any_of(kept_.begin(), kept_.end(), [&](const KeptOnce& kept) {
          return kept.title == record.Title &&
                 (!kept.dueMinute || SameMinute(*kept.dueMinute, now));
        });
      });
}

bool TimerSchedule::TakeOrKeep(DueTimer& due, const LocalTime& now) {
  SettingsFile settings = services_.firing.app.OpenSettings();
  const std::string entry = ReadTimerEntry(settings, due.title);
  if (TakeOnceOnly(due, settings)) return true;
  if (settings.WriteDenied()) {
    // An administrator's read-only lock: fired here, it would fire again at every match. It
    // waits for a session that may remove it, or for the service.
    kept_.push_back({due.title, entry, now});
    return false;
  }
  // Held by another program for a while: it fires, nothing is lost, and it is passed over
  // until a later write takes it out.
  kept_.push_back({due.title, entry, std::nullopt});
  due.entryKept = true;
  return true;
}

void TimerSchedule::FireOneOffIfDue(const LocalTime& now) {
  if (!OneOff) return;
  if (!OneOff->Due(now, services_.firing.clock.TickCount64(), services_.idle.IdleMilliseconds())) {
    // A minute of a quiet request ended: the icon's tip shows how far it is.
    if (OneOff->TakeProgress()) host_.OneOffChanged();
    return;
  }
  // It is done with once it fires, whatever the countdown's end: an aborted request is dropped.
  DueTimer due{"", EventWord::Of(OneOff->EventWord()), false, {}};
  OneOff.reset();
  host_.OneOffChanged();
  FireTimer(std::move(due));
}

void TimerSchedule::FireTimer(DueTimer due) {
  ReloadTimers();
  firing_.emplace(services_.firing, static_cast<FiringHost&>(*this), std::move(due));
}

void TimerSchedule::RunImmediateAction(const EventWord& event) {
  // A second key pressed while the first one's message is open waits for nothing: it is the
  // same wish, or a new one that the user gives again once the message is answered.
  if (acting_ > 0) return;
  {
    const ActingScope acting(acting_);
    DueTimer due{"", event, false, {}};
    SettingsFile settings = services_.firing.app.OpenSettings();
    ImmediateCarryOut sink(services_.firing);
    CarryOut(due, settings, services_.firing.log, services_.firing.app.policies.Current(),
             services_.firing.clock, sink);
  }
  if (!firing_) host_.ActionOver();
}

void TimerSchedule::AdvanceFiring() {
  std::optional<Firing::End> end;
  {
    const ActingScope acting(acting_);
    end = firing_->Advance();
  }
  if (!end) return;
  if (*end == Firing::End::Ended) {
    // The countdown window stays, hidden, until Windows ends the program.
    running_ = false;
  } else {
    LastHandled = firing_->StartedAt();
    const bool once = firing_->Once();
    firing_.reset();
    if (once) Reload();
  }
  host_.ActionOver();
}

void TimerSchedule::ProgramEnds() {
  if (firing_) firing_->ProgramEnds();
}

void TimerSchedule::Post(std::function<void()> action) {
  windows_.Post([this, action = std::move(action)] {
    {
      const ActingScope acting(acting_);
      action();
    }
    Reload();
    if (!firing_) host_.ActionOver();
  });
}

void TimerSchedule::Reload() {
  ++reloads_;
  ReloadTimers();
  host_.TimersReloaded();
}

void TimerSchedule::LoadTimers(const SettingsFile& file) {
  Timers.clear();
  const AppServices& app = services_.firing.app;
  Timers = halcyra::LoadTimers(file, app.policies.Current(),
                               {app.os, services_.firing.clock, services_.wakeTimers});
  // A once-only timer that fired stays out of the list and wakes nothing.
  std::erase_if(Timers, [this](const TTimerRecord& record) {
    return std::any_of(kept_.begin(), kept_.end(), [&record](const KeptOnce& kept) {
      return !kept.dueMinute && kept.title == record.Title;
    });
  });
}

void TimerSchedule::ReloadTimers() {
  SettingsFile file = services_.firing.app.OpenSettings();
  const LocalTime now = services_.firing.clock.Now();
  std::erase_if(kept_, [&](const KeptOnce& kept) {
    if (kept.dueMinute) return !SameMinute(*kept.dueMinute, now);
    // Changed or removed by someone else meanwhile, it is another timer or none.
    if (ReadTimerEntry(file, kept.title) != kept.entry) return true;
    return RemoveTimerEntry(file, kept.title);
  });
  LoadTimers(file);
}

}  // namespace halcyra
