// How long the tray program's schedule may sleep before it must look again: until the minute in
// which the next timer can fall due, never past the next full or half hour of the local clock,
// where a switch to or from daylight-saving time may move the clock without a word.
#pragma once

#include <cstdint>
#include <vector>

#include "core/local_time.h"
#include "schedule/timer_record.h"

namespace halcyra {

// The look within a minute in which a timer can still fall due: once a second, as a timer
// matches during its whole minute and fires on the first look in it.
inline constexpr std::uint64_t kLookWithinMinuteMs = 1000;
// A look comes this long after its minute has begun, so that the clock surely reads it.
inline constexpr std::uint64_t kMinuteStartMarginMs = 100;

// Milliseconds from `now` to the next look: kLookWithinMinuteMs when an enabled timer matches
// this minute's time and day and the minute was not handled; otherwise until the start of the
// first later minute whose time and day an enabled timer matches, or of the next full or half
// hour, whichever comes first.
std::uint64_t MsUntilNextLook(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                              const LocalTime& lastHandled);

// Milliseconds from `now` to the start of the minute `minutesAhead` minutes later, and the
// margin.
std::uint64_t MsUntilMinuteStart(const LocalTime& now, std::uint64_t minutesAhead);

}  // namespace halcyra
