// A one-off "when it is done" request: an event word and the condition that makes it fall due
// (in some minutes, at a time, after processes end, after idle time, once the computer is
// quiet), with an optional latest time. The tray program holds at most one, in memory only, and
// fires it through the same path as a timer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/date_time.h"
#include "lang/texts.h"
#include "one_off/quiet_rule.h"
#include "platform/process_waits.h"
#include "platform/system_load.h"
#include "schedule/pending_request.h"

namespace halcyra {

enum class OneOffCondition { In, At, AfterExit, AfterIdle, AfterQuiet };

struct OneOffRequest {
  std::string event;  // one of the six event words
  OneOffCondition condition = OneOffCondition::In;
  unsigned minutes = 0;                       // In, AfterIdle, AfterQuiet
  std::pair<int, int> at{0, 0};               // At: hour and minute
  std::string imageName;                      // AfterExit by name, or
  unsigned processId = 0;                     // by process id (not 0)
  std::optional<std::pair<int, int>> latest;  // acts then even if the condition never held
  // AfterExit by id: the process's creation time (100 ns since 1601), so that a process given
  // its number later is not taken for it; 0 for any.
  std::uint64_t processCreated = 0;
  // AfterQuiet: the limits each minute's averages must stay below.
  unsigned processorPercent = 10;
  unsigned networkKBps = 10;
  bool operator==(const OneOffRequest&) const = default;
};

inline constexpr Text kNothingPending = "No one-off action is pending.";

// A week of minutes is the most anybody schedules this way; more is a typing error.
inline constexpr unsigned kMaxOneOffMinutes = 7 * 24 * 60;
inline constexpr unsigned kMaxNetworkKBps = 1000000;

// "h:mm" or "hh:mm" on a 24-hour clock, as a person types a time for a one-off request.
std::optional<std::pair<int, int>> ParseClockTime(std::string_view text);
// A whole decimal number from `least` to `most`, without sign or blanks.
std::optional<unsigned> ParseBoundedNumber(std::string_view text, unsigned least, unsigned most);

// The request as the text it travels in from the command line to the tray program, and back.
std::string EncodeRequest(const OneOffRequest& request);
std::optional<OneOffRequest> DecodeRequest(std::string_view text);

// The first line of the tray program's reply.
inline constexpr const char* kReplyOk = "ok";
inline constexpr const char* kReplyRefused = "refused";
// The process to wait for no longer runs (or its number is another process's now).
inline constexpr const char* kReplyGone = "gone";

// The first moment at or after `from` whose local hour and minute are these: today when that
// minute has not gone by (the current minute counts, as a timer's does), else tomorrow.
DateTime NextTimeOfDay(const LocalTime& from, std::pair<int, int> hourMinute);

class PendingOneOff final : public PendingRequest {
 public:
  // `arrivedTick`: the tick count (milliseconds, never moved by the clock) at arrival.
  // `processes` is what the tray watches for AfterExit, made when the request arrived; `load`
  // is read for AfterQuiet only, from arrival on, and must outlive the request.
  PendingOneOff(OneOffRequest request, const LocalTime& arrived, std::uint64_t arrivedTick,
                std::unique_ptr<ProcessWait> processes, SystemLoad* load = nullptr);

  // Whether it falls due now, at the tick count `tick`, with the session idle for `idleMs`.
  // An AfterQuiet request takes a sample of the load here.
  bool Due(const LocalTime& now, std::uint64_t tick, std::uint64_t idleMs) override;
  // Milliseconds until it may fall due, as far as a clock or a count tells: 0 when it may now.
  // A quiet request is looked at as each of its minutes ends; one that waits for processes to
  // end needs no look when their ends are heard of (kNoLookMs), else each second.
  std::uint64_t MsUntilNextLook(const LocalTime& now, std::uint64_t tick,
                                std::uint64_t idleMs) const override;
  // What will happen and when: "Power off at 23:30", "Power off when handbrake.exe ends",
  // "Power off when the computer is quiet for 10 minutes (3 of 10 quiet minutes; processor
  // 4 %, network 1 KB/s)".
  std::string Describe(Wording wording) const override;
  // Whether its description changed since the last call (a quiet request's minute ended).
  bool TakeProgress() override;
  // The same without the latest time, for where room is short.
  std::string DescribeShort(Wording wording) const override;
  const OneOffRequest& Request() const { return request_; }
  const std::string& EventWord() const override { return request_.event; }

 private:
  OneOffRequest request_;
  std::unique_ptr<ProcessWait> processes_;
  SystemLoad* load_ = nullptr;
  std::optional<QuietRule> quiet_;
  unsigned minutesShown_ = 0;
  std::uint64_t arrivedTick_ = 0;
  DateTime due_ = 0;  // In (as shown) and At
  std::optional<DateTime> latest_;
};

}  // namespace halcyra
