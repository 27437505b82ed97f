#include "schedule/timer_schedule.h"

#include "actions/event_words.h"
#include "app/settings_keys.h"
#include "schedule/frequency.h"
#include "schedule/wake_up.h"

namespace halcyra {

bool SameMinute(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute;
}

std::optional<DueTimer> FindDueTimer(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                                     const LocalTime& lastHandled,
                                     const std::function<DateTime()>& lastRebootTime) {
  for (const TTimerRecord& record : timers) {
    if (!record.Enabled) continue;
    // A time that is no hour and minute can never match; it is passed over.
    const auto hm = ParseTimeOfDay(record.Time);
    if (!hm || hm->first != now.hour || hm->second != now.minute) continue;
    if (SameMinute(lastHandled, now)) continue;
    if (record.ShutEvent == WordOf(PowerEvent::Reboot) &&
        SameMinute(DecodeDateTime(lastRebootTime()), now))
      return std::nullopt;
    if (!FiresOn(record.Frequency, now.dayOfWeek)) continue;
    return DueTimer{record.Title, record.ShutEvent, record.Frequency == kOnce};
  }
  return std::nullopt;
}

TimerSchedule::TimerSchedule(const ScheduleServices& services, ScheduleHost& host)
    : services_(services), host_(host) {}

void TimerSchedule::Timer1Timer() {
  LocalTime now = services_.clock.Now();
  if (services_.clockGuard.Check(services_.clock, services_.machine)) now = services_.clock.Now();
  const auto due = FindDueTimer(Timers, now, LastHandled, [this] {
    return services_.app.OpenSettings().ReadDateTime(kLogSection, kLastRebootTimeKey, 0);
  });
  if (!due) {
    FireOneOffIfDue(now);
    return;
  }
  if (due->once) {
    // Left in the file (a standard user under the read-only lock), it would fire again every
    // day: it fires only once it is gone, in a session that may remove it or from the service.
    if (!services_.app.OpenSettings().RemoveKey(kTimerSection, due->title)) {
      LastHandled = now;
      return;
    }
    host_.RemoveTimerRows(due->title);
  }
  Timer1Enabled = false;
  FireTimer(due->event);
}

void TimerSchedule::FireOneOffIfDue(const LocalTime& now) {
  if (!OneOff) return;
  if (!OneOff->Due(now, services_.clock.TickCount64(), services_.idle.IdleMilliseconds())) {
    // A minute of a quiet request ended: the icon's tip shows how far it is.
    if (OneOff->TakeProgress()) host_.OneOffChanged();
    return;
  }
  // It is done with once it fires, whatever the countdown's end: an aborted request is dropped.
  const std::string event = OneOff->Request().event;
  OneOff.reset();
  host_.OneOffChanged();
  Timer1Enabled = false;
  FireTimer(event);
}

void TimerSchedule::FireTimer(const std::string& eventWord) {
  // Held through the countdown and the clean-up after it; the reason names the action.
  const AwakeWhileAlive awake(services_.sleep, "Halcyra: " + eventWord + " countdown");
  services_.app.state.pendingEvent = eventWord;
  ReloadTimers();
  const CountdownOutcome outcome = host_.ShowCountdown();
  if (outcome.end == CountdownOutcome::End::Ended) return;
  LastHandled = outcome.handledMinute;
  Timer1Enabled = true;
  if (outcome.sleep) {
    host_.TickResumed();
    outcome.sleep();
  }
}

void TimerSchedule::LoadTimers(const SettingsFile& file) {
  Timers.clear();
  Timers = halcyra::LoadTimers(file, {services_.app.os, services_.clock, services_.wakeTimers});
}

void TimerSchedule::ReloadTimers() { LoadTimers(services_.app.OpenSettings()); }

}  // namespace halcyra
