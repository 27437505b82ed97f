#include "platform/win32/win32_wake_timers_win.h"

#include <string>

#include "platform/win32/utf8_win.h"

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

std::unique_ptr<WakeTimerHandle> Win32WakeTimers::Arm(const LocalTime& dueLocal,
                                                      const std::string& reason) {
  UniqueHandle timer(CreateWaitableTimerW(nullptr, FALSE, nullptr));
  if (!timer) return nullptr;
  const auto due = LocalToUtcFileTime(dueLocal);
  if (!due) return nullptr;
  std::wstring text = Wide(reason);
  REASON_CONTEXT context{};
  context.Version = POWER_REQUEST_CONTEXT_VERSION;
  context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
  context.Reason.SimpleReasonString = text.data();
  // A positive due time is absolute; a wake context makes the timer wake the computer.
  SetLastError(ERROR_SUCCESS);
  if (!setTimer_(timer.Get(), &*due, 0, nullptr, nullptr, &context, 0)) return nullptr;
  // Armed, but the machine cannot wake from it (no wake from this sleep state, or wake timers
  // off): Windows says so only here. The timer stays armed: the setting may change.
  if (GetLastError() == ERROR_NOT_SUPPORTED && !toldCannotWake_) {
    toldCannotWake_ = true;
    log_.Write(ServiceEvent::TimersCannotWake, kTimersCannotWakeText);
  }
  return std::make_unique<Win32WakeTimer>(std::move(timer));
}

}  // namespace halcyra
