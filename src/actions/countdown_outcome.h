// How a countdown ended, for the schedule that fired it: whether its tick runs again, and from
// which minute on a timer may fire again.
#pragma once

#include <functional>

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
  // After "Suspend" or "Hibernate": the sleep itself, for the schedule to ask for once its tick
  // runs again, so that the tick goes on after the resume and while a message says that the
  // machine did not sleep.
  std::function<void()> sleep = {};
};

}  // namespace halcyra
