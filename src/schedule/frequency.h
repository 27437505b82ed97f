// The frequency word of a timer, "Once", "Daily", "Weekday" or a day name, and the one rule of
// which days it selects: the schedule's tick and the wake-up due time both ask it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/settings_keys.h"
#include "lang/texts.h"

namespace halcyra {

// The days as the weekly choice lists them, Sunday first.
inline constexpr std::array<Text, 7> kDayCaptions = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};
// A frequency word as the user reads it: in the user's language, an unknown word as it stands.
std::string FrequencyCaption(const std::string& frequency);

// Whether the word selects this day of the week (0 = Sunday).
bool FiresOn(const std::string& frequency, unsigned dayOfWeek);

// Whole days from today (this day of the week) to the next day the word selects; today counts
// only when its time has not gone by. nullopt for a word that selects no day.
std::optional<int> DaysUntilFiring(const std::string& frequency, unsigned dayOfWeek,
                                   bool timeGoneToday);

}  // namespace halcyra
