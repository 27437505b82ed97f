#pragma once

#include "platform/clock.h"

namespace halcyra {

// The local clock through the C++ library, and a steady millisecond count as the tick.
class SystemClock final : public Clock {
 public:
  LocalTime Now() const override;
  LocalTime UtcNow() const override;
  std::uint32_t TickCount() const override;
  std::uint64_t TickCount64() const override;
};

}  // namespace halcyra
