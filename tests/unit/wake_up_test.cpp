#include "schedule/wake_up.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

// 2026-12-07 is a Monday.
LocalTime At(int day, int hour, int minute) {
  LocalTime t =
      DecodeDateTime(static_cast<double>(DaysFromCivil(2026, 12, static_cast<unsigned>(day))));
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  t.second = 30;
  return t;
}

std::string Due(const LocalTime& now, const char* time, const char* frequency) {
  const auto due = WakeDueTime(now, time, frequency);
  if (!due) return "none";
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", due->year, due->month,
                due->day, due->hour, due->minute, due->second, due->milliseconds);
  return text;
}

TEST(WakeDueTime, DailyAroundItsMinute) {
  EXPECT_EQ(Due(At(7, 6, 29), "06:30", "Daily"), "2026-12-07 06:30:00.000");
  EXPECT_EQ(Due(At(7, 6, 30), "06:30", "Daily"), "2026-12-07 06:30:00.000")
      << "the running minute counts as not gone";
  EXPECT_EQ(Due(At(7, 6, 31), "06:30", "Daily"), "2026-12-08 06:30:00.000");
  EXPECT_EQ(Due(At(7, 7, 0), "06:30", "Once"), "2026-12-08 06:30:00.000");
  EXPECT_EQ(Due(At(31, 23, 59), "00:00", "Daily"), "2027-01-01 00:00:00.000");
}

TEST(WakeDueTime, WorkingDays) {
  EXPECT_EQ(Due(At(12, 5, 0), "06:30", "Weekday"), "2026-12-14 06:30:00.000") << "Saturday";
  EXPECT_EQ(Due(At(12, 9, 0), "06:30", "Weekday"), "2026-12-14 06:30:00.000") << "Saturday";
  EXPECT_EQ(Due(At(13, 5, 0), "06:30", "Weekday"), "2026-12-14 06:30:00.000") << "Sunday";
  EXPECT_EQ(Due(At(13, 23, 0), "06:30", "Weekday"), "2026-12-14 06:30:00.000") << "Sunday";
  EXPECT_EQ(Due(At(11, 7, 0), "06:30", "Weekday"), "2026-12-14 06:30:00.000") << "Friday after";
  EXPECT_EQ(Due(At(11, 6, 0), "06:30", "Weekday"), "2026-12-11 06:30:00.000") << "Friday before";
  EXPECT_EQ(Due(At(9, 7, 0), "06:30", "Weekday"), "2026-12-10 06:30:00.000") << "Wednesday";
}

TEST(WakeDueTime, NamedDays) {
  EXPECT_EQ(Due(At(9, 12, 0), "06:30", "Monday"), "2026-12-14 06:30:00.000") << "Wednesday: +5";
  EXPECT_EQ(Due(At(7, 7, 0), "06:30", "Monday"), "2026-12-14 06:30:00.000") << "after: +7";
  EXPECT_EQ(Due(At(7, 6, 0), "06:30", "Monday"), "2026-12-07 06:30:00.000") << "before: today";
  EXPECT_EQ(Due(At(7, 6, 0), "06:30", "Sunday"), "2026-12-13 06:30:00.000");
  EXPECT_EQ(Due(At(13, 6, 0), "06:30", "Saturday"), "2026-12-19 06:30:00.000");
  EXPECT_EQ(Due(At(12, 6, 0), "06:30", "Friday"), "2026-12-18 06:30:00.000");
}

TEST(WakeDueTime, NoWakeUpForUnknownWordsOrBadTimes) {
  EXPECT_EQ(Due(At(7, 6, 0), "06:30", "daily"), "none") << "words are compared exactly";
  EXPECT_EQ(Due(At(7, 6, 0), "06:30", "Fortnightly"), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "06:30", ""), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "6h30", "Daily"), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "", "Daily"), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "24:00", "Daily"), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "12:60", "Daily"), "none");
  EXPECT_EQ(Due(At(7, 6, 0), "7:5", "Daily"), "2026-12-07 07:05:00.000");
}

TEST(NextMinuteToLook, TheEarliestMinuteNotLookedAtAndTheWaitUntilThen) {
  std::vector<TTimerRecord> timers;
  for (const char* line : {"a=enabled,Shutdown,06:30,Weekday", "b=disabled,Reboot,06:00,Daily",
                           "c=enabled,Reboot,bad,Daily", "d=enabled,Hibernate,22:15,Sunday"})
    timers.push_back(ParseTimerEntry(line));
  const auto next = [&timers](const LocalTime& looked, const LocalTime& now) {
    const auto minute = NextMinuteToLook(timers, looked, now);
    return minute ? std::to_string(minute->day) + " " + std::to_string(minute->hour) + ":" +
                        std::to_string(minute->minute)
                  : "none";
  };
  const LocalTime none{};
  EXPECT_EQ(next(none, At(7, 6, 0)), "7 6:30") << "a disabled timer is passed over";
  EXPECT_EQ(next(none, At(7, 6, 30)), "7 6:30") << "the running minute, not looked at yet";
  EXPECT_EQ(next(At(7, 6, 30), At(7, 6, 30)), "8 6:30");
  EXPECT_EQ(next(At(11, 6, 30), At(11, 6, 30)), "13 22:15") << "Friday: Sunday comes first";
  EXPECT_EQ(next(At(13, 22, 15), At(13, 22, 15)), "14 6:30");
  EXPECT_EQ(next(At(7, 6, 30), At(7, 6, 0)), "8 6:30") << "the clock went back a little";
  EXPECT_EQ(NextMinuteToLook({}, none, At(7, 6, 0)), std::nullopt);

  constexpr std::uint32_t kMinute = 60000;
  const auto seven = NextMinuteToLook(timers, none, At(7, 6, 29));
  EXPECT_EQ(MillisecondsToLook(seven, At(7, 6, 29), kMinute), 30000u) << "from 6:29:30";
  EXPECT_EQ(MillisecondsToLook(seven, At(7, 6, 30), kMinute), 0u) << "begun";
  EXPECT_EQ(MillisecondsToLook(seven, At(7, 6, 0), kMinute), kMinute) << "half an hour: bounded";
  EXPECT_EQ(MillisecondsToLook(std::nullopt, At(7, 6, 30), kMinute), kMinute);
}

TEST(WakePrecondition, NtFamilyEnabledAndNotSuspend) {
  TTimerRecord r = ParseTimerEntry("t=enabled,Reboot,06:30,Daily");
  EXPECT_TRUE(MeetsWakePrecondition(r, "Vista"));
  EXPECT_TRUE(MeetsWakePrecondition(r, "NewWinNT"));
  EXPECT_TRUE(MeetsWakePrecondition(r, "OldWinNt"));
  EXPECT_FALSE(MeetsWakePrecondition(r, "Win9x"));
  EXPECT_FALSE(MeetsWakePrecondition(r, ""));
  EXPECT_FALSE(MeetsWakePrecondition(ParseTimerEntry("t=enabled,Suspend,06:30,Daily"), "Vista"));
  EXPECT_FALSE(MeetsWakePrecondition(ParseTimerEntry("t=disabled,Reboot,06:30,Daily"), "Vista"));
}

TEST(LoadTimers, ReadsKeyOrderAndArmsEligibleRecords) {
  test::TempFolder folder;
  folder.WriteFile("Halcyra.ini",
                   "[Timer]\r\nz=enabled,Reboot,06:30,Daily\r\na=enabled,Suspend,07:00,Daily\r\n"
                   "m=disabled,Shutdown,08:00,Daily\r\nq=enabled,Log off,bad,Daily\r\n"
                   "b=enabled,Power off,09:00,Monday\r\n");
  PortableIniProfile ini;
  const SettingsFile file(ini, folder.File("Halcyra.ini"), {});
  test::FakeOsInfo os;
  test::FakeClock clock;
  clock.now = At(7, 6, 0);
  test::FakeWakeTimers wake;
  const auto timers = LoadTimers(file, Policies{}, {os, clock, wake});
  ASSERT_EQ(timers.size(), 5u);
  EXPECT_EQ(timers[0].Title, "z");
  EXPECT_EQ(timers[4].Title, "b");
  EXPECT_NE(timers[0].WakeTimer, nullptr);
  EXPECT_EQ(timers[1].WakeTimer, nullptr) << "Suspend";
  EXPECT_EQ(timers[2].WakeTimer, nullptr) << "disabled";
  EXPECT_EQ(timers[3].WakeTimer, nullptr) << "bad time: silently none";
  EXPECT_NE(timers[4].WakeTimer, nullptr);
  ASSERT_EQ(wake.armed.size(), 2u);
  EXPECT_EQ(wake.armed[1].due.day, 7);
  EXPECT_EQ(wake.armed[1].due.hour, 9);
  EXPECT_EQ(wake.armed[1].reason, "Halcyra: b at 09:00") << "what powercfg /waketimers shows";

  os.version = {4, 10};
  EXPECT_EQ(LoadTimers(file, Policies{}, {os, clock, wake})[0].WakeTimer, nullptr) << "Win9x: none";
  EXPECT_TRUE(
      LoadTimers(SettingsFile(ini, folder.File("none.ini"), {}), Policies{}, {os, clock, wake})
          .empty());
}

}  // namespace
}  // namespace halcyra
