// Wake-up timers on the system's waitable timers, under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/date_time.h"
#include "platform/win32/win32_clock_win.h"
#include "platform/win32/win32_wake_timers_win.h"

namespace halcyra {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute) {
  LocalTime t = DecodeDateTime(static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))));
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  return t;
}

// Hours between a local time and its UTC time.
double OffsetHours(const LocalTime& local) {
  const auto utc = LocalToUtcFileTime(local);
  EXPECT_TRUE(utc.has_value());
  // File times count 100 ns from 1601; date-times count days from 30 December 1899.
  const double utcDays = static_cast<double>(utc->QuadPart) / 864000000000.0 - 109205.0;
  return (EncodeDateTime(local) - utcDays) * 24.0;
}

// The test run sets TZ=Europe/Berlin: one hour ahead of UTC in winter, two in summer, with
// the changes on the last Sundays of March and October.
TEST(WakeTimerDueTime, UsesTheOffsetInForceAtTheDueTime) {
  EXPECT_NEAR(OffsetHours(At(2026, 3, 28, 6, 30)), 1.0, 1e-6);
  EXPECT_NEAR(OffsetHours(At(2026, 3, 29, 6, 30)), 2.0, 1e-6) << "summer time from 29 March";
  EXPECT_NEAR(OffsetHours(At(2026, 10, 24, 6, 30)), 2.0, 1e-6);
  EXPECT_NEAR(OffsetHours(At(2026, 10, 25, 6, 30)), 1.0, 1e-6) << "winter time from 25 October";
  // 02:30 on 29 March never happens (02:00 becomes 03:00): it counts as summer time, so the
  // machine wakes at 01:30 winter time, before the gap, and is awake when the clock jumps.
  EXPECT_NEAR(OffsetHours(At(2026, 3, 29, 2, 30)), 2.0, 1e-6);
  // 02:30 on 25 October happens twice: the wake-up is the first, still in summer time.
  EXPECT_NEAR(OffsetHours(At(2026, 10, 25, 2, 30)), 2.0, 1e-6);
}

class LinesLog final : public SystemLog {
 public:
  std::vector<std::string> lines;
  void Write(ServiceEvent event, const std::string& text) override {
    lines.push_back(std::to_string(static_cast<unsigned>(event)) + " " + text);
  }
};

TEST(Win32WakeTimers, ArmedTimersFallDueAndReleasedOnesAreClosed) {
  Win32Clock clock;
  LinesLog log;
  Win32WakeTimers timers(log);
  LocalTime soon = DecodeDateTime(EncodeDateTime(clock.Now()) + 1.5 / kSecondsPerDay);
  auto armed = timers.Arm(soon, "Halcyra: soon at 00:00");
  ASSERT_NE(armed, nullptr);
  const HANDLE handle = dynamic_cast<Win32WakeTimer&>(*armed).Native();
  EXPECT_EQ(WaitForSingleObject(handle, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(handle, 10000), static_cast<DWORD>(WAIT_OBJECT_0));

  LocalTime later = DecodeDateTime(EncodeDateTime(clock.Now()) + 60.0 / kSecondsPerDay);
  auto pending = timers.Arm(later, "Halcyra: later at 00:00");
  ASSERT_NE(pending, nullptr);
  const HANDLE pendingHandle = dynamic_cast<Win32WakeTimer&>(*pending).Native();
  EXPECT_EQ(WaitForSingleObject(pendingHandle, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(pendingHandle, &flags));
  pending.reset();
  EXPECT_FALSE(GetHandleInformation(pendingHandle, &flags)) << "cancelled and closed";
  EXPECT_TRUE(log.lines.empty()) << "Wine says nothing against waking";
}

// The system's call, seen on its way: the reason it gets, and a machine that cannot wake.
std::vector<std::wstring> reasons;
bool cannotWake = false;
BOOL WINAPI WatchedSetTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period,
                            PTIMERAPCROUTINE routine, LPVOID argument, PREASON_CONTEXT context,
                            ULONG delay) {
  reasons.emplace_back(context && context->Flags == POWER_REQUEST_CONTEXT_SIMPLE_STRING
                           ? context->Reason.SimpleReasonString
                           : L"");
  const BOOL armed = SetWaitableTimerEx(timer, due, period, routine, argument, context, delay);
  if (armed && cannotWake) SetLastError(ERROR_NOT_SUPPORTED);
  return armed;
}

TEST(Win32WakeTimers, ArmedWithTheirReasonAndACannotWakeIsLoggedOnce) {
  Win32Clock clock;
  LinesLog log;
  Win32WakeTimers timers(log, &WatchedSetTimer);
  const LocalTime later = DecodeDateTime(EncodeDateTime(clock.Now()) + 1.0 / 24);
  auto first = timers.Arm(later, "Halcyra: Night at 22:30");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(reasons, std::vector<std::wstring>{L"Halcyra: Night at 22:30"});
  EXPECT_TRUE(log.lines.empty());

  cannotWake = true;
  auto second = timers.Arm(later, "Halcyra: b at 09:00");
  auto third = timers.Arm(later, "Halcyra: c at 09:00");
  cannotWake = false;
  EXPECT_NE(second, nullptr) << "kept armed: the setting may change";
  EXPECT_NE(third, nullptr);
  ASSERT_EQ(log.lines.size(), 1u) << "one line per start, not per timer";
  EXPECT_EQ(log.lines[0].rfind("10 ", 0), 0u) << log.lines[0];
  EXPECT_NE(log.lines[0].find("timers will not wake this computer"), std::string::npos);
  EXPECT_NE(log.lines[0].find("Allow wake timers"), std::string::npos);
}

}  // namespace
}  // namespace halcyra
