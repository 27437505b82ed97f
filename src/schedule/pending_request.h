// A request besides the timers that the schedule's tick looks at: the one-off action that
// HalcyraCmd or the icon's menu asked for. The schedule fires it like a timer once it falls due
// and then drops it; what the request is and how it falls due is its own business.
#pragma once

#include <cstdint>
#include <string>

#include "core/local_time.h"

namespace halcyra {

// A description's words: English for HalcyraCmd, whose output scripts read, or the user's
// language for the icon's tip and the one-off window.
enum class Wording { English, UsersLanguage };

// No look is needed before the latest time, if any.
inline constexpr std::uint64_t kNoLookMs = UINT64_MAX;

class PendingRequest {
 public:
  virtual ~PendingRequest() = default;
  // Whether it falls due now, at the tick count `tick`, with the session idle for `idleMs`.
  virtual bool Due(const LocalTime& now, std::uint64_t tick, std::uint64_t idleMs) = 0;
  // Milliseconds until it may fall due, as far as a clock or a count tells: 0 when it may now,
  // kNoLookMs when only an event it waits for can make it due.
  virtual std::uint64_t MsUntilNextLook(const LocalTime& now, std::uint64_t tick,
                                        std::uint64_t idleMs) const = 0;
  // Whether its description changed since the last call.
  virtual bool TakeProgress() = 0;
  // The event word of the action it asks for.
  virtual const std::string& EventWord() const = 0;
  // What will happen and when; the same without the latest time, for where room is short.
  virtual std::string Describe(Wording wording) const = 0;
  virtual std::string DescribeShort(Wording wording) const = 0;
};

}  // namespace halcyra
