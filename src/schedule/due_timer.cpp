#include "schedule/due_timer.h"

#include "schedule/frequency.h"

namespace halcyra {

bool SameMinute(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute;
}

std::optional<DueTimer> FindDueTimer(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                                     const LocalTime& lastHandled,
                                     const std::function<DateTime()>& lastRebootTime,
                                     const std::function<bool(const TTimerRecord&)>& passOver) {
  for (const TTimerRecord& record : timers) {
    if (!record.Enabled || (passOver && passOver(record))) continue;
    // A time that is no hour and minute can never match; it is passed over.
    const auto hm = ParseTimeOfDay(record.Time);
    if (!hm || hm->first != now.hour || hm->second != now.minute) continue;
    if (SameMinute(lastHandled, now)) continue;
    if (record.Event == PowerEvent::Reboot && SameMinute(DecodeDateTime(lastRebootTime()), now))
      return std::nullopt;
    if (!FiresOn(record.Frequency, now.dayOfWeek)) continue;
    return DueTimer{record.Title, {record.ShutEvent, record.Event}, record.Frequency == kOnce, {}};
  }
  return std::nullopt;
}

}  // namespace halcyra
