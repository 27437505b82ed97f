#include "schedule/next_wake.h"

#include <algorithm>

#include "schedule/due_timer.h"
#include "schedule/frequency.h"

namespace halcyra {
namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kHalfHour = 30;

// Minutes from now's minute to the first minute at or after it in which the timer can fall due;
// none for a disabled timer, a time that is no hour and minute, or a word that selects no day.
std::optional<int> MinutesUntilDue(const TTimerRecord& record, const LocalTime& now,
                                   bool nowHandled) {
  if (!record.Enabled) return std::nullopt;
  const auto hm = ParseTimeOfDay(record.Time);
  if (!hm) return std::nullopt;
  const int nowMinute = now.hour * 60 + now.minute;
  const int atMinute = hm->first * 60 + hm->second;
  for (int day = 0; day <= 7; ++day) {
    const int ahead = day * kMinutesPerDay + atMinute - nowMinute;
    if (ahead < 0 || (ahead == 0 && nowHandled)) continue;
    if (FiresOn(record.Frequency, (now.dayOfWeek + day) % 7)) return ahead;
  }
  return std::nullopt;
}

}  // namespace

std::uint64_t MsUntilMinuteStart(const LocalTime& now, std::uint64_t minutesAhead) {
  const std::uint64_t intoMinute = now.second * 1000ULL + now.milliseconds;
  return minutesAhead * 60000ULL - std::min<std::uint64_t>(intoMinute, 59999) +
         kMinuteStartMarginMs;
}

std::uint64_t MsUntilNextLook(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                              const LocalTime& lastHandled) {
  const bool nowHandled = SameMinute(lastHandled, now);
  int ahead = kHalfHour - now.minute % kHalfHour;
  for (const TTimerRecord& record : timers) {
    const std::optional<int> due = MinutesUntilDue(record, now, nowHandled);
    if (due == 0) return kLookWithinMinuteMs;
    if (due) ahead = std::min(ahead, *due);
  }
  return MsUntilMinuteStart(now, static_cast<std::uint64_t>(ahead));
}

}  // namespace halcyra
