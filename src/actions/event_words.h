// The six event words: how a timer names its action in the settings file, in the order the
// timer editor lists them, and what each word means wherever it travels: the countdown's
// verb, the power action, and whether the program goes on running afterwards. Words are
// compared exactly and case-sensitively.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "actions/power_actions.h"

namespace halcyra {

enum class PowerEvent { Shutdown, PowerOff, Reboot, Hibernate, Suspend, LogOff };

struct EventWordMeaning {
  PowerEvent event;
  const char* word;
  // "This computer will <verb> in N seconds!"
  const char* verb;
  bool (*action)(const PowerServices&);
  // Hibernate and suspend return to a running program; the others end the session.
  bool programGoesOn;
};

inline constexpr std::array<EventWordMeaning, 6> kEventWords = {{
    {PowerEvent::Shutdown, "Shutdown", "shut down", &ShutdownWindows, false},
    {PowerEvent::PowerOff, "Power off", "power off", &PowerOffComputer, false},
    {PowerEvent::Reboot, "Reboot", "reboot", &RebootComputer, false},
    {PowerEvent::Hibernate, "Hibernate", "hibernate", &HibernateComputer, true},
    {PowerEvent::Suspend, "Suspend", "suspend", &SuspendComputer, true},
    {PowerEvent::LogOff, "Log off", "log off", &LogOffUser, false},
}};

// The meaning of a word, or nullopt for a word that is none of the six.
std::optional<EventWordMeaning> MeaningOfWord(std::string_view word);
const EventWordMeaning& MeaningOf(PowerEvent event);
inline const char* WordOf(PowerEvent event) { return MeaningOf(event).word; }

// An event word as a timer or a request names it, looked up once. A word that is none of the
// six keeps its text, for the log line and "Unknown shutdown event.", and has no event.
struct EventWord {
  std::string word;
  std::optional<PowerEvent> event;

  static EventWord Of(std::string_view word);
  const EventWordMeaning* Meaning() const { return event ? &MeaningOf(*event) : nullptr; }
  bool Is(PowerEvent e) const { return event == e; }
  bool operator==(const EventWord&) const = default;
};

}  // namespace halcyra
