// A one-off "when it is done" request: an event word and the condition that makes it fall due
// (in some minutes, at a time, after processes end, after idle time), with an optional latest
// time. The tray program holds at most one, in memory only, and fires it through the same path
// as a timer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/date_time.h"
#include "platform/process_waits.h"

namespace halcyra {

enum class OneOffCondition { In, At, AfterExit, AfterIdle };

struct OneOffRequest {
  std::string event;  // one of the six event words
  OneOffCondition condition = OneOffCondition::In;
  unsigned minutes = 0;                       // In, AfterIdle
  std::pair<int, int> at{0, 0};               // At: hour and minute
  std::string imageName;                      // AfterExit by name, or
  unsigned processId = 0;                     // by process id (not 0)
  std::optional<std::pair<int, int>> latest;  // acts then even if the condition never held
  // AfterExit by id: the process's creation time (100 ns since 1601), so that a process given
  // its number later is not taken for it; 0 for any.
  std::uint64_t processCreated = 0;
  bool operator==(const OneOffRequest&) const = default;
};

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

class PendingOneOff {
 public:
  // `processes` is what the tray watches for AfterExit, made when the request arrived.
  PendingOneOff(OneOffRequest request, const LocalTime& arrived,
                std::unique_ptr<ProcessWait> processes);

  // Whether it falls due now, with the session idle for `idleMs`.
  bool Due(const LocalTime& now, std::uint64_t idleMs) const;
  // What will happen and when: "Power off at 23:30", "Power off when handbrake.exe ends".
  std::string Describe() const;
  const OneOffRequest& Request() const { return request_; }

 private:
  OneOffRequest request_;
  std::unique_ptr<ProcessWait> processes_;
  DateTime due_ = 0;  // In and At
  std::optional<DateTime> latest_;
};

}  // namespace halcyra
