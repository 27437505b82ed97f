#include "schedule/clock_guard.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace halcyra {
namespace {

class ClockGuardTest : public testing::Test {
 protected:
  ClockGuardTest() {
    clock_.now = {2026, 12, 1, 7, 9, 0, 0, 0};
    clock_.tick = 4000000000u;
    guard_.Arm(clock_);
    origin_ = guard_.ClockBaseline;
  }
  // Lets time pass: the clock stands clockSeconds after the arming, the tick count moves on
  // by tickMs.
  bool After(double clockSeconds, std::uint32_t tickMs) {
    clock_.now = DecodeDateTime(origin_ + clockSeconds / kSecondsPerDay);
    clock_.tick += tickMs;
    return guard_.Check(clock_, machine_);
  }

  test::FakeClock clock_;
  test::RecordingMachineControl machine_;
  ClockGuard guard_;
  DateTime origin_ = 0;
};

TEST_F(ClockGuardTest, TwoSecondsEitherWayAreLeftAlone) {
  EXPECT_FALSE(After(12, 10000)) << "2 seconds ahead: the bound is inclusive";
  EXPECT_FALSE(After(8, 0)) << "2 seconds behind";
  EXPECT_TRUE(machine_.calls.empty());
  EXPECT_TRUE(After(12.01, 0));
  ASSERT_EQ(machine_.clockSettings.size(), 1u);
  EXPECT_EQ(machine_.clockSettings[0].second, 10) << "baseline + ticks";
}

TEST_F(ClockGuardTest, MoreThanTwoSecondsIsUndoneToBaselinePlusTicks) {
  EXPECT_TRUE(After(-3600, 65000));
  ASSERT_EQ(machine_.clockSettings.size(), 1u);
  const LocalTime set = machine_.clockSettings[0];
  EXPECT_EQ(set.hour, 9);
  EXPECT_EQ(set.minute, 1);
  EXPECT_EQ(set.second, 5);
  EXPECT_EQ(guard_.ClockBaselineTick, 4000000000u) << "a correction keeps the baseline";
}

TEST_F(ClockGuardTest, OneWrapOfTheTickCountIsHarmless) {
  // The tick count passes 2^32 between the baseline and the check.
  EXPECT_FALSE(After(300000, 300000000));
  EXPECT_LT(clock_.tick, 4000000000u);
  EXPECT_TRUE(machine_.calls.empty());
}

TEST_F(ClockGuardTest, SlowDriftAddsUpUntilItIsCorrected) {
  double clockSeconds = 0;
  int corrections = 0;
  for (int minute = 1; minute <= 10; ++minute) {
    clockSeconds += 60.5;  // the clock runs half a second a minute fast
    corrections += After(clockSeconds, 60000) ? 1 : 0;
    if (!machine_.clockSettings.empty()) break;
  }
  EXPECT_EQ(corrections, 1);
  EXPECT_EQ(machine_.clockSettings.size(), 1u);
}

TEST_F(ClockGuardTest, PastTwoToTheThirtyTwoMillisecondsTheBaselineMovesOn) {
  // Checked every hour for 60 days: the 32-bit difference passes 2^32 ms on day 50.
  for (int hour = 1; hour <= 60 * 24; ++hour)
    ASSERT_FALSE(After(hour * 3600.0, 3600000)) << "hour " << hour;
  EXPECT_TRUE(machine_.calls.empty());
  EXPECT_TRUE(After(60 * 86400.0 + 3600, 0)) << "and a real change is still seen";
  ASSERT_EQ(machine_.clockSettings.size(), 1u);
  EXPECT_EQ(machine_.clockSettings[0].month, 2);
  EXPECT_EQ(machine_.clockSettings[0].day, 5);
  EXPECT_EQ(machine_.clockSettings[0].hour, 9);
}

// A clock in Berlin, where the local time jumps at the last Sundays of March and October.
class ClockGuardAcrossSummerTime : public ClockGuardTest {
 protected:
  void ArmAt(LocalTime local, int offsetMinutes) {
    clock_.now = local;
    clock_.utcOffsetMinutes = offsetMinutes;
    guard_.Arm(clock_);
  }
  // The local clock after the switch, the ticks having moved on by tickMs.
  bool Tick(LocalTime local, int offsetMinutes, std::uint32_t tickMs) {
    clock_.now = local;
    clock_.utcOffsetMinutes = offsetMinutes;
    clock_.tick += tickMs;
    guard_.TimeSettingsChanged(clock_);
    return guard_.Check(clock_, machine_);
  }
};

TEST_F(ClockGuardAcrossSummerTime, TheSwitchesAreNoChangeOfTheClock) {
  // 29 March 2026, 01:59:30 CET; a minute later it is 03:00:30 CEST.
  ArmAt({2026, 3, 0, 29, 1, 59, 30, 0}, 60);
  EXPECT_FALSE(Tick({2026, 3, 0, 29, 3, 0, 30, 0}, 120, 60000));
  // 25 October 2026, 02:59:30 CEST; a minute later it is 02:00:30 CET.
  ArmAt({2026, 10, 0, 25, 2, 59, 30, 0}, 120);
  EXPECT_FALSE(Tick({2026, 10, 0, 25, 2, 0, 30, 0}, 60, 60000));
  EXPECT_TRUE(machine_.calls.empty()) << "the real clock is never shifted by an hour";
}

TEST_F(ClockGuardAcrossSummerTime, AChangedClockIsSetBackInUtc) {
  ArmAt({2026, 10, 0, 25, 1, 0, 0, 0}, 120);
  // Someone puts the local clock an hour on; the time settings notice changes nothing.
  EXPECT_TRUE(Tick({2026, 10, 0, 25, 2, 0, 10, 0}, 120, 10000));
  ASSERT_EQ(machine_.clockSettings.size(), 1u);
  const LocalTime set = machine_.clockSettings[0];
  EXPECT_EQ(set.hour, 23) << "01:00:10 CEST is 23:00:10 UTC the day before";
  EXPECT_EQ(set.day, 24);
  EXPECT_EQ(set.second, 10);
}

TEST_F(ClockGuardAcrossSummerTime, ANewTimeZoneTakesANewBaseline) {
  ArmAt({2026, 6, 1, 1, 12, 0, 0, 0}, 120);
  const DateTime before = guard_.ClockBaseline;
  // The user moves to New York time: the local clock goes back six hours, the moment does not.
  EXPECT_FALSE(Tick({2026, 6, 1, 1, 6, 0, 5, 0}, -240, 5000));
  EXPECT_EQ(guard_.UtcOffsetMinutes, -240);
  EXPECT_GT(guard_.ClockBaseline, before);
  EXPECT_TRUE(machine_.calls.empty());
}

TEST_F(ClockGuardTest, ARefusedSettingKeepsTheGuardOnAndTriesAgain) {
  machine_.accept = false;
  EXPECT_FALSE(After(-3600, 1000)) << "nothing was set";
  EXPECT_TRUE(guard_.ClockGuardOn);
  EXPECT_FALSE(After(-3600, 1000));
  EXPECT_EQ(machine_.clockSettings.size(), 2u) << "each tick tries again";
  machine_.accept = true;
  EXPECT_TRUE(After(-3600, 1000));
}

TEST_F(ClockGuardTest, OffGuardDoesNothing) {
  guard_.Disarm();
  EXPECT_FALSE(After(-3600, 10));
  EXPECT_TRUE(machine_.calls.empty());
}

}  // namespace
}  // namespace halcyra
