#include "schedule/timer_schedule.h"

#include "app/settings_keys.h"
#include "schedule/wake_up.h"

namespace halcyra {

TimerSchedule::TimerSchedule(const ScheduleServices& services, ScheduleHost& host)
    : services_(services), host_(host) {}

void TimerSchedule::Timer1Timer() {
  if (firing_) {
    AdvanceFiring();
    return;
  }
  const Clock& clock = services_.firing.clock;
  const AppServices& app = services_.firing.app;
  LocalTime now = clock.Now();
  if (services_.clockGuard.Check(clock, services_.machine)) now = clock.Now();
  auto due = FindDueTimer(Timers, now, LastHandled, [&app] {
    return app.OpenSettings().ReadDateTime(kLogSection, kLastRebootTimeKey, 0);
  });
  if (!due) {
    FireOneOffIfDue(now);
    return;
  }
  if (due->once) {
    // Left in the file (a standard user under the read-only lock), it would fire again every
    // day: it fires only once it is gone, in a session that may remove it or from the service.
    SettingsFile settings = app.OpenSettings();
    if (!TakeOnceOnly(*due, settings)) {
      LastHandled = now;
      return;
    }
    host_.RemoveTimerRows(due->title);
  }
  FireTimer(std::move(*due));
}

void TimerSchedule::FireOneOffIfDue(const LocalTime& now) {
  if (!OneOff) return;
  if (!OneOff->Due(now, services_.firing.clock.TickCount64(), services_.idle.IdleMilliseconds())) {
    // A minute of a quiet request ended: the icon's tip shows how far it is.
    if (OneOff->TakeProgress()) host_.OneOffChanged();
    return;
  }
  // It is done with once it fires, whatever the countdown's end: an aborted request is dropped.
  DueTimer due{"", EventWord::Of(OneOff->Request().event), false, {}};
  OneOff.reset();
  host_.OneOffChanged();
  FireTimer(std::move(due));
}

void TimerSchedule::FireTimer(DueTimer due) {
  ReloadTimers();
  firing_.emplace(services_.firing, static_cast<FiringHost&>(*this), std::move(due));
}

void TimerSchedule::AdvanceFiring() {
  const auto end = firing_->Advance();
  if (!end) return;
  if (*end == Firing::End::Ended) {
    // The countdown window stays, hidden, until Windows ends the program.
    Timer1Enabled = false;
    return;
  }
  LastHandled = firing_->StartedAt();
  const bool once = firing_->Once();
  firing_.reset();
  if (once) Reload();
}

void TimerSchedule::Post(std::function<void()> action) {
  host_.Post([this, action = std::move(action)] {
    action();
    Reload();
  });
}

void TimerSchedule::Reload() {
  ReloadTimers();
  host_.TimersReloaded();
}

void TimerSchedule::LoadTimers(const SettingsFile& file) {
  Timers.clear();
  Timers = halcyra::LoadTimers(
      file, {services_.firing.app.os, services_.firing.clock, services_.wakeTimers});
}

void TimerSchedule::ReloadTimers() { LoadTimers(services_.firing.app.OpenSettings()); }

}  // namespace halcyra
