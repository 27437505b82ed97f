// When the computer has gone quiet: for a number of whole minutes in a row, each minute's
// average processor use and network traffic (in and out together) stayed below their limits.
// The minutes are counted from the first sample on; a minute that was busy, or that could not
// be measured, starts the count again.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/system_load.h"

namespace halcyra {

struct QuietLimits {
  unsigned minutes = 10;
  unsigned processorPercent = 10;  // the average must stay below it
  unsigned networkKBps = 10;       // KB of 1024 bytes a second, below it
};

// A minute's averages.
struct LoadFigures {
  double processorPercent = 0;
  double networkKBps = 0;
};

// One counter's growth between two readings. A counter that went down wrapped at 2^32 when it
// stood below that (a 32-bit counter), else it was reset and counts from zero.
std::uint64_t CounterGrowth(std::uint64_t before, std::uint64_t after);

class QuietRule {
 public:
  // `minuteMs`: the length of a minute (shorter only in tests); `first`: the sample at `tick`
  // that the first minute starts from.
  QuietRule(QuietLimits limits, std::uint64_t minuteMs, std::uint64_t tick, LoadSample first);

  // A later sample at `tick` (milliseconds on a clock that no clock change moves).
  void Observe(std::uint64_t tick, LoadSample sample);

  unsigned QuietMinutes() const { return quietMinutes_; }
  bool Quiet() const { return quietMinutes_ >= limits_.minutes; }
  const QuietLimits& Limits() const { return limits_; }
  // Milliseconds from `tick` to the end of the minute being gathered: its counters only grow,
  // so one sample at its end measures it whole.
  std::uint64_t MsUntilMinuteEnds(std::uint64_t tick) const {
    return minuteEnd_ > tick ? minuteEnd_ - tick : 0;
  }
  // How many minutes have ended since the first sample.
  unsigned MinutesEnded() const { return minutesEnded_; }
  // The last whole minute's averages; before the first minute has ended, those of the part
  // gone by; none while nothing could be measured.
  std::optional<LoadFigures> Figures() const;

 private:
  // What a minute has gathered so far.
  struct Gathered {
    std::uint64_t busy = 0, total = 0;  // processor time, 100-ns units
    std::uint64_t octets = 0;
    std::uint64_t milliseconds = 0;
    bool unmeasured = false;
  };
  static std::optional<LoadFigures> Average(const Gathered& gathered);
  void EndMinute(std::uint64_t tick);

  QuietLimits limits_;
  std::uint64_t minuteMs_;
  std::uint64_t lastTick_;
  LoadSample last_;
  std::uint64_t minuteEnd_;
  Gathered minute_;
  std::optional<LoadFigures> lastMinute_;
  unsigned minutesEnded_ = 0;
  unsigned quietMinutes_ = 0;
};

}  // namespace halcyra
