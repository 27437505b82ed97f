// Timer records: the [Timer] entries of the settings file, as the main window holds them.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/event_words.h"
#include "app/settings_keys.h"
#include "platform/wake_timers.h"

namespace halcyra {

struct TTimerRecord {
  std::string Title;
  bool Enabled = false;
  std::string ShutEvent;
  std::string Time;
  std::string Frequency;
  // ShutEvent's meaning, looked up as the entry is read.
  std::optional<PowerEvent> Event;
  // The armed wake-up timer; released with the record.
  std::unique_ptr<WakeTimerHandle> WakeTimer;
  // Set by an organisation's policy: not in the file, and not to be changed here.
  bool Managed = false;

  // The entry's fields without the wake-up timer, which only one record may own.
  TTimerRecord Fields() const {
    return {Title, Enabled, ShutEvent, Time, Frequency, Event, nullptr, Managed};
  }
};

// One line of the section, "title=state,event,time,frequency". Never fails: a missing
// separator gives empty fields.
TTimerRecord ParseTimerEntry(const std::string& line);

// The value of an entry: state word, event word, "hh:mm" and frequency word.
std::string FormatTimerEntry(bool enabled, const std::string& event, const std::string& hour,
                             const std::string& minute, const std::string& frequency);

// Hour and minute of a time text split at its first ":", when both are decimal integers.
std::optional<std::pair<int, int>> ParseTimeOfDay(std::string_view time);

}  // namespace halcyra
