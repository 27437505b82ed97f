// The six event words: how a timer names its action in the settings file, in the order the
// timer editor lists them, and what each word means wherever it travels: its caption in the
// user's language, the countdown's sentence, the power action, and whether the program goes on
// running afterwards. Words are
// compared exactly and case-sensitively.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "actions/power_actions.h"
#include "lang/texts.h"

namespace halcyra {

enum class PowerEvent { Shutdown, PowerOff, Reboot, Hibernate, Suspend, LogOff };

struct EventWordMeaning {
  PowerEvent event;
  const char* word;
  Text caption;
  // "This computer will shut down in N seconds!", and the same for one second, which some
  // languages say in the singular.
  Text countdown;
  Text countdownOfOne;
  bool (*action)(const PowerServices&);
  // Hibernate and suspend return to a running program; the others end the session.
  bool programGoesOn;
};

inline constexpr std::array<EventWordMeaning, 6> kEventWords = {{
    {PowerEvent::Shutdown, "Shutdown", "Shutdown", "This computer will shut down in %1 seconds!",
     "one\x04This computer will shut down in %1 seconds!", &ShutdownWindows, false},
    {PowerEvent::PowerOff, "Power off", "Power off", "This computer will power off in %1 seconds!",
     "one\x04This computer will power off in %1 seconds!", &PowerOffComputer, false},
    {PowerEvent::Reboot, "Reboot", "Reboot", "This computer will reboot in %1 seconds!",
     "one\x04This computer will reboot in %1 seconds!", &RebootComputer, false},
    {PowerEvent::Hibernate, "Hibernate", "Hibernate", "This computer will hibernate in %1 seconds!",
     "one\x04This computer will hibernate in %1 seconds!", &HibernateComputer, true},
    {PowerEvent::Suspend, "Suspend", "Suspend", "This computer will suspend in %1 seconds!",
     "one\x04This computer will suspend in %1 seconds!", &SuspendComputer, true},
    {PowerEvent::LogOff, "Log off", "Log off", "This computer will log off in %1 seconds!",
     "one\x04This computer will log off in %1 seconds!", &LogOffUser, false},
}};

// The meaning of a word, or nullopt for a word that is none of the six.
std::optional<EventWordMeaning> MeaningOfWord(std::string_view word);
const EventWordMeaning& MeaningOf(PowerEvent event);
inline const char* WordOf(PowerEvent event) { return MeaningOf(event).word; }
// A word as the user reads it: an event's caption in the user's language, any other word as
// it stands.
std::string EventCaption(std::string_view word);

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
