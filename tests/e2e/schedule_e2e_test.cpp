// A scheduled action from end to end: the end-to-end build journals the action it performs
// into Effects.txt instead of ending the session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <thread>

#include "actions/countdown_window_ids.h"
#include "core/date_time.h"
#include "driver/driver_win.h"
#include "platform/win32/win32_regional_settings_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = countdown_ids;

class ScheduleE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    RemoveFile(DataFile("Log.txt"));
    RemoveFile(DataFile("PowerCapabilities.txt"));
    time_ = ThisMinute();
  }
  void TearDown() override {
    app_.reset();
    RemoveFile(DataFile("PowerCapabilities.txt"));
    RemoveFile(DataFile("ClockOffset.txt"));
  }
  void Start(const std::string& settings, const std::string& timers) {
    WriteFileText(DataFile("Halcyra.ini"),
                  "[general]\r\nFirstStartDone=True\r\n" + settings + "[Timer]\r\n" + timers);
    app_.emplace();
  }
  std::string Entry(const char* title, const char* event, const char* frequency) const {
    return std::string(title) + "=enabled," + event + "," + time_ + "," + frequency + "\r\n";
  }
  // Asks the tray program for a one-off action due at once. Timers are looked at first on each
  // tick, so its action is the sign that a tick ran in which no timer fired.
  static void RequestNow(const char* event) {
    ASSERT_EQ(
        RunCommand("\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" /do " + event + " /in 0"),
        0u);
  }
  static bool WaitForText(const std::string& path, const std::string& text,
                          std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return ReadFileText(path).find(text) != std::string::npos; }, timeout);
  }

  std::string time_;
  std::optional<AppProcess> app_;
};

TEST_F(ScheduleE2E, OncePowerOffCountsDownThenActsAndLogs) {
  Start("Duration=3\r\n[Log]\r\nEnabled=True\r\n", Entry("soon", "Power off", "Once"));
  HWND notify = FindWindowOf(*app_, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  EXPECT_TRUE(GetWindowLongA(notify, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")).find("soon="), std::string::npos)
      << "the once-only entry is gone as the countdown opens";
  EXPECT_FALSE(IsWindowEnabled(Control(notify, ids::kBtnAbort)));

  const std::regex counting("This computer will power off in ([0-3]) seconds!");
  std::smatch match;
  int first = -1, last = -1;
  for (int i = 0; i < 60; ++i) {
    const std::string label = WindowText(Control(notify, ids::kLblNotify));
    if (std::regex_match(label, match, counting)) {
      last = std::stoi(match[1]);
      if (first < 0) first = last;
    }
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_GE(first, 0) << WindowText(Control(notify, ids::kLblNotify));
  EXPECT_LT(last, first) << "counting down";

  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "ExitWindowsEx 12\r\n", 10s));
  EXPECT_FALSE(IsWindowVisible(notify)) << "hidden before the action";
  EXPECT_TRUE(
      std::regex_match(ReadFileText(DataFile("Log.txt")),
                       std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d    Power off\r\n")))
      << ReadFileText(DataFile("Log.txt"));
}

TEST_F(ScheduleE2E, AbortWritesNothingAndTheTimerDoesNotFireAgainThatMinute) {
  Start("Duration=30\r\nEnableAbort=True\r\n[Log]\r\nEnabled=True\r\n",
        Entry("daily", "Reboot", "Daily"));
  HWND notify = FindWindowOf(*app_, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  HWND abort = Control(notify, ids::kBtnAbort);
  ASSERT_TRUE(IsWindowEnabled(abort));
  EXPECT_EQ(WindowText(abort), "Abort");
  ClickDialogButton(notify, ids::kBtnAbort);
  EXPECT_TRUE(WaitVisible(notify, false));
  // The next countdown is the one-off's, not the timer's again; it is aborted too.
  RequestNow("Suspend");
  HWND next = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        next = FindWindowOf(*app_, "TFrmNotify", "Halcyra", 0ms);
        return next && IsWindowVisible(next) &&
               WindowText(Control(next, ids::kLblNotify)).find("will suspend") != std::string::npos;
      },
      10s))
      << "no second countdown of the timer";
  ClickDialogButton(next, ids::kBtnAbort);
  EXPECT_TRUE(WaitVisible(next, false));
  EXPECT_FALSE(FileExists(DataFile("Effects.txt")));
  EXPECT_FALSE(FileExists(DataFile("Log.txt")));
  EXPECT_TRUE(app_->Running());
}

TEST_F(ScheduleE2E, SuspendActsAndTheScheduleGoesOn) {
  Start("Duration=0\r\n", Entry("nap", "Suspend", "Daily"));
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "SetSystemPowerState 1 1\r\n", 10s));
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([main] { return IsWindowEnabled(main) != FALSE; }, 2s))
      << "the countdown has closed";
  RequestNow("Hibernate");
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "SetSystemPowerState 0 1\r\n", 10s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")),
            "SetSystemPowerState 1 1\r\nSetSystemPowerState 0 1\r\n")
      << "the resumed schedule does not fire the same minute again";
  EXPECT_TRUE(app_->Running());
}

// The schedule sleeps between the minutes in which a timer can fall due: the tick comes as a
// timer's minute begins, and at once when the clock is set or the computer resumes. The
// program's clock is moved by the test's own offset (ClockOffset.txt), never the machine's.
TEST_F(ScheduleE2E, TheTickComesAtATimersMinuteAndAtOnceAfterAClockChangeOrAResume) {
  const auto programNow = [](long offset) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    const LocalTime real{st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
                         st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
    return DecodeDateTime(EncodeDateTime(real) + offset / 86400.0);
  };
  const auto hourMinute = [](const LocalTime& t) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u:%02u", t.hour, t.minute);
    return std::string(text);
  };
  // The program's clock 50 seconds into a minute: the timer's minute is 10 seconds away.
  long offset = 50 - programNow(0).second;
  WriteFileText(DataFile("ClockOffset.txt"), std::to_string(offset));
  const LocalTime start = programNow(offset);
  const std::string first = hourMinute(DecodeDateTime(EncodeDateTime(start) + 30 / 86400.0));
  const std::string later = hourMinute(DecodeDateTime(EncodeDateTime(start) + 330 / 86400.0));
  Start("Duration=0\r\n", "first=enabled,Suspend," + first + ",Daily\r\nlater=enabled,Power off," +
                              later + ",Daily\r\n");
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "SetSystemPowerState 1 1\r\n", 20s));
  const LocalTime acted = programNow(offset);
  EXPECT_EQ(hourMinute(acted), first);
  EXPECT_LE(acted.second, 2) << "acted within the first seconds of its minute";

  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([main] { return IsWindowEnabled(main) != FALSE; }, 2s));
  // Counted from before the message, which the program may handle before a count taken after.
  const unsigned long before = ScheduleTicks(main);
  PostMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_TRUE(WaitUntil([&] { return ScheduleTicks(main) > before; }, 2s))
      << "a resume looks at once, with nothing due for minutes";

  // Another session adds a timer for the next minute, which the program's clock then reaches
  // unannounced: the folder's change notice brought it in.
  offset += 60;
  WriteFileText(DataFile("ClockOffset.txt"), std::to_string(offset));
  WriteFileText(
      DataFile("Halcyra.ini"),
      "[general]\r\nFirstStartDone=True\r\nDuration=0\r\n[Timer]\r\nlater=enabled,Power off," +
          later + ",Daily\r\nwritten=enabled,Hibernate," + hourMinute(programNow(offset)) +
          ",Daily\r\n");
  EXPECT_TRUE(WaitForText(DataFile("Effects.txt"), "SetSystemPowerState 0 1\r\n", 4s))
      << "a timer another program wrote fires in its minute";

  offset += 240;
  WriteFileText(DataFile("ClockOffset.txt"), std::to_string(offset));
  SendMessageA(main, WM_TIMECHANGE, 0, 0);
  EXPECT_TRUE(WaitForText(DataFile("Effects.txt"), "ExitWindowsEx", 3s))
      << "a clock set into a timer's minute fires it at once";
}

// A laptop of today: modern standby and none of S1 to S3. Suspend turns the display off instead
// of asking for a sleep that would hibernate or do nothing, and the schedule goes on.
TEST_F(ScheduleE2E, SuspendOnModernStandbyTurnsTheDisplayOffAndTheScheduleGoesOn) {
  WriteFileText(DataFile("PowerCapabilities.txt"), "S1=0 S2=0 S3=0 AoAc=1\r\n");
  Start("Duration=0\r\n[Log]\r\nEnabled=True\r\n", Entry("nap", "Suspend", "Daily"));
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "SC_MONITORPOWER 2\r\n", 10s));
  EXPECT_NE(ReadFileText(DataFile("Log.txt")).find("    Suspend\r\n"), std::string::npos);
  // A request due at once fires on the next tick, as the next timer would.
  RequestNow("Shutdown");
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "ExitWindowsEx 13\r\n", 10s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SC_MONITORPOWER 2\r\nExitWindowsEx 13\r\n")
      << "no power-state call";
}

TEST_F(ScheduleE2E, ASessionEndThatIsCalledOffLeavesTheScheduleRunning) {
  Start("Duration=0\r\n", Entry("nap", "Suspend", "Daily"));
  // The window exists a moment before its first tick: the question comes first.
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(SendAndWait(main, WM_QUERYENDSESSION, 0, 0), TRUE);
  ASSERT_FALSE(FileExists(DataFile("Effects.txt"))) << "fired before the question came";
  const unsigned long ticks = ScheduleTicks(main);
  // A request due at once is taken (its reply is the sign that the program's loop runs) but
  // waits for the next tick.
  RequestNow("Hibernate");
  std::this_thread::sleep_for(2500ms);
  EXPECT_EQ(ScheduleTicks(main), ticks) << "no tick while the session may end";
  ASSERT_FALSE(FileExists(DataFile("Effects.txt")));
  SendAndWait(main, WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(WaitForText(DataFile("Effects.txt"),
                          "SetSystemPowerState 1 1\r\nSetSystemPowerState 0 1\r\n", 10s))
      << "the session went on, and so does the schedule: the timer, then the request";
}

// Edit writes [Timer] again with the edited timer last (its title unchanged), so that of two timers
// of one minute the other fires first afterwards. Until then a reboot timer holds the minute still:
// the reboot stamp says the computer came back in it, which stops the walk at that timer.
TEST_F(ScheduleE2E, AnEditedTimerGoesLastAndTheOtherFiresFirst) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalTime minute{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                         now.wHour, now.wMinute, now.wSecond,    0};
  const std::string stamp =
      DateTimeToText(EncodeDateTime(minute), Win32RegionalSettings().Current());
  Start("Duration=0\r\n[Log]\r\nLastRebootTime=" + stamp + "\r\n",
        Entry("guard", "Reboot", "Daily") + Entry("first", "Power off", "Daily") +
            Entry("second", "Suspend", "Daily"));
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  HWND list = Control(main, main_ids::kLvwTimer);
  const auto edit = [&](const std::string& title) {
    const auto rows = ListViewRows(list, 1);
    const auto row = std::find(rows.begin(), rows.end(), std::vector<std::string>{title});
    ASSERT_NE(row, rows.end()) << title;
    SelectListRow(list, static_cast<int>(row - rows.begin()));
    ClickDialogButton(main, main_ids::kBtnEdit);
    HWND editor = FindWindowOf(*app_, "TFrmTimer", "Timer settings");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(WaitVisible(editor, true));
    ClickDialogButton(editor, timer_ids::kOk);
    ASSERT_TRUE(WaitVisible(editor, false));
  };
  const auto timers = [] {
    const std::string text = ReadFileText(DataFile("Halcyra.ini"));
    return text.substr(text.find("[Timer]"));
  };

  edit("first");
  const std::string after = timers();
  EXPECT_LT(after.find("second="), after.find("first=")) << after;
  EXPECT_FALSE(FileExists(DataFile("Effects.txt"))) << "the reboot timer held the minute";

  // Without the reboot timer the minute is free: the first timer of it in key order fires.
  const auto rows = ListViewRows(list, 1);
  const auto guard = std::find(rows.begin(), rows.end(), std::vector<std::string>{"guard"});
  ASSERT_NE(guard, rows.end());
  SelectListRow(list, static_cast<int>(guard - rows.begin()));
  ClickDialogButton(main, main_ids::kBtnDelete);
  HWND box = FindMessageBox(*app_);
  ASSERT_NE(box, nullptr);
  ClickDialogButton(box, IDYES);
  ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "\r\n", 10s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n")
      << "the suspend of \"second\", not the power off of \"first\"";
}

// What the program says when an action cannot be carried out is said once, with one log line,
// however long the message stays open; answered, the program goes on.
TEST_F(ScheduleE2E, AnUnknownWordOrARefusedActionGivesOneMessageAndOneLogLine) {
  struct Case {
    const char* event;
    const char* message;
  };
  for (const Case c : {Case{"Nap", "Unknown shutdown event."},
                       Case{"Hibernate", "Windows did not carry out the scheduled action."}}) {
    SCOPED_TRACE(c.event);
    SetUp();
    WriteFileText(DataFile("PowerCapabilities.txt"), "S4=1 HiberFile=reduced\r\n");
    Start("Duration=0\r\n[Log]\r\nEnabled=True\r\n", Entry("t", c.event, "Daily"));
    HWND box = FindMessageBox(*app_);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind(c.message, 0), 0u) << MessageBoxText(box);
    // The box's own loop dispatches the ticks, and serves HalcyraCmd on them: its reply, and
    // ticks counted, are the signs that the tick had its chance under the box.
    HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
    RequestNow("Shutdown");
    ASSERT_TRUE(WaitForTicks(main, 3));
    EXPECT_EQ(CountWindows(*app_, "#32770"), 1);
    const std::string log = ReadFileText(DataFile("Log.txt"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_FALSE(FileExists(DataFile("Effects.txt"))) << "nothing acts under the box";
    ClickDialogButton(box, IDOK);
    // Answered, the program goes on: the request fires, and the minute stays handled.
    ASSERT_TRUE(WaitForText(DataFile("Effects.txt"), "ExitWindowsEx 13\r\n", 10s));
    EXPECT_EQ(CountWindows(*app_, "#32770"), 0);
    app_.reset();
  }
}

// While the countdown shows, every other window of the program stays disabled: a dialog closed
// during the count gives its owner no input back.
TEST_F(ScheduleE2E, ADialogClosedDuringACountLeavesTheMainWindowDisabled) {
  Start("Duration=30\r\nEnableAbort=True\r\n", "");
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ClickDialogButton(main, main_ids::kBtnAdd);
  HWND editor = FindWindowOf(*app_, "TFrmTimer", "Timer settings");
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(WaitVisible(editor, true));
  RequestNow("Suspend");
  HWND notify = FindWindowOf(*app_, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  EXPECT_TRUE(WaitUntil([editor] { return !IsWindowEnabled(editor); }, 2s))
      << "the dialog open when the count began";
  ClickDialogButton(editor, timer_ids::kCancel);
  ASSERT_TRUE(WaitVisible(editor, false));
  Settle(main);
  EXPECT_FALSE(IsWindowEnabled(main));
  ClickDialogButton(notify, ids::kBtnAbort);
  EXPECT_TRUE(WaitUntil([main] { return IsWindowEnabled(main) != FALSE; }, 5s));
}

// Exit chosen during a count: the count goes on to its action, then the program ends.
TEST_F(ScheduleE2E, ExitDuringACountStillActsThenEnds) {
  Start("Duration=2\r\n", Entry("nap", "Suspend", "Daily"));
  HWND notify = FindWindowOf(*app_, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  PostMessageA(main, WM_COMMAND, main_ids::kMnuExit, 0);
  Settle(main);
  EXPECT_TRUE(app_->Running()) << "the count goes on";
  EXPECT_TRUE(app_->WaitForExit(10s).has_value());
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n");
}

}  // namespace
}  // namespace halcyra::e2e
