#include "schedule/frequency.h"

#include "core/date_time.h"

namespace halcyra {

std::string FrequencyCaption(const std::string& frequency) {
  if (frequency == kOnce) return Tr("Once");
  if (frequency == kDaily) return Tr("Daily");
  if (frequency == kWeekday) return Tr("Weekday");
  const auto day = DayNumber(frequency);
  return day ? Tr(kDayCaptions[static_cast<std::size_t>(*day)]) : frequency;
}

bool FiresOn(const std::string& frequency, unsigned dayOfWeek) {
  if (frequency == kOnce || frequency == kDaily) return true;
  if (frequency == kWeekday) return dayOfWeek != 0 && dayOfWeek != 6;
  const auto day = DayNumber(frequency);
  return day && static_cast<unsigned>(*day) == dayOfWeek;
}

std::optional<int> DaysUntilFiring(const std::string& frequency, unsigned dayOfWeek,
                                   bool timeGoneToday) {
  constexpr int kDaysPerWeek = 7;
  for (int ahead = timeGoneToday ? 1 : 0; ahead <= kDaysPerWeek; ++ahead)
    if (FiresOn(frequency, (dayOfWeek + static_cast<unsigned>(ahead)) % kDaysPerWeek)) return ahead;
  return std::nullopt;
}

}  // namespace halcyra
