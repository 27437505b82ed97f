#include "platform/portable/system_clock.h"

#include <chrono>
#include <ctime>

namespace halcyra {

LocalTime SystemClock::Now() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return {static_cast<std::uint16_t>(local.tm_year + 1900),
          static_cast<std::uint16_t>(local.tm_mon + 1),
          static_cast<std::uint16_t>(local.tm_wday),
          static_cast<std::uint16_t>(local.tm_mday),
          static_cast<std::uint16_t>(local.tm_hour),
          static_cast<std::uint16_t>(local.tm_min),
          static_cast<std::uint16_t>(local.tm_sec),
          static_cast<std::uint16_t>(ms.count() % 1000)};
}

std::uint32_t SystemClock::TickCount() const {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace halcyra
