// Timer records: the [Timer] entries of the settings file, as the main window holds them.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/wake_timers.h"

namespace halcyra {

inline constexpr const char* kTimerSection = "Timer";

inline constexpr std::array<const char*, 6> kEventWords = {"Shutdown",  "Power off", "Reboot",
                                                           "Hibernate", "Suspend",   "Log off"};
inline constexpr std::array<const char*, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

struct TTimerRecord {
  std::string Title;
  bool Enabled = false;
  std::string ShutEvent;
  std::string Time;
  std::string Frequency;
  // The armed wake-up timer; released with the record.
  std::unique_ptr<WakeTimerHandle> WakeTimer;
};

// One line of the section, "title=state,event,time,frequency". Never fails: a missing
// separator gives empty fields.
TTimerRecord ParseTimerEntry(const std::string& line);

// The value of an entry: state word, event word, "hh:mm" and frequency word.
std::string FormatTimerEntry(bool enabled, const std::string& event, const std::string& hour,
                             const std::string& minute, const std::string& frequency);

// Hour and minute of a time text split at its first ":", when both are decimal integers.
std::optional<std::pair<int, int>> ParseTimeOfDay(const std::string& time);

// Day number of a day name (0 = Sunday), or nullopt.
std::optional<int> DayNumber(const std::string& name);

}  // namespace halcyra
