// Wake-up timers through the system's waitable timers.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/wake_timers.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

class Win32WakeTimer final : public WakeTimerHandle {
 public:
  explicit Win32WakeTimer(UniqueHandle timer) : timer_(std::move(timer)) {}
  ~Win32WakeTimer() override;
  HANDLE Native() const { return timer_.Get(); }

 private:
  UniqueHandle timer_;
};

class Win32WakeTimers final : public WakeTimers {
 public:
  std::unique_ptr<WakeTimerHandle> Arm(const LocalTime& dueLocal) override;
};

// The UTC file time of a local time, with the offset in force at that local time (not the
// offset of today), so that a change to or from daylight-saving time in between is counted.
std::optional<LARGE_INTEGER> LocalToUtcFileTime(const LocalTime& local);

}  // namespace halcyra
