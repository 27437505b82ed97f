#include "schedule/wake_up.h"

#include <algorithm>
#include <cstdio>

#include "actions/event_words.h"
#include "app/paths.h"
#include "app/timer_section.h"
#include "core/date_time.h"
#include "core/text.h"
#include "schedule/due_timer.h"
#include "schedule/frequency.h"

namespace halcyra {

std::optional<LocalTime> WakeDueTime(const LocalTime& now, const std::string& time,
                                     const std::string& frequency) {
  const auto hm = ParseTimeOfDay(time);
  if (!hm) return std::nullopt;
  const auto [h, m] = *hm;
  // Such a time cannot be converted to a moment of the clock.
  if (h < 0 || h > 23 || m < 0 || m > 59) return std::nullopt;
  const bool elapsed = now.hour > h || (now.hour == h && now.minute > m);
  const auto ahead = DaysUntilFiring(frequency, now.dayOfWeek, elapsed);
  if (!ahead) return std::nullopt;
  const long long day = DaysFromCivil(now.year, now.month, now.day) + *ahead;
  LocalTime due = DecodeDateTime(static_cast<double>(day));
  due.hour = static_cast<std::uint16_t>(h);
  due.minute = static_cast<std::uint16_t>(m);
  return due;
}

namespace {

constexpr double kMillisecondsPerDay = kSecondsPerDay * 1000.0;

}  // namespace

std::optional<LocalTime> NextMinuteToLook(const std::vector<TTimerRecord>& timers,
                                          const LocalTime& looked, const LocalTime& now) {
  std::optional<LocalTime> first;
  for (const TTimerRecord& record : timers) {
    if (!record.Enabled) continue;
    auto due = WakeDueTime(now, record.Time, record.Frequency);
    // Its minute was looked at already: its next day, seen from the minute after.
    if (due && SameMinute(*due, looked))
      due = WakeDueTime(DecodeDateTime(EncodeDateTime(*due) + 60.0 / kSecondsPerDay), record.Time,
                        record.Frequency);
    if (due && (!first || EncodeDateTime(*due) < EncodeDateTime(*first))) first = due;
  }
  return first;
}

std::uint32_t MillisecondsToLook(const std::optional<LocalTime>& next, const LocalTime& now,
                                 std::uint32_t longest) {
  if (!next) return longest;
  const double until = (EncodeDateTime(*next) - EncodeDateTime(now)) * kMillisecondsPerDay;
  if (until <= 0) return 0;
  return until >= longest ? longest : static_cast<std::uint32_t>(until + 0.5);
}

bool MeetsWakePrecondition(const TTimerRecord& record, const std::string& edition) {
  return IsNtFamily(edition) && record.ShutEvent != WordOf(PowerEvent::Suspend) && record.Enabled;
}

std::unique_ptr<WakeTimerHandle> ArmWakeTimer(const TTimerRecord& record, const Clock& clock,
                                              WakeTimers& wakeTimers) {
  const auto due = WakeDueTime(clock.Now(), record.Time, record.Frequency);
  if (!due) return nullptr;
  char at[16];
  std::snprintf(at, sizeof at, "%02u:%02u", due->hour, due->minute);
  return wakeTimers.Arm(*due, "Halcyra: " + record.Title + " at " + at);
}

std::vector<TTimerRecord> LoadTimers(const SettingsFile& file, const Policies& policies,
                                     const TimerLoadServices& services) {
  std::vector<TTimerRecord> timers;
  const std::string edition = GetOSEdition(services.os);
  const auto add = [&](const std::string& line, bool managed) {
    TTimerRecord record = ParseTimerEntry(line);
    record.Managed = managed;
    if (MeetsWakePrecondition(record, edition))
      record.WakeTimer = ArmWakeTimer(record, services.clock, services.wakeTimers);
    timers.push_back(std::move(record));
  };
  for (const std::string& line : policies.timers) add(line, true);
  if (policies.disableUserTimers) return timers;
  const std::size_t managed = timers.size();
  for (const std::string& line : ReadTimerEntries(file)) {
    const std::string title = UpperUnicode(ParseTimerEntry(line).Title);
    if (std::none_of(timers.begin(), timers.begin() + static_cast<std::ptrdiff_t>(managed),
                     [&](const TTimerRecord& r) { return UpperUnicode(r.Title) == title; }))
      add(line, false);
  }
  return timers;
}

}  // namespace halcyra
