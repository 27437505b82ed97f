// The schedule's tick on the main window's logic, with a fake clock.
#include <gtest/gtest.h>

#include "schedule/one_off.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

class ScheduleTest : public test::MainFormTest {
 protected:
  // 2026-12-07 is a Monday.
  void At(int day, int hour, int minute, int second = 10) {
    clock_.now =
        DecodeDateTime(static_cast<double>(DaysFromCivil(2026, 12, static_cast<unsigned>(day))));
    clock_.now.hour = static_cast<std::uint16_t>(hour);
    clock_.now.minute = static_cast<std::uint16_t>(minute);
    clock_.now.second = static_cast<std::uint16_t>(second);
  }
  // Ticks once and returns the event words fired.
  std::vector<std::string> Tick() {
    fired_.clear();
    form_->Schedule.Timer1Timer();
    return fired_;
  }
  void SetUp() override {
    host_.onCountdown = [this] {
      fired_.push_back(state_.pendingEvent);
      EXPECT_FALSE(form_->Schedule.Timer1Enabled) << "the tick is off while the countdown runs";
      return CountdownOutcome{CountdownOutcome::End::Aborted, clock_.now};
    };
  }
  std::vector<std::string> fired_;
};

TEST_F(ScheduleTest, StartInsideATimersMinuteFiresAtTheFirstTick) {
  Prepare("[Timer]\r\nt=enabled,Power off,09:30,Daily\r\n");
  At(7, 9, 30, 45);
  Create();
  EXPECT_TRUE(form_->Schedule.Timer1Enabled);
  EXPECT_EQ(form_->Schedule.LastHandled.year, 0);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"});
  EXPECT_TRUE(Tick().empty()) << "aborted: the minute counts as handled";
  At(8, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"}) << "the next day";
}

// The minute handled and the reboot stamp are whole minutes: neither silences a later timer in
// the same hour, and a timer never fires at another minute or hour than its own.
TEST_F(ScheduleTest, ATimerFiresOnlyInItsOwnMinuteAndALaterOneInTheHourStillFires) {
  Prepare(
      "[Timer]\r\nfirst=enabled,Shutdown,09:30,Daily\r\nsecond=enabled,Reboot,09:45,Daily\r\n"
      "[Log]\r\nLastRebootTime=12/7/2026 9:30:05 AM\r\n");
  At(7, 9, 0);
  Create();
  At(7, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Shutdown"});
  for (const int minute : {31, 44}) {
    At(7, 9, minute);
    EXPECT_TRUE(Tick().empty()) << "09:" << minute;
  }
  At(7, 9, 45);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Reboot"});
  for (const int hour : {10, 21}) {
    At(7, hour, 30);
    EXPECT_TRUE(Tick().empty()) << hour << ":30";
    At(7, hour, 45);
    EXPECT_TRUE(Tick().empty()) << hour << ":45";
  }
}

TEST_F(ScheduleTest, OnlyTheFirstOfTwoTimersAtOneTimeFires) {
  Prepare("[Timer]\r\nb=enabled,Reboot,09:30,Daily\r\na=enabled,Shutdown,09:30,Daily\r\n");
  At(7, 9, 30);
  Create();
  EXPECT_EQ(Tick(), std::vector<std::string>{"Reboot"});
  EXPECT_TRUE(Tick().empty()) << "the other does not fire in that minute either";
}

TEST_F(ScheduleTest, DayRules) {
  Prepare(
      "[Timer]\r\nw=enabled,Shutdown,09:30,Weekday\r\nf=enabled,Log off,10:00,Friday\r\n"
      "s=enabled,Reboot,11:00,sunday\r\n");
  Create();
  for (int day : {12, 13}) {  // Saturday, Sunday
    At(day, 9, 30);
    EXPECT_TRUE(Tick().empty()) << day;
  }
  At(14, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Shutdown"});
  At(10, 10, 0);  // Thursday
  EXPECT_TRUE(Tick().empty());
  At(11, 10, 0);  // Friday
  EXPECT_EQ(Tick(), std::vector<std::string>{"Log off"});
  At(13, 11, 0);
  EXPECT_TRUE(Tick().empty()) << "day names compare exactly";
}

TEST_F(ScheduleTest, OnceTimerIsRemovedBeforeItsCountdownEvenWhenAborted) {
  Prepare("[Timer]\r\nonce=enabled,Hibernate,09:30,Once\r\nother=enabled,Reboot,23:00,Daily\r\n");
  At(9, 9, 30);
  Create();
  host_.onCountdown = [this] {
    fired_.push_back(state_.pendingEvent);
    EXPECT_FALSE(Settings().ValueExists("Timer", "once")) << "gone before the countdown";
    std::vector<std::string> rows;
    for (const auto& row : form_->LvwTimer.rows) rows.push_back(row.caption);
    EXPECT_EQ(rows, std::vector<std::string>{"other"});
    EXPECT_EQ(form_->Schedule.Timers.size(), 1u) << "reloaded before the countdown";
    return CountdownOutcome{CountdownOutcome::End::Aborted, clock_.now};
  };
  EXPECT_EQ(Tick(), std::vector<std::string>{"Hibernate"});
  At(10, 9, 30);
  EXPECT_TRUE(Tick().empty());
}

TEST_F(ScheduleTest, AOnceTimerThatCannotLeaveTheFileDoesNotFire) {
  Prepare("[Timer]\r\nonce=enabled,Hibernate,09:30,Once\r\n");
  At(9, 9, 30);
  Create();
  ini_.refuseWrites = true;  // a standard user under the read-only lock
  EXPECT_TRUE(Tick().empty()) << "fired, it would fire again every day";
  EXPECT_TRUE(Tick().empty()) << "the minute counts as handled";
  EXPECT_TRUE(Settings().ValueExists("Timer", "once")) << "kept for whoever may remove it";
  EXPECT_EQ(form_->LvwTimer.rows.size(), 1u);
  ini_.refuseWrites = false;
  At(10, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Hibernate"});
  EXPECT_FALSE(Settings().ValueExists("Timer", "once"));
}

TEST_F(ScheduleTest, RebootStampInTheMinuteEndsTheWalk) {
  Prepare(
      "[Timer]\r\nr=enabled,Reboot,09:30,Friday\r\nd=enabled,Shutdown,09:30,Daily\r\n"
      "[Log]\r\nLastRebootTime=12/7/2026 9:30:05 AM\r\n");
  At(7, 9, 30, 50);
  Create();
  EXPECT_TRUE(Tick().empty()) << "even though the reboot timer's day rule would not fire it";
  At(7, 9, 31);
  Prepare("[Timer]\r\nr=enabled,Reboot,09:31,Daily\r\n[Log]\r\nLastRebootTime=yesterday\r\n");
  form_->Schedule.ReloadTimers();
  EXPECT_EQ(Tick(), std::vector<std::string>{"Reboot"}) << "an unreadable stamp is no reboot";
}

TEST_F(ScheduleTest, TimesMatchByValueAndBadOnesAreSkipped) {
  Prepare(
      "[Timer]\r\nbad=enabled,Shutdown,x9:30,Daily\r\nempty=enabled,Shutdown,,Daily\r\n"
      "off=disabled,Reboot,07:05,Daily\r\nshort=enabled,Log off,7:5,Daily\r\n");
  At(7, 7, 5);
  Create();
  EXPECT_EQ(Tick(), std::vector<std::string>{"Log off"});
}

TEST_F(ScheduleTest, SuspendOrHibernateRecordsTheMinuteAndTheScheduleGoesOn) {
  Prepare("[Timer]\r\ns=enabled,Suspend,09:30,Daily\r\n");
  At(7, 9, 30);
  Create();
  host_.onCountdown = [this] {
    fired_.push_back(state_.pendingEvent);
    return CountdownOutcome{CountdownOutcome::End::GoingOn, clock_.now};
  };
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"});
  EXPECT_TRUE(form_->Schedule.Timer1Enabled);
  clock_.now.second = 40;  // resumed within the minute
  EXPECT_TRUE(Tick().empty());
}

// The tick runs again unless the program ends, and the minute counted as handled is the one
// the countdown started in, not the one a long count ended in.
TEST_F(ScheduleTest, TheCountdownsEndDecidesTheTickAndTheHandledMinute) {
  Prepare("[Timer]\r\nt=enabled,Shutdown,09:30,Daily\r\n");
  using End = CountdownOutcome::End;
  for (const End end : {End::Ended, End::Aborted, End::GoingOn}) {
    SCOPED_TRACE(static_cast<int>(end));
    At(7, 9, 0);
    Create();
    At(7, 9, 30);
    host_.onCountdown = [this, end] {
      const LocalTime start = clock_.now;
      At(7, 9, 31);
      return CountdownOutcome{end, start};
    };
    form_->Schedule.Timer1Timer();
    const bool goesOn = end != End::Ended;
    EXPECT_EQ(form_->Schedule.Timer1Enabled, goesOn);
    EXPECT_EQ(form_->Schedule.LastHandled.year, goesOn ? 2026 : 0);
    EXPECT_EQ(form_->Schedule.LastHandled.minute, goesOn ? 30 : 0);
  }
  EXPECT_EQ(host_.countdowns, 3);

  // A sleep comes after the tick runs again: it goes on after the resume, and while a message
  // says that the machine did not sleep.
  std::vector<std::string> atSleep;
  At(7, 9, 0);
  Create();
  host_.calls.clear();
  At(7, 9, 30);
  host_.onCountdown = [&] {
    return CountdownOutcome{End::GoingOn, clock_.now, [&] {
                              atSleep = host_.calls;
                              EXPECT_TRUE(form_->Schedule.Timer1Enabled);
                              EXPECT_EQ(form_->Schedule.LastHandled.minute, 30);
                            }};
  };
  form_->Schedule.Timer1Timer();
  EXPECT_EQ(atSleep, std::vector<std::string>{"tick resumed"});
}

TEST_F(ScheduleTest, ClockGuardCorrectsTheClockBeforeTheWalk) {
  Prepare("[general]\r\nPreventTimeChange=True\r\n[Timer]\r\nt=enabled,Power off,09:30,Daily\r\n");
  At(7, 9, 0);
  clock_.tick = 1000;
  Create();
  ASSERT_TRUE(guard_.ClockGuardOn);
  // Someone moves the clock to the timer's minute; the guard sets it back before matching.
  At(7, 9, 30);
  clock_.tick = 1000 + 5000;
  machine_.onCall = [this] { At(7, 9, 0, 15); };
  EXPECT_TRUE(Tick().empty());
  ASSERT_EQ(machine_.clockSettings.size(), 1u);
  EXPECT_EQ(machine_.clockSettings[0].minute, 0);
  EXPECT_EQ(machine_.clockSettings[0].second, 15) << "the baseline 09:00:10 plus 5 seconds";
}

TEST_F(ScheduleTest, TheMachineIsHeldAwakeFromTheFiringUntilTheCountdownEnds) {
  Prepare("[Timer]\r\nt=enabled,Suspend,09:30,Daily\r\n");
  At(7, 9, 30, 0);
  Create();
  std::vector<std::string> duringCountdown;
  host_.onCountdown = [&] {
    duringCountdown = sleep_.keepAwake;
    return CountdownOutcome{};
  };
  form_->Schedule.Timer1Timer();
  const std::string reason = "Halcyra: Suspend countdown";
  EXPECT_EQ(duringCountdown, std::vector<std::string>{reason})
      << "held while the countdown runs, naming the action";
  EXPECT_EQ(sleep_.keepAwake, (std::vector<std::string>{reason, "let sleep"}))
      << "and let go after it";
}

// HalcyraCmd's requests: held by the schedule, shown in the tip, fired by the tick after the
// timers through the countdown, and dropped once fired.
TEST_F(ScheduleTest, AOneOffRequestFiresOnceThroughTheCountdownAndShowsInTheTip) {
  Prepare("[Timer]\r\nnightly=enabled,Shutdown,23:00,Daily\r\n");
  At(7, 21, 0);
  Create();
  processes_.running["handbrake.exe"] = 1;
  const std::string reply = form_->OneOffCommand(
      "do\n" +
      EncodeRequest(
          {"Power off", OneOffCondition::AfterExit, 0, {0, 0}, "handbrake.exe", 0, std::nullopt}));
  EXPECT_EQ(reply, "ok\nPending: Power off when handbrake.exe ends.");
  EXPECT_EQ(host_.tip, "Halcyra\nPower off when handbrake.exe ends");
  const std::string status = form_->OneOffCommand("status");
  EXPECT_NE(status.find("Pending: Power off when handbrake.exe ends."), std::string::npos);
  EXPECT_NE(status.find("Next timer: nightly (Shutdown) on Monday at 23:00."), std::string::npos);
  EXPECT_NE(status.find("in memory"), std::string::npos) << status;
  EXPECT_TRUE(Tick().empty()) << "the process still runs";

  processes_.running["handbrake.exe"] = 0;
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"});
  EXPECT_FALSE(form_->Schedule.OneOff) << "aborted or not, it is done with";
  EXPECT_EQ(host_.tip, "Halcyra");
  EXPECT_TRUE(Tick().empty());

  // A new request replaces the pending one; cancel drops it; nonsense is refused.
  form_->OneOffCommand(
      "do\n" + EncodeRequest({"Suspend", OneOffCondition::In, 30, {0, 0}, "", 0, std::nullopt}));
  EXPECT_EQ(form_->OneOffCommand(
                "do\n" +
                EncodeRequest({"Hibernate", OneOffCondition::In, 5, {0, 0}, "", 0, std::nullopt})),
            "ok\nReplaced the pending request: Hibernate at 21:05.");
  EXPECT_EQ(form_->OneOffCommand("cancel"), "ok\nThe pending request is cancelled.");
  EXPECT_EQ(host_.tip, "Halcyra");
  At(7, 21, 30);
  EXPECT_TRUE(Tick().empty()) << "cancelled before its time";
  EXPECT_EQ(form_->OneOffCommand("do\nevent=Sleep\ncondition=in\n").rfind("refused\n", 0), 0u);
  EXPECT_FALSE(form_->Schedule.OneOff);

  // A process by number is the one HalcyraCmd saw only if it was created when it said: a
  // number given out again, or gone, is "gone" (exit code 4) and nothing is held.
  processes_.started[4711] = 1234;
  OneOffRequest byNumber{"Reboot", OneOffCondition::AfterExit, 0, {0, 0}, "", 4711, std::nullopt};
  byNumber.processCreated = 999;
  EXPECT_EQ(form_->OneOffCommand("do\n" + EncodeRequest(byNumber)),
            "gone\nNo process 4711 runs in this session.");
  EXPECT_FALSE(form_->Schedule.OneOff);
  byNumber.processCreated = 1234;
  EXPECT_EQ(form_->OneOffCommand("do\n" + EncodeRequest(byNumber)),
            "ok\nPending: Reboot when process 4711 ends.");
}

}  // namespace
}  // namespace halcyra
