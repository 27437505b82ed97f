#include "schedule/one_off.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/text.h"
#include "schedule/timer_record.h"

namespace halcyra {
namespace {

constexpr double kMinutesPerDay = 24 * 60;

const char* ConditionName(OneOffCondition condition) {
  switch (condition) {
    case OneOffCondition::In:
      return "in";
    case OneOffCondition::At:
      return "at";
    case OneOffCondition::AfterExit:
      return "after-exit";
    case OneOffCondition::AfterIdle:
      return "after-idle";
  }
  return "";
}

std::string HourMinute(std::pair<int, int> at) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", at.first, at.second);
  return text;
}

std::string HourMinute(DateTime moment) {
  const LocalTime t = DecodeDateTime(moment);
  return HourMinute({t.hour, t.minute});
}

// A minute's start: seconds do not count, as with timers.
DateTime MinuteOf(const LocalTime& t) {
  LocalTime minute = t;
  minute.second = 0;
  minute.milliseconds = 0;
  return EncodeDateTime(minute);
}

}  // namespace

std::string EncodeRequest(const OneOffRequest& r) {
  std::string text = "event=" + r.event + "\ncondition=" + ConditionName(r.condition) +
                     "\nminutes=" + std::to_string(r.minutes) + "\nat=" + HourMinute(r.at) +
                     "\nimage=" + r.imageName + "\npid=" + std::to_string(r.processId) +
                     "\ncreated=" + std::to_string(r.processCreated) + "\n";
  if (r.latest) text += "latest=" + HourMinute(*r.latest) + "\n";
  return text;
}

std::optional<OneOffRequest> DecodeRequest(std::string_view text) {
  OneOffRequest r;
  bool condition = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "event") {
      r.event = value;
    } else if (key == "condition") {
      for (const auto c : {OneOffCondition::In, OneOffCondition::At, OneOffCondition::AfterExit,
                           OneOffCondition::AfterIdle})
        if (value == ConditionName(c)) r.condition = c, condition = true;
    } else if (key == "minutes" || key == "pid" || key == "created") {
      const bool created = key == "created";
      const auto number =
          ParseDecimal(value, created ? INT64_MAX : 0xFFFFFFFFLL, LeadingBlanks::Refused);
      if (!number || *number < 0) return std::nullopt;
      if (created)
        r.processCreated = static_cast<std::uint64_t>(*number);
      else
        (key == "minutes" ? r.minutes : r.processId) = static_cast<unsigned>(*number);
    } else if (key == "at" || key == "latest") {
      const auto hm = ParseTimeOfDay(value);
      if (!hm) return std::nullopt;
      if (key == "at")
        r.at = *hm;
      else
        r.latest = *hm;
    } else if (key == "image") {
      r.imageName = value;
    } else {
      return std::nullopt;
    }
  }
  if (!condition || r.event.empty()) return std::nullopt;
  return r;
}

DateTime NextTimeOfDay(const LocalTime& from, std::pair<int, int> hourMinute) {
  LocalTime at = from;
  at.hour = static_cast<std::uint16_t>(hourMinute.first);
  at.minute = static_cast<std::uint16_t>(hourMinute.second);
  at.second = 0;
  at.milliseconds = 0;
  const DateTime today = EncodeDateTime(at);
  return today < MinuteOf(from) ? today + 1 : today;
}

PendingOneOff::PendingOneOff(OneOffRequest request, const LocalTime& arrived,
                             std::unique_ptr<ProcessWait> processes)
    : request_(std::move(request)), processes_(std::move(processes)) {
  if (request_.condition == OneOffCondition::In)
    due_ = EncodeDateTime(arrived) + request_.minutes / kMinutesPerDay;
  if (request_.condition == OneOffCondition::At) due_ = NextTimeOfDay(arrived, request_.at);
  if (request_.latest) latest_ = NextTimeOfDay(arrived, *request_.latest);
}

bool PendingOneOff::Due(const LocalTime& now, std::uint64_t idleMs) const {
  const DateTime moment = EncodeDateTime(now);
  if (latest_ && MinuteOf(now) >= *latest_) return true;
  switch (request_.condition) {
    case OneOffCondition::In:
      return moment >= due_;
    case OneOffCondition::At:
      return MinuteOf(now) >= due_;
    case OneOffCondition::AfterExit:
      return !processes_ || processes_->Ended();
    case OneOffCondition::AfterIdle:
      return idleMs >= request_.minutes * 60000ULL;
  }
  return false;
}

std::string PendingOneOff::Describe() const {
  std::string text = request_.event;
  switch (request_.condition) {
    case OneOffCondition::In:
    case OneOffCondition::At:
      text += " at " + HourMinute(due_);
      break;
    case OneOffCondition::AfterExit:
      text += " when " +
              (request_.processId ? "process " + std::to_string(request_.processId)
                                  : request_.imageName) +
              " ends";
      break;
    case OneOffCondition::AfterIdle:
      text += " after " + std::to_string(request_.minutes) + " minutes without input";
      break;
  }
  if (latest_) text += ", at " + HourMinute(*latest_) + " at the latest";
  return text;
}

}  // namespace halcyra
