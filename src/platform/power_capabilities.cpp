#include "platform/power_capabilities.h"

#include <sstream>

namespace halcyra {

SuspendWay SuspendWayOf(const std::optional<PowerCapabilities>& c) {
  if (!c) return SuspendWay::Sleep;
  // Any of S1 to S3 will do: a machine with one of them sleeps when it is asked to.
  if (c->s1 || c->s2 || c->s3) return SuspendWay::Sleep;
  // Asked to sleep, a modern-standby machine hibernates or does nothing at all.
  return c->aoac ? SuspendWay::DisplayOff : SuspendWay::Refused;
}

bool HibernateAllowed(const std::optional<PowerCapabilities>& c) {
  if (!c) return true;
  return c->s4 && (c->hiberFile == HiberFile::Present || c->hiberFile == HiberFile::Full);
}

PowerCapabilities WithCapabilityWords(PowerCapabilities c, const std::string& words) {
  std::istringstream in(words);
  std::string word;
  while (in >> word) {
    const auto equals = word.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    if (name == "HiberFile") {
      if (value == "none") c.hiberFile = HiberFile::None;
      if (value == "present") c.hiberFile = HiberFile::Present;
      if (value == "reduced") c.hiberFile = HiberFile::Reduced;
      if (value == "full") c.hiberFile = HiberFile::Full;
      continue;
    }
    if (value != "0" && value != "1") continue;
    const bool on = value == "1";
    if (name == "S1") c.s1 = on;
    if (name == "S2") c.s2 = on;
    if (name == "S3") c.s3 = on;
    if (name == "S4") c.s4 = on;
    if (name == "AoAc") c.aoac = on;
  }
  return c;
}

}  // namespace halcyra
