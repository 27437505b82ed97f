#include "schedule/timer_record.h"

#include "core/text.h"

namespace halcyra {
namespace {

// The text before the first separator; the rest after it (empty without a separator).
std::string TakeField(std::string& rest, char separator) {
  const std::size_t at = rest.find(separator);
  std::string field = rest.substr(0, at);
  rest = at == std::string::npos ? std::string() : rest.substr(at + 1);
  return field;
}

// An hour or a minute: a decimal integer of a sensible size.
std::optional<int> TimePart(std::string_view text) {
  constexpr std::int64_t kLargest = 100000;
  const auto value = ParseDecimal(text, kLargest + 1);
  if (!value || *value > kLargest || *value < -kLargest) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

TTimerRecord ParseTimerEntry(const std::string& line) {
  TTimerRecord record;
  std::string rest = line;
  record.Title = TakeField(rest, '=');
  record.Enabled = TakeField(rest, ',') == "enabled";
  record.ShutEvent = TakeField(rest, ',');
  record.Event = EventWord::Of(record.ShutEvent).event;
  record.Time = TakeField(rest, ',');
  record.Frequency = rest;
  return record;
}

std::string FormatTimerEntry(bool enabled, const std::string& event, const std::string& hour,
                             const std::string& minute, const std::string& frequency) {
  return std::string(enabled ? "enabled" : "disabled") + "," + event + "," + hour + ":" + minute +
         "," + frequency;
}

std::optional<std::pair<int, int>> ParseTimeOfDay(std::string_view time) {
  // Read in place: the schedule asks this of every timer once a second.
  const std::size_t colon = time.find(':');
  const auto hour = TimePart(time.substr(0, colon));
  const auto minute =
      TimePart(colon == std::string_view::npos ? std::string_view() : time.substr(colon + 1));
  if (!hour || !minute) return std::nullopt;
  return std::make_pair(*hour, *minute);
}

}  // namespace halcyra
