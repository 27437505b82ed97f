#include "platform/portable/system_clock.h"

#include <chrono>
#include <ctime>

namespace halcyra {

namespace {

LocalTime Fields(const std::tm& t, std::chrono::milliseconds sinceEpoch) {
  return {static_cast<std::uint16_t>(t.tm_year + 1900),
          static_cast<std::uint16_t>(t.tm_mon + 1),
          static_cast<std::uint16_t>(t.tm_wday),
          static_cast<std::uint16_t>(t.tm_mday),
          static_cast<std::uint16_t>(t.tm_hour),
          static_cast<std::uint16_t>(t.tm_min),
          static_cast<std::uint16_t>(t.tm_sec),
          static_cast<std::uint16_t>(sinceEpoch.count() % 1000)};
}

// The present moment broken down locally or in UTC.
LocalTime Reading(bool utc) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm t{};
#ifdef _WIN32
  if (utc)
    gmtime_s(&t, &seconds);
  else
    localtime_s(&t, &seconds);
#else
  if (utc)
    gmtime_r(&seconds, &t);
  else
    localtime_r(&seconds, &t);
#endif
  return Fields(t, ms);
}

}  // namespace

LocalTime SystemClock::Now() const { return Reading(false); }

LocalTime SystemClock::UtcNow() const { return Reading(true); }

std::uint32_t SystemClock::TickCount() const { return static_cast<std::uint32_t>(TickCount64()); }

std::uint64_t SystemClock::TickCount64() const {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace halcyra
