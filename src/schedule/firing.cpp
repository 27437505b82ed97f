#include "schedule/firing.h"

#include "actions/countdown.h"

namespace halcyra {
namespace {

// The longest hold: a clock set back must not keep a reboot waiting for an hour.
constexpr std::uint64_t kLongestHoldMs = 60000;

}  // namespace

Firing::Step Firing::Tick(std::uint64_t tickMs, const LocalTime& now) {
  if (phase_ == Phase::Counting) {
    // Elapsed time comes from the tick count: a clock set forward or back, or a daylight-saving
    // switch, during the count must not end it at once or add an hour to it.
    const double elapsed = static_cast<double>(tickMs - since_) / 1000;
    if (static_cast<double>(seconds_) >= elapsed)
      return {Phase::Counting, seconds_ - RoundHalfEven(elapsed)};
    phase_ = Phase::Act;
  }
  if (phase_ == Phase::Holding &&
      (!SameMinute(now, startedAt_) || tickMs - since_ > kLongestHoldMs))
    phase_ = Phase::Finish;
  return {phase_};
}

void Firing::Begin(std::int64_t seconds, std::uint64_t tickMs) {
  seconds_ = seconds;
  since_ = tickMs;
  phase_ = seconds == 0 ? Phase::Act : Phase::Counting;
}

void Firing::Hold(std::uint64_t tickMs) {
  since_ = tickMs;
  phase_ = Phase::Holding;
}

void Firing::Finish(End end) {
  end_ = end;
  phase_ = Phase::Done;
}

}  // namespace halcyra
