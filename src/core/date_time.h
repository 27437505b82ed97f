// Date-times in memory: days since 30 December 1899, the time of day as the fraction, so that
// a difference of two of them times 86400 is a number of seconds. Also their text form in the
// settings file: the regional short date, a blank and the long time (no time at midnight).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/local_time.h"
#include "core/regional_format.h"

namespace halcyra {

using DateTime = double;

// The English day names, Sunday first: the day-of-week numbers of LocalTime.
inline constexpr std::array<const char*, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
// Day number of a day name (0 = Sunday), or nullopt.
std::optional<int> DayNumber(std::string_view name);

inline constexpr double kSecondsPerDay = 86400.0;

// Whole days since 30 December 1899 for a proleptic Gregorian date.
long long DaysFromCivil(int year, unsigned month, unsigned day);
// Day of week (0 = Sunday) of such a day number.
unsigned DayOfWeekOfDays(long long days);

DateTime EncodeDateTime(const LocalTime& t);
// Fields of a date-time, rounded to the nearest millisecond, with its day of week.
LocalTime DecodeDateTime(DateTime value);

std::string FormatDate(const LocalTime& t, const std::string& pattern, const RegionalFormat& fmt);
std::string FormatTime(const LocalTime& t, const std::string& pattern, const RegionalFormat& fmt);

// The text the settings file holds for a date-time.
std::string DateTimeToText(DateTime value, const RegionalFormat& fmt);
// Reads such a text back; nullopt when it is not a date-time in that format.
std::optional<DateTime> TextToDateTime(const std::string& text, const RegionalFormat& fmt);

}  // namespace halcyra
