// How a countdown ended, for the schedule that fired it: whether its tick runs again, and from
// which minute on a timer may fire again.
#pragma once

#include "core/local_time.h"

namespace halcyra {

struct CountdownOutcome {
  enum class End {
    // Windows ends the program, or the window closed before it acted: the tick stays off.
    Ended,
    Aborted,
    // The program runs on: after a suspend or hibernate, or an action that did not happen.
    GoingOn,
  };
  End end = End::Ended;
  // The minute the countdown started in. Unless it ended, that minute counts as handled, so
  // that the timer which fired does not fire again within it.
  LocalTime handledMinute;
};

}  // namespace halcyra
