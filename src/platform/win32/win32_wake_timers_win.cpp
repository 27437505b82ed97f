#include "platform/win32/win32_wake_timers_win.h"

namespace halcyra {

Win32WakeTimer::~Win32WakeTimer() {
  if (timer_) CancelWaitableTimer(timer_.Get());
}

std::optional<LARGE_INTEGER> LocalToUtcFileTime(const LocalTime& t) {
  const SYSTEMTIME local{t.year, t.month,  t.dayOfWeek, t.day,
                         t.hour, t.minute, t.second,    t.milliseconds};
  SYSTEMTIME utc;
  FILETIME file;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &file))
    return std::nullopt;
  LARGE_INTEGER due;
  due.LowPart = file.dwLowDateTime;
  due.HighPart = static_cast<LONG>(file.dwHighDateTime);
  return due;
}

std::unique_ptr<WakeTimerHandle> Win32WakeTimers::Arm(const LocalTime& dueLocal) {
  UniqueHandle timer(CreateWaitableTimerA(nullptr, FALSE, nullptr));
  if (!timer) return nullptr;
  const auto due = LocalToUtcFileTime(dueLocal);
  if (!due) return nullptr;
  // A positive due time is absolute; resume TRUE wakes the computer when it falls due.
  if (!SetWaitableTimer(timer.Get(), &*due, 0, nullptr, nullptr, TRUE)) return nullptr;
  return std::make_unique<Win32WakeTimer>(std::move(timer));
}

}  // namespace halcyra
