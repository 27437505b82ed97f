#include "one_off/pending_one_off.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "actions/event_words.h"
#include "core/text.h"
#include "lang/texts.h"
#include "schedule/next_wake.h"
#include "schedule/timer_record.h"

namespace halcyra {
namespace {

std::string Say(Wording wording, Text text, std::initializer_list<std::string_view> inserts) {
  return wording == Wording::UsersLanguage ? Tr(text, inserts)
                                           : FillInserts(text.English(), inserts);
}

// "1 minute", "2 minutes".
std::string Minutes(unsigned count, Wording wording) {
  return Say(wording, count == 1 ? Text("%1 minute") : Text("%1 minutes"), {std::to_string(count)});
}

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
    case OneOffCondition::AfterQuiet:
      return "after-quiet";
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

std::optional<std::pair<int, int>> ParseClockTime(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  const auto hour = ParseBoundedNumber(text.substr(0, colon), 0, 23);
  const auto minute = ParseBoundedNumber(text.substr(colon + 1), 0, 59);
  if (!hour || !minute) return std::nullopt;
  return std::pair<int, int>{static_cast<int>(*hour), static_cast<int>(*minute)};
}

std::optional<unsigned> ParseBoundedNumber(std::string_view text, unsigned least, unsigned most) {
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  const auto value = ParseDecimal(text, std::int64_t{most} + 1, LeadingBlanks::Refused);
  if (!value || *value < least || *value > most) return std::nullopt;
  return static_cast<unsigned>(*value);
}

std::string EncodeRequest(const OneOffRequest& r) {
  std::string text = "event=" + r.event + "\ncondition=" + ConditionName(r.condition) +
                     "\nminutes=" + std::to_string(r.minutes) + "\nat=" + HourMinute(r.at) +
                     "\nimage=" + r.imageName + "\npid=" + std::to_string(r.processId) +
                     "\ncreated=" + std::to_string(r.processCreated) +
                     "\ncpu=" + std::to_string(r.processorPercent) +
                     "\nnet=" + std::to_string(r.networkKBps) + "\n";
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
                           OneOffCondition::AfterIdle, OneOffCondition::AfterQuiet})
        if (value == ConditionName(c)) r.condition = c, condition = true;
    } else if (key == "minutes" || key == "pid" || key == "created" || key == "cpu" ||
               key == "net") {
      const bool created = key == "created";
      const auto number =
          ParseDecimal(value, created ? INT64_MAX : 0xFFFFFFFFLL, LeadingBlanks::Refused);
      if (!number || *number < 0) return std::nullopt;
      if (created)
        r.processCreated = static_cast<std::uint64_t>(*number);
      else
        (key == "minutes" ? r.minutes
         : key == "pid"   ? r.processId
         : key == "cpu"   ? r.processorPercent
                          : r.networkKBps) = static_cast<unsigned>(*number);
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
                             std::uint64_t arrivedTick, std::unique_ptr<ProcessWait> processes,
                             SystemLoad* load)
    : request_(std::move(request)), processes_(std::move(processes)), arrivedTick_(arrivedTick) {
  // Shown as a time of day; counted on the tick, so that a clock set forward or back, or a
  // switch to or from daylight-saving time, does not move it.
  if (request_.condition == OneOffCondition::In)
    due_ = EncodeDateTime(arrived) + request_.minutes / kMinutesPerDay;
  if (request_.condition == OneOffCondition::At) due_ = NextTimeOfDay(arrived, request_.at);
  if (request_.latest) latest_ = NextTimeOfDay(arrived, *request_.latest);
  // Nothing is read for the other conditions, so a request that waits otherwise costs nothing.
  if (request_.condition == OneOffCondition::AfterQuiet && load) {
    load_ = load;
    quiet_.emplace(QuietLimits{request_.minutes, request_.processorPercent, request_.networkKBps},
                   load->MinuteMilliseconds(), arrivedTick, load->Sample());
  }
}

bool PendingOneOff::Due(const LocalTime& now, std::uint64_t tick, std::uint64_t idleMs) {
  if (quiet_) quiet_->Observe(tick, load_->Sample());
  if (latest_ && MinuteOf(now) >= *latest_) return true;
  switch (request_.condition) {
    case OneOffCondition::In:
      return tick - arrivedTick_ >= request_.minutes * 60000ULL;
    case OneOffCondition::At:
      return MinuteOf(now) >= due_;
    case OneOffCondition::AfterExit:
      return !processes_ || processes_->Ended();
    case OneOffCondition::AfterIdle:
      return idleMs >= request_.minutes * 60000ULL;
    case OneOffCondition::AfterQuiet:
      return quiet_ && quiet_->Quiet();
  }
  return false;
}

std::uint64_t PendingOneOff::MsUntilNextLook(const LocalTime& now, std::uint64_t tick,
                                             std::uint64_t idleMs) const {
  const auto untilMinute = [&now](DateTime minute) -> std::uint64_t {
    const double ahead = std::round((minute - MinuteOf(now)) * 24 * 60);
    return ahead <= 0 ? 0 : MsUntilMinuteStart(now, static_cast<std::uint64_t>(ahead));
  };
  const auto left = [](std::uint64_t needed, std::uint64_t done) {
    return done >= needed ? 0 : needed - done;
  };
  std::uint64_t ms = kLookWithinMinuteMs;
  switch (request_.condition) {
    case OneOffCondition::In:
      ms = left(request_.minutes * 60000ULL, tick - arrivedTick_);
      break;
    case OneOffCondition::At:
      ms = untilMinute(due_);
      break;
    case OneOffCondition::AfterIdle:
      ms = left(request_.minutes * 60000ULL, idleMs);
      break;
    case OneOffCondition::AfterQuiet:
      if (quiet_) ms = quiet_->MsUntilMinuteEnds(tick);
      break;
    case OneOffCondition::AfterExit:
      if (processes_ && processes_->Count() > 0 && processes_->NoticesEnd()) ms = kNoLookMs;
      break;
  }
  return latest_ ? std::min(ms, untilMinute(*latest_)) : ms;
}

bool PendingOneOff::TakeProgress() {
  if (!quiet_ || quiet_->MinutesEnded() == minutesShown_) return false;
  minutesShown_ = quiet_->MinutesEnded();
  return true;
}

std::string PendingOneOff::Describe(Wording wording) const {
  std::string text = DescribeShort(wording);
  if (latest_) text += Say(wording, ", at %1 at the latest", {HourMinute(*latest_)});
  return text;
}

std::string PendingOneOff::DescribeShort(Wording wording) const {
  const std::string event =
      wording == Wording::UsersLanguage ? EventCaption(request_.event) : request_.event;
  std::string text;
  switch (request_.condition) {
    case OneOffCondition::In:
    case OneOffCondition::At:
      text = Say(wording, "%1 at %2", {event, HourMinute(due_)});
      break;
    case OneOffCondition::AfterExit:
      text = request_.processId ? Say(wording, "%1 when process %2 ends",
                                      {event, std::to_string(request_.processId)})
                                : Say(wording, "%1 when %2 ends", {event, request_.imageName});
      break;
    case OneOffCondition::AfterIdle:
      text = Say(wording, "%1 after %2 without input", {event, Minutes(request_.minutes, wording)});
      break;
    case OneOffCondition::AfterQuiet:
      text = Say(
          wording,
          request_.minutes == 1
              ? Text("%1 when the computer is quiet for %2 (%3 of %4 quiet minute")
              : Text("%1 when the computer is quiet for %2 (%3 of %4 quiet minutes"),
          {event, Minutes(request_.minutes, wording),
           std::to_string(quiet_ ? quiet_->QuietMinutes() : 0), std::to_string(request_.minutes)});
      if (const auto figures = quiet_ ? quiet_->Figures() : std::nullopt) {
        char processor[16], network[16];
        std::snprintf(processor, sizeof processor, "%.0f", figures->processorPercent);
        std::snprintf(network, sizeof network, "%.0f", figures->networkKBps);
        text += Say(wording, "; processor %1 %, network %2 KB/s", {processor, network});
      }
      text += ")";
      break;
  }
  return text;
}

}  // namespace halcyra
