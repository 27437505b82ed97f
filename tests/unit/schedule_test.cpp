// The schedule's tick on the main window's logic, with a fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "one_off/pending_one_off.h"
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
  // Every countdown here counts five seconds, so that it can be aborted.
  void Prepare(const std::string& content) {
    const std::string general = "[general]\r\n";
    std::string withDuration = content;
    if (content.find(general) == std::string::npos)
      withDuration = general + "Duration=5\r\n" + content;
    else
      withDuration.insert(content.find(general) + general.size(), "Duration=5\r\n");
    MainFormTest::Prepare(withDuration);
  }
  // Ticks once; a firing that starts goes on, a quarter second a tick, to its end (aborted
  // at its first count unless abort_ is off), and what it left for the main loop runs.
  // Returns the event words fired.
  std::vector<std::string> Tick() {
    const std::size_t before = host_.countdowns.size();
    program_->Schedule.Timer1Timer();
    while (program_->Schedule.Firing() && program_->Schedule.Running()) {
      if (abort_ && host_.countdown) host_.countdown->AbortRequested = true;
      clock_.tick64 += 250;
      program_->Schedule.Timer1Timer();
    }
    host_.RunPosted();
    return {host_.countdowns.begin() + static_cast<std::ptrdiff_t>(before), host_.countdowns.end()};
  }
  bool abort_ = true;
};

TEST_F(ScheduleTest, StartInsideATimersMinuteFiresAtTheFirstTick) {
  Prepare("[Timer]\r\nt=enabled,Power off,09:30,Daily\r\n");
  At(7, 9, 30, 45);
  Create();
  EXPECT_TRUE(program_->Schedule.Running());
  EXPECT_EQ(program_->Schedule.LastHandled.year, 0);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"});
  EXPECT_TRUE(Tick().empty()) << "aborted: the minute counts as handled";
  At(8, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"}) << "the next day";
}

// The tick sleeps until a minute in which a timer can fall due, by its time and day, and never
// past the next full or half hour; a clock set while it sleeps is looked at once.
TEST_F(ScheduleTest, TheTickSleepsUntilATimerCanFallDueAndAClockChangeLooksAtOnce) {
  Prepare(
      "[Timer]\r\nlater=enabled,Shutdown,09:45,Daily\r\nsaturday=enabled,Reboot,09:35,Saturday\r\n"
      "off=disabled,Hibernate,09:31,Daily\r\nbad=enabled,Suspend,9h40,Daily\r\n");
  At(7, 9, 30, 10);  // a Monday
  Create();
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 15 * 60000u - 10000 + 100) << "09:45";
  At(7, 9, 46, 10);
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 14 * 60000u - 10000 + 100)
      << "no later than 10:00";
  At(12, 9, 34, 59);  // a Saturday
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 60000u - 59000 + 100) << "09:35 on its day";
  At(7, 9, 45, 30);
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 1000u) << "due within this minute: each second";

  program_->TimeSettingsChanged();
  EXPECT_TRUE(program_->Schedule.Firing()) << "a clock set into a timer's minute fires it at once";
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 100u);

  // Under the count a clock set and another session's write wait for its end, then come at once.
  host_.countdown->AbortRequested = true;
  At(7, 9, 50, 0);
  EXPECT_FALSE(program_->Schedule.LookNow());
  Prepare("[general]\r\nDuration=5\r\n[Timer]\r\nnew=enabled,Reboot,09:51,Daily\r\n");
  program_->Schedule.FileChanged();
  clock_.tick64 += 250;
  program_->Schedule.Timer1Timer();
  ASSERT_FALSE(program_->Schedule.Firing());
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), kShortestTickMs);
  program_->Schedule.Timer1Timer();
  ASSERT_EQ(program_->Schedule.Timers.size(), 1u);
  EXPECT_EQ(program_->Schedule.Timers[0].Title, "new");
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 60000u + 100) << "09:51";
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
  host_.onCountdown = [this](TFrmNotify&) {
    EXPECT_FALSE(Settings().ValueExists("Timer", "once")) << "gone before the countdown";
    std::vector<std::string> rows;
    for (const auto& row : form_->LvwTimer.rows) rows.push_back(row.caption);
    EXPECT_EQ(rows, std::vector<std::string>{"other"});
    EXPECT_EQ(program_->Schedule.Timers.size(), 1u) << "reloaded before the countdown";
  };
  EXPECT_EQ(Tick(), std::vector<std::string>{"Hibernate"});
  At(10, 9, 30);
  EXPECT_TRUE(Tick().empty());
}

// The failure rule the service keeps too: a once-only timer whose action was not carried out
// is back in the file, in the list and in the schedule, for its next time.
TEST_F(ScheduleTest, AOnceTimerWhoseActionWasNotCarriedOutComesBack) {
  Prepare("[Timer]\r\nonce=enabled,Power off,09:30,Once\r\nnap=enabled,Suspend,10:00,Once\r\n");
  At(9, 9, 30);
  Create();
  abort_ = false;
  machine_.accept = false;
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"});
  EXPECT_EQ(form_->LvwTimer.rows.size(), 2u) << "back in the list at once";
  At(9, 10, 0);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"});
  EXPECT_EQ(boxes_.shown.size(), 2u) << "each refusal is said";
  EXPECT_EQ(Settings().ReadSection("Timer"), (std::vector<std::string>{"once", "nap"}));
  EXPECT_EQ(form_->LvwTimer.rows.size(), 2u);
  machine_.accept = true;
  At(10, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"}) << "the next day";
  EXPECT_FALSE(Settings().ValueExists("Timer", "once")) << "carried out: gone for good";
}

// A once-only timer whose entry the file keeps. Under an administrator's read-only lock it
// waits for a session that may remove it and leaves its minute to the timers after it. Held by
// another program for a while, it fires all the same, once, and leaves the file at the next
// write.
TEST_F(ScheduleTest, AOnceTimerTheFileKeepsWaitsUnderTheLockOrElseFiresOnce) {
  Prepare("[Timer]\r\nonce=enabled,Hibernate,09:30,Once\r\nnext=enabled,Suspend,09:30,Daily\r\n");
  At(9, 9, 30);
  Create();
  ini_.refuseWrites = true;
  ini_.denied = true;
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"}) << "the minute goes to the next timer";
  EXPECT_TRUE(Settings().ValueExists("Timer", "once")) << "kept for whoever may remove it";
  EXPECT_EQ(form_->LvwTimer.rows.size(), 2u);

  ini_.denied = false;
  At(10, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Hibernate"}) << "fired: nothing lost";
  ASSERT_EQ(form_->LvwTimer.rows.size(), 1u);
  EXPECT_EQ(form_->LvwTimer.rows[0].caption, "next");
  At(11, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"}) << "not a second time";
  ini_.refuseWrites = false;
  program_->Schedule.ReloadTimers();
  EXPECT_FALSE(Settings().ValueExists("Timer", "once")) << "taken out at the next write";
  EXPECT_EQ(program_->Schedule.Timers.size(), 1u);
}

// One action at a time. A message box runs the thread's ticks and posted messages in its own
// loop; neither a tick nor a hotkey from there starts a second action, and the program goes on
// once the message is answered.
TEST_F(ScheduleTest, AnActionsMessageIsShownOnceAndNothingElseActsUnderIt) {
  Prepare(
      "[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n[Log]\r\nEnabled=True\r\n[Timer]\r\n"
      "nap=enabled,Nap,09:30,Once\r\nnext=enabled,Shutdown,09:31,Daily\r\n");
  const std::string logPath = *os_.commonAppData + "\\Halcyra\\Log.txt";
  const auto logLines = [&] {
    std::ifstream in(logPath, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::count(log.begin(), log.end(), '\n');
  };
  At(7, 9, 30);
  Create();
  abort_ = false;
  boxes_.whileOpen = [this] {
    program_->HandleHotkey(0xC000);
    ModalLoop();
  };
  EXPECT_EQ(Tick(), std::vector<std::string>{"Nap"});
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "Unknown shutdown event.");
  EXPECT_EQ(logLines(), 1);
  EXPECT_TRUE(machine_.calls.empty()) << "the hotkey under the message did nothing";
  EXPECT_FALSE(Settings().ValueExists("Timer", "nap")) << "gone, as after any firing";
  EXPECT_TRUE(program_->Schedule.Running());

  machine_.accept = false;
  At(7, 9, 31);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Shutdown"});
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, Tr(kActionRefusedMessage));
  EXPECT_EQ(logLines(), 2);
  EXPECT_EQ(machine_.calls, std::vector<std::string>{"ExitWindowsEx 13"});

  // A hotkey's own message: the timer of this minute waits until it is answered, looked at each
  // second meanwhile.
  unsigned intervalUnderMessage = 0;
  boxes_.whileOpen = [this, &intervalUnderMessage] {
    intervalUnderMessage = program_->Schedule.TickIntervalMs();
    ModalLoop();
  };
  machine_.accept = true;
  std::filesystem::remove(std::filesystem::path(logPath));
  std::filesystem::create_directory(std::filesystem::path(logPath));
  At(8, 9, 31);
  program_->HandleHotkey(0xC000);
  ASSERT_EQ(boxes_.shown.size(), 3u);
  EXPECT_EQ(boxes_.shown[2].style, mb::kOk | mb::kIconError);
  EXPECT_EQ(host_.countdowns.size(), 2u) << "no countdown under the hotkey's message";
  EXPECT_EQ(machine_.calls.back(), "SetSystemPowerState 1 1");
  EXPECT_EQ(intervalUnderMessage, 1000u);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Shutdown"}) << "its turn comes after";
}

// Exit during a count: the count goes on to its action, the countdown closes as it always does
// (the alarm's volume put back, also when the action ends the session), and then the program
// ends.
TEST_F(ScheduleTest, ExitDuringACountWaitsForTheActionAndPutsTheVolumeBack) {
  const std::string wave = (folder_.Path() / "alarm.wav").string();
  std::ofstream(wave) << "RIFF";
  for (const char* event : {"Suspend", "Power off"}) {
    SCOPED_TRACE(event);
    Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + wave +
            "\r\nSetVolume=True\r\nVolume=256\r\n[Timer]\r\nt=enabled," + event +
            ",09:30,Daily\r\n");
    mixer_.volume = 40000;
    machine_.calls.clear();
    At(7, 9, 30);
    Create();
    host_.calls.clear();
    abort_ = false;
    program_->Schedule.Timer1Timer();
    clock_.tick64 += 100;
    program_->Schedule.Timer1Timer();
    ASSERT_EQ(mixer_.volume, 256) << "the alarm's volume while it counts";
    program_->MnuExitClick();
    EXPECT_TRUE(host_.calls.empty()) << "the count goes on";
    Tick();
    host_.RunPosted();
    EXPECT_EQ(machine_.calls.size(), 1u) << "the action came";
    EXPECT_TRUE(program_->ExitRequested);
    EXPECT_EQ(host_.calls.back(), "close") << "then the program ends";
    form_->FormClose();
    EXPECT_EQ(mixer_.volume, 40000);
  }
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
  program_->Schedule.ReloadTimers();
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
  abort_ = false;
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"});
  ASSERT_EQ(machine_.calls.back(), "SetSystemPowerState 1 1");
  EXPECT_TRUE(program_->Schedule.Running());
  clock_.now.second = 40;  // resumed within the minute
  EXPECT_TRUE(Tick().empty());
}

// The tick runs again unless the program ends, and the minute counted as handled is the one
// the countdown started in, not the one a long count ended in.
TEST_F(ScheduleTest, TheCountdownsEndDecidesTheTickAndTheHandledMinute) {
  Prepare("[Timer]\r\nt=enabled,Shutdown,09:30,Daily\r\n");
  enum class End { Ended, Aborted, Refused };
  for (const End end : {End::Ended, End::Aborted, End::Refused}) {
    SCOPED_TRACE(static_cast<int>(end));
    At(7, 9, 0);
    Create();
    At(7, 9, 30);
    host_.onCountdown = [this](TFrmNotify&) { At(7, 9, 31); };
    abort_ = end == End::Aborted;
    machine_.accept = end != End::Refused;
    EXPECT_EQ(Tick(), std::vector<std::string>{"Shutdown"});
    const bool goesOn = end != End::Ended;
    EXPECT_EQ(program_->Schedule.Running(), goesOn);
    EXPECT_EQ(program_->Schedule.LastHandled.year, goesOn ? 2026 : 0);
    EXPECT_EQ(program_->Schedule.LastHandled.minute, goesOn ? 30 : 0);
    EXPECT_EQ(host_.countdown != nullptr, !goesOn) << "an accepted exit leaves it hidden";
  }

  // A sleep comes after the countdown has closed and the tick runs again: it goes on after the
  // resume, and while a message says that the machine did not sleep.
  Prepare("[Timer]\r\nt=enabled,Suspend,09:30,Daily\r\n");
  machine_.accept = true;
  std::vector<std::string> atSleep;
  At(7, 9, 0);
  Create();
  host_.calls.clear();
  host_.onCountdown = nullptr;
  At(7, 9, 30);
  abort_ = false;
  machine_.onCall = [&] {
    atSleep = host_.calls;
    EXPECT_TRUE(program_->Schedule.Running());
    EXPECT_FALSE(program_->Schedule.Firing());
    EXPECT_EQ(program_->Schedule.LastHandled.minute, 30);
  };
  Tick();
  EXPECT_EQ(atSleep, (std::vector<std::string>{"countdown hidden", "countdown closed"}));
}

// A firing on the main form's tick: the count, a hotkey pressed during it that acts at once
// and sleeps, the count that is over at the first tick after the resume, the sleep left for
// the main loop, and the next firing aborted.
TEST_F(ScheduleTest, AFiringCountsOnTheTickThroughAHotkeysSleepAndAnAbort) {
  Prepare("[Hotkeys]\r\nHibernate=Ctrl+Alt+H\r\n[Timer]\r\nt=enabled,Suspend,09:30,Daily\r\n");
  At(7, 9, 30);
  Create();
  const auto tick = [this](std::uint64_t ms) {
    clock_.tick64 += ms;
    program_->Schedule.Timer1Timer();
  };
  tick(0);
  ASSERT_TRUE(program_->Schedule.Firing());
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 100u) << "the label changes with each second";
  tick(100);
  EXPECT_EQ(host_.countdown->LblNotify.caption, "This computer will suspend in 5 seconds!");
  tick(2000);
  EXPECT_EQ(host_.countdown->LblNotify.caption, "This computer will suspend in 3 seconds!");

  host_.calls.clear();
  machine_.onCall = [this] { clock_.tick64 += 60000; };  // hibernated for a minute
  program_->HandleHotkey(0xC000);
  machine_.onCall = nullptr;
  EXPECT_EQ(machine_.calls, std::vector<std::string>{"SetSystemPowerState 0 1"});
  ASSERT_TRUE(program_->Schedule.Firing()) << "the count goes on after the resume";
  tick(100);
  EXPECT_FALSE(program_->Schedule.Firing()) << "its time passed during the sleep";
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"countdown hidden", "countdown closed"}));
  EXPECT_EQ(program_->Schedule.TickIntervalMs(), 1790100u)
      << "its minute is handled: nothing can fall due before 10:00, which the tick sleeps to";
  EXPECT_EQ(machine_.calls.size(), 1u) << "the sleep waits for the main loop";
  host_.RunPosted();
  EXPECT_EQ(machine_.calls.back(), "SetSystemPowerState 1 1");

  At(8, 9, 30);
  EXPECT_EQ(Tick(), std::vector<std::string>{"Suspend"});
  EXPECT_EQ(machine_.calls.size(), 2u) << "aborted: nothing more";
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
  host_.onCountdown = [&](TFrmNotify&) { duringCountdown = sleep_.keepAwake; };
  Tick();
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
  const std::string reply = program_->OneOffCommand(
      "do\n" +
      EncodeRequest(
          {"Power off", OneOffCondition::AfterExit, 0, {0, 0}, "handbrake.exe", 0, std::nullopt}));
  EXPECT_EQ(reply, "ok\nPending: Power off when handbrake.exe ends.");
  EXPECT_EQ(host_.tip, "Halcyra\nPower off when handbrake.exe ends");
  const std::string status = program_->OneOffCommand("status");
  EXPECT_NE(status.find("Pending: Power off when handbrake.exe ends."), std::string::npos);
  EXPECT_NE(status.find("Next timer: nightly (Shutdown) on Monday at 23:00."), std::string::npos);
  EXPECT_NE(status.find("in memory"), std::string::npos) << status;
  EXPECT_TRUE(Tick().empty()) << "the process still runs";

  processes_.running["handbrake.exe"] = 0;
  EXPECT_EQ(Tick(), std::vector<std::string>{"Power off"});
  EXPECT_FALSE(program_->Schedule.OneOff) << "aborted or not, it is done with";
  EXPECT_EQ(host_.tip, "Halcyra");
  EXPECT_TRUE(Tick().empty());

  // A new request replaces the pending one; cancel drops it; nonsense is refused.
  program_->OneOffCommand(
      "do\n" + EncodeRequest({"Suspend", OneOffCondition::In, 30, {0, 0}, "", 0, std::nullopt}));
  EXPECT_EQ(program_->OneOffCommand(
                "do\n" +
                EncodeRequest({"Hibernate", OneOffCondition::In, 5, {0, 0}, "", 0, std::nullopt})),
            "ok\nReplaced the pending request: Hibernate at 21:05.");
  EXPECT_EQ(program_->OneOffCommand("cancel"), "ok\nThe pending request is cancelled.");
  EXPECT_EQ(host_.tip, "Halcyra");
  At(7, 21, 30);
  EXPECT_TRUE(Tick().empty()) << "cancelled before its time";
  EXPECT_EQ(program_->OneOffCommand("do\nevent=Sleep\ncondition=in\n").rfind("refused\n", 0), 0u);
  EXPECT_FALSE(program_->Schedule.OneOff);

  // A long name in letters beyond ASCII: the tip keeps to its 127 UTF-16 units and is cut
  // between letters, not inside one.
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += "\u6771";
  longName += ".exe";
  processes_.running[longName] = 1;
  program_->OneOffCommand(
      "do\n" +
      EncodeRequest(
          {"Power off", OneOffCondition::AfterExit, 0, {0, 0}, longName, 0, std::nullopt}));
  EXPECT_EQ(Utf16Length(host_.tip), 127u);
  EXPECT_EQ(Utf8FromUtf16Le(Utf16LeFromUtf8(host_.tip)), host_.tip) << "whole characters";
  EXPECT_EQ(host_.tip.substr(host_.tip.size() - 3), "...");
  program_->OneOffCommand("cancel");

  // A process by number is the one HalcyraCmd saw only if it was created when it said: a
  // number given out again, or gone, is "gone" (exit code 4) and nothing is held.
  processes_.started[4711] = 1234;
  OneOffRequest byNumber{"Reboot", OneOffCondition::AfterExit, 0, {0, 0}, "", 4711, std::nullopt};
  byNumber.processCreated = 999;
  EXPECT_EQ(program_->OneOffCommand("do\n" + EncodeRequest(byNumber)),
            "gone\nNo process 4711 runs in this session.");
  EXPECT_FALSE(program_->Schedule.OneOff);
  byNumber.processCreated = 1234;
  EXPECT_EQ(program_->OneOffCommand("do\n" + EncodeRequest(byNumber)),
            "ok\nPending: Reboot when process 4711 ends.");
}

}  // namespace
}  // namespace halcyra
