// What falls due: the first timer whose minute, day and guards match now, or a one-off
// request whose condition holds. Both programs look for it the same way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/event_words.h"
#include "core/date_time.h"
#include "schedule/timer_record.h"

namespace halcyra {

struct DueTimer {
  // The timer's title; empty for a one-off request, which has no entry.
  std::string title;
  EventWord event;
  bool once = false;
  // A once-only timer's entry value after it was taken out of the file: it goes back when the
  // action is not carried out.
  std::optional<std::string> takenEntry;
  // A once-only timer that fires although the file kept its entry: the tray program takes it
  // out at a later write, and nothing tries again before.
  bool entryKept = false;
};

// The first timer that fires at `now`, in array order: enabled, at this hour and minute, in a
// minute not handled already, past the reboot guard and on a day its frequency selects. A
// reboot timer whose minute holds the last reboot stops the search. The reboot stamp is read
// only when a reboot timer gets that far. A timer that `passOver` names is skipped as a
// disabled one is.
std::optional<DueTimer> FindDueTimer(const std::vector<TTimerRecord>& timers, const LocalTime& now,
                                     const LocalTime& lastHandled,
                                     const std::function<DateTime()>& lastRebootTime,
                                     const std::function<bool(const TTimerRecord&)>& passOver = {});

bool SameMinute(const LocalTime& a, const LocalTime& b);

}  // namespace halcyra
