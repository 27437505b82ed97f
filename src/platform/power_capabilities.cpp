#include "platform/power_capabilities.h"

#include <algorithm>
#include <string_view>

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
  // Split by hand: a string stream would bring the whole of the library's locales into the
  // program, most of its size.
  constexpr std::string_view kSpace = " \t\r\n";
  const std::string_view all = words;
  for (std::size_t start = all.find_first_not_of(kSpace); start != std::string_view::npos;) {
    const std::size_t end = std::min(all.find_first_of(kSpace, start), all.size());
    const std::string_view word = all.substr(start, end - start);
    start = all.find_first_not_of(kSpace, end);
    const auto equals = word.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = word.substr(0, equals);
    const std::string_view value = word.substr(equals + 1);
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
