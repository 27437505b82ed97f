// Wake-up timers through the system's waitable timers.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/service_host.h"
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

// SetWaitableTimerEx, or what a test puts in its place.
using SetTimerCall = BOOL(WINAPI*)(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID,
                                   PREASON_CONTEXT, ULONG);

class Win32WakeTimers final : public WakeTimers {
 public:
  // The log hears, once in the life of this object, that the machine cannot wake from them.
  explicit Win32WakeTimers(SystemLog& log, SetTimerCall setTimer = &SetWaitableTimerEx)
      : log_(log), setTimer_(setTimer) {}
  std::unique_ptr<WakeTimerHandle> Arm(const LocalTime& dueLocal,
                                       const std::string& reason) override;

 private:
  SystemLog& log_;
  SetTimerCall setTimer_;
  bool toldCannotWake_ = false;
};

// The UTC file time of a local time, with the offset in force at that local time (not the
// offset of today), so that a change to or from daylight-saving time in between is counted.
std::optional<LARGE_INTEGER> LocalToUtcFileTime(const LocalTime& local);

inline constexpr const char* kTimersCannotWakeText =
    "Windows says that it cannot wake this computer from Halcyra's wake-up timers, so timers "
    "will not wake this computer from sleep or hibernation. Check that \"Allow wake timers\" is "
    "enabled in the power plan's sleep settings; on a computer with modern standby, timers may "
    "not wake it at all.";

}  // namespace halcyra
