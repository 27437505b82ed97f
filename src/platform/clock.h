// The clock, local and in UTC, and the system's millisecond tick count.
#pragma once

#include <cstdint>

#include "core/local_time.h"

namespace halcyra {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
  // The same moment in UTC: it does not jump when the time zone or daylight-saving time does.
  virtual LocalTime UtcNow() const = 0;
  // Milliseconds since the system started, wrapping at 2^32.
  virtual std::uint32_t TickCount() const = 0;
  // The same count without the wrap: elapsed time that no clock change or daylight-saving
  // switch can move.
  virtual std::uint64_t TickCount64() const = 0;
};

}  // namespace halcyra
