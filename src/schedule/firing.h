// One firing of a due timer or one-off request in the tray program, from the moment its
// countdown opens to its end. The main window's tick advances it; it reads no clock and shows
// nothing itself: each tick says what to show or to do, and the firing is told what was done.
#pragma once

#include <cstdint>

#include "core/local_time.h"
#include "schedule/due_timer.h"

namespace halcyra {

class Firing {
 public:
  enum class Phase {
    // The countdown window is up; the first tick starts the alarm and the count.
    Opening,
    Counting,
    // The count is over: carry the action out.
    Act,
    // The action is being carried out; a tick that comes meanwhile, from the loop of a message
    // box it shows, leaves it alone.
    Acting,
    // A reboot without its stamp waits until the minute it started in is over.
    Holding,
    // The wait is over: the held action now.
    Finish,
    Done,
  };
  enum class End {
    // Windows ends the program: the tick stays off.
    Ended,
    Aborted,
    // The program runs on: after a sleep, or an action that did not happen.
    GoingOn,
  };
  struct Step {
    Phase phase;
    std::int64_t secondsLeft = 0;  // while Counting
  };

  Firing(DueTimer due, const LocalTime& startedAt) : due_(std::move(due)), startedAt_(startedAt) {}

  // Where the firing stands at this tick count and local time.
  Step Tick(std::uint64_t tickMs, const LocalTime& now);
  // The count runs for so many seconds from this tick count; none at all for 0.
  void Begin(std::int64_t seconds, std::uint64_t tickMs);
  // The end sequence or the held action starts.
  void StartActing() { phase_ = Phase::Acting; }
  // The reboot waits from this tick count on.
  void Hold(std::uint64_t tickMs);
  void Finish(End end);

  Phase CurrentPhase() const { return phase_; }
  End Outcome() const { return end_; }
  DueTimer& Due() { return due_; }
  // The minute it started in counts as handled unless the program ends.
  const LocalTime& StartedAt() const { return startedAt_; }

 private:
  DueTimer due_;
  LocalTime startedAt_;
  Phase phase_ = Phase::Opening;
  End end_ = End::GoingOn;
  std::int64_t seconds_ = 0;
  std::uint64_t since_ = 0;
};

}  // namespace halcyra
