#include "actions/event_words.h"

namespace halcyra {

std::optional<EventWordMeaning> MeaningOfWord(std::string_view word) {
  for (const EventWordMeaning& meaning : kEventWords)
    if (word == meaning.word) return meaning;
  return std::nullopt;
}

EventWord EventWord::Of(std::string_view word) {
  EventWord parsed;
  parsed.word = std::string(word);
  if (const auto meaning = MeaningOfWord(word)) parsed.event = meaning->event;
  return parsed;
}

std::string EventCaption(std::string_view word) {
  const auto meaning = MeaningOfWord(word);
  return meaning ? Tr(meaning->caption) : std::string(word);
}

const EventWordMeaning& MeaningOf(PowerEvent event) {
  return kEventWords[static_cast<std::size_t>(event)];
}

}  // namespace halcyra
