#include "schedule/timer_record.h"

#include <cctype>

namespace halcyra {
namespace {

// The text before the first separator; the rest after it (empty without a separator).
std::string TakeField(std::string& rest, char separator) {
  const std::size_t at = rest.find(separator);
  std::string field = rest.substr(0, at);
  rest = at == std::string::npos ? std::string() : rest.substr(at + 1);
  return field;
}

std::optional<int> DecimalInteger(const std::string& text) {
  // Blanks before the digits and a sign are accepted, as the usual text-to-integer
  // conversion does; anything else makes the text no integer.
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > 100000) return std::nullopt;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

TTimerRecord ParseTimerEntry(const std::string& line) {
  TTimerRecord record;
  std::string rest = line;
  record.Title = TakeField(rest, '=');
  record.Enabled = TakeField(rest, ',') == "enabled";
  record.ShutEvent = TakeField(rest, ',');
  record.Time = TakeField(rest, ',');
  record.Frequency = rest;
  return record;
}

std::string FormatTimerEntry(bool enabled, const std::string& event, const std::string& hour,
                             const std::string& minute, const std::string& frequency) {
  return std::string(enabled ? "enabled" : "disabled") + "," + event + "," + hour + ":" + minute +
         "," + frequency;
}

std::optional<std::pair<int, int>> ParseTimeOfDay(const std::string& time) {
  std::string rest = time;
  const std::string hourText = TakeField(rest, ':');
  const auto hour = DecimalInteger(hourText);
  const auto minute = DecimalInteger(rest);
  if (!hour || !minute) return std::nullopt;
  return std::make_pair(*hour, *minute);
}

std::optional<int> DayNumber(const std::string& name) {
  for (std::size_t i = 0; i < kDayNames.size(); ++i)
    if (name == kDayNames[i]) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace halcyra
