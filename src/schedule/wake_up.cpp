#include "schedule/wake_up.h"

#include "app/date_time.h"
#include "app/paths.h"

namespace halcyra {
namespace {

constexpr int kDaysPerWeek = 7;

// Whole days from today to the due day, or nullopt for a word that names no days.
std::optional<int> DaysAhead(int weekday, bool elapsed, const std::string& frequency) {
  if (frequency == "Once" || frequency == "Daily") return elapsed ? 1 : 0;
  if (frequency == "Weekday") {
    if (weekday == 0) return 1;           // Sunday: Monday
    if (weekday == 6) return 2;           // Saturday: Monday
    if (weekday == 5) return elapsed ? 3 : 0;  // Friday after its time: Monday
    return elapsed ? 1 : 0;
  }
  const auto day = DayNumber(frequency);
  if (!day) return std::nullopt;
  const int ahead = ((*day - weekday) % kDaysPerWeek + kDaysPerWeek) % kDaysPerWeek;
  return ahead == 0 && elapsed ? kDaysPerWeek : ahead;
}

}  // namespace

std::optional<LocalTime> WakeDueTime(const LocalTime& now, const std::string& time,
                                     const std::string& frequency) {
  const auto hm = ParseTimeOfDay(time);
  if (!hm) return std::nullopt;
  const auto [h, m] = *hm;
  // Such a time cannot be converted to a moment of the clock.
  if (h < 0 || h > 23 || m < 0 || m > 59) return std::nullopt;
  const bool elapsed = now.hour > h || (now.hour == h && now.minute > m);
  const auto ahead = DaysAhead(now.dayOfWeek, elapsed, frequency);
  if (!ahead) return std::nullopt;
  const long long day = DaysFromCivil(now.year, now.month, now.day) + *ahead;
  LocalTime due = DecodeDateTime(static_cast<double>(day));
  due.hour = static_cast<std::uint16_t>(h);
  due.minute = static_cast<std::uint16_t>(m);
  return due;
}

bool MeetsWakePrecondition(const TTimerRecord& record, const std::string& edition) {
  const bool ntFamily =
      edition == kEditionNewWinNT || edition == kEditionOldWinNt || edition == kEditionVista;
  return ntFamily && record.ShutEvent != "Suspend" && record.Enabled;
}

std::unique_ptr<WakeTimerHandle> ArmWakeTimer(const TTimerRecord& record, const Clock& clock,
                                              WakeTimers& wakeTimers) {
  const auto due = WakeDueTime(clock.Now(), record.Time, record.Frequency);
  if (!due) return nullptr;
  return wakeTimers.Arm(*due);
}

std::vector<TTimerRecord> LoadTimers(const SettingsFile& file,
                                     const TimerLoadServices& services) {
  std::vector<TTimerRecord> timers;
  for (const std::string& line : file.ReadSectionValues(kTimerSection)) {
    TTimerRecord record = ParseTimerEntry(line);
    if (MeetsWakePrecondition(record, GetOSEdition(services.os)))
      record.WakeTimer = ArmWakeTimer(record, services.clock, services.wakeTimers);
    timers.push_back(std::move(record));
  }
  return timers;
}

}  // namespace halcyra
