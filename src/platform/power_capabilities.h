// What the machine's firmware and Windows offer of sleep, and the rules the power actions
// draw from it.
#pragma once

#include <optional>
#include <string>

namespace halcyra {

// The hibernation file. Present: there is one, and the system does not say of which kind
// (systems before Windows 10 keep no kind). Reduced: only enough for Fast Startup, which
// cannot hibernate.
enum class HiberFile { None, Present, Reduced, Full };

struct PowerCapabilities {
  bool s1 = false;
  bool s2 = false;
  bool s3 = false;
  bool s4 = false;
  // Modern standby (S0 low-power idle): the machine sleeps with its display off, and no call
  // of a program enters that state.
  bool aoac = false;
  HiberFile hiberFile = HiberFile::None;
};

// How Suspend is carried out. DisplayOff: the display is turned off as a user's Sleep does on
// modern standby, and Windows takes the machine into standby from there.
enum class SuspendWay { Sleep, DisplayOff, Refused };

// nullopt: the system could not say; the power call itself then decides.
SuspendWay SuspendWayOf(const std::optional<PowerCapabilities>& capabilities);
bool HibernateAllowed(const std::optional<PowerCapabilities>& capabilities);

// The capabilities with words such as "S3=0 AoAc=1 S4=1 HiberFile=full" put over them; a word
// that is absent, or not understood, leaves its value as it was.
PowerCapabilities WithCapabilityWords(PowerCapabilities capabilities, const std::string& words);

}  // namespace halcyra
