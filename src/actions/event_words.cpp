#include "actions/event_words.h"

namespace halcyra {

std::optional<EventWordMeaning> MeaningOfWord(std::string_view word) {
  for (const EventWordMeaning& meaning : kEventWords)
    if (word == meaning.word) return meaning;
  return std::nullopt;
}

const EventWordMeaning& MeaningOf(PowerEvent event) {
  return kEventWords[static_cast<std::size_t>(event)];
}

}  // namespace halcyra
