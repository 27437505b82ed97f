// The user's regional date and time conventions, in the pattern language of the Windows
// locale settings (d, dd, M, MM, yy, yyyy, h, hh, H, HH, m, mm, s, ss, t, tt, '...').
#pragma once

#include <string>

namespace halcyra {

struct RegionalFormat {
  std::string shortDate = "M/d/yyyy";
  std::string longTime = "h:mm:ss tt";
  std::string timeSeparator = ":";
  std::string am = "AM";
  std::string pm = "PM";
};

}  // namespace halcyra
