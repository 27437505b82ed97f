// A local calendar time with the fields of the system's clock reading, 16 bits each.
#pragma once

#include <cstdint>

namespace halcyra {

struct LocalTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;  // 0 = Sunday
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

}  // namespace halcyra
