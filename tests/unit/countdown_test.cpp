// The countdown window's logic with a clock that moves as messages are handled.
#include "actions/countdown.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/portable/portable_text_files.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

TEST(CountdownText, OneTextPerEventWord) {
  EXPECT_EQ(CountdownText("Shutdown", 5), "This computer will shut down in 5 seconds!");
  EXPECT_EQ(CountdownText("Power off", 12), "This computer will power off in 12 seconds!");
  EXPECT_EQ(CountdownText("Log off", 0), "This computer will log off in 0 seconds!");
  EXPECT_EQ(CountdownText("Reboot", 1), "This computer will reboot in 1 seconds!");
  EXPECT_EQ(CountdownText("Hibernate", 3), "This computer will hibernate in 3 seconds!");
  EXPECT_EQ(CountdownText("Suspend", 3), "This computer will suspend in 3 seconds!");
  EXPECT_EQ(CountdownText("Fly away", 3), "This computer will suspend in 3 seconds!");
  EXPECT_EQ(CountdownText("Shutdown", 86400), "This computer will shut down in 86400 seconds!");
}

TEST(CountdownSeconds, WholeNumbersHeldToADayAnythingElseIsZero) {
  EXPECT_EQ(CountdownSeconds("5"), 5);
  EXPECT_EQ(CountdownSeconds("+7"), 7);
  EXPECT_EQ(CountdownSeconds("0"), 0);
  EXPECT_EQ(CountdownSeconds(""), 0);
  EXPECT_EQ(CountdownSeconds("abc"), 0);
  EXPECT_EQ(CountdownSeconds("1.5"), 0);
  EXPECT_EQ(CountdownSeconds(" 5"), 0);
  EXPECT_EQ(CountdownSeconds("-5"), 0) << "never counted as unsigned for decades";
  EXPECT_EQ(CountdownSeconds("4294967295"), 86400);
  EXPECT_EQ(CountdownSeconds("99999999999999999999999"), 86400);
}

// Records everything that happens, in order, in one journal.
class JournalTasks final : public CleanupTasks {
 public:
  explicit JournalTasks(std::vector<std::string>& journal) : journal_(journal) {}
  void EmptyRecycleBin() override { journal_.push_back("cleanup RecycleBin"); }
  void ClearTempFolder() override { journal_.push_back("cleanup TempFolder"); }
  void ClearIECache() override {}
  void ClearIECookies() override {}
  void ClearIEHistory() override {}
  void ClearTypedURLs() override {}
  void ClearRecentDocuments() override {}

 private:
  std::vector<std::string>& journal_;
};

class CountdownTest : public testing::Test, public CountdownHost {
 protected:
  CountdownTest() {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
    os_.commonAppData = (folder_.Path() / "root").string();
    clock_.now = {2026, 12, 1, 7, 9, 30, 0, 0};
    privilege_.journal = &journal_;
    machine_.onCall = [this] { journal_.push_back(machine_.calls.back()); };
  }
  std::string Path(const char* name) const { return *os_.commonAppData + "\\Halcyra\\" + name; }
  void Prepare(const std::string& content) {
    std::ofstream(Path("Halcyra.ini"), std::ios::binary) << content;
  }
  std::string Read(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::string Wave() {
    const std::string path = (folder_.Path() / "alarm.wav").string();
    std::ofstream(path) << "RIFF";
    return path;
  }
  // Runs a countdown for the word and returns the window's logic.
  TFrmNotify& Run(const std::string& word) {
    form_.emplace(services_, *this, word);
    form_->FormCreate();
    form_->Timer1Timer();
    // What the schedule does once its tick runs again.
    if (form_->Outcome.sleep) form_->Outcome.sleep();
    return *form_;
  }

  // CountdownHost: each message round lets 250 ms pass, and the local clock jumps by
  // clockJumpSeconds_ once, in round jumpAtRound_.
  void ProcessMessages(int maxWaitMs) override {
    EXPECT_GT(maxWaitMs, 0) << "the loop waits for messages instead of spinning";
    EXPECT_LE(maxWaitMs, 100);
    ++rounds_;
    labels_.push_back(form_->LblNotify.caption);
    if (rounds_ == abortAtRound_) form_->BtnAbortClick();
    const double jump = rounds_ == jumpAtRound_ ? clockJumpSeconds_ : 0;
    clock_.now = DecodeDateTime(EncodeDateTime(clock_.now) + (0.25 + jump) / kSecondsPerDay);
    clock_.tick64 += 250;
  }
  void HideWindow() override { journal_.push_back("hide"); }
  void RequestClose() override { journal_.push_back("close"); }

  test::TempFolder folder_;
  test::FakeOsInfo os_;
  test::RefusingIniProfile ini_;
  test::FixedRegionalSettings regional_;
  test::FakeMessageBoxes boxes_;
  std::vector<std::string> journal_;
  test::RecordingMachineControl machine_;
  ProcessState state_;
  AppServices app_{os_, ini_, regional_, boxes_, machine_, state_};
  test::FakeClock clock_;
  test::FakeMixer mixer_;
  test::FakeSoundPlayer player_;
  PortableTextFiles files_;
  AlarmServices alarm_{mixer_, player_};
  JournalTasks cleanup_{journal_};
  EventLogServices log_{os_, files_, regional_};
  test::FakePrivilege privilege_;
  test::FakeSleepSupport sleep_;
  PowerServices power_{os_, privilege_, machine_, boxes_, sleep_};
  CountdownServices services_{app_, clock_, alarm_, cleanup_, log_, power_};
  std::optional<TFrmNotify> form_;
  int rounds_ = 0;
  int abortAtRound_ = -1;
  int jumpAtRound_ = -1;
  double clockJumpSeconds_ = 0;
  std::vector<std::string> labels_;
};

TEST_F(CountdownTest, CountsDownByTheClockThenRunsTheEndSequenceInOrder) {
  Prepare(
      "[general]\r\nDuration=5\r\n[CleanUp]\r\nRecycleBin=True\r\nTempFolder=True\r\n"
      "[Log]\r\nEnabled=True\r\n[Sound]\r\nEnabled=True\r\nSoundPath=" +
      Wave() + "\r\n");
  machine_.onCall = [this] {
    journal_.push_back(machine_.calls.back());
    journal_.push_back("sound calls so far: " + std::to_string(player_.calls.size()));
  };
  TFrmNotify& f = Run("Power off");
  EXPECT_FALSE(f.Timer1Enabled) << "the handler runs once";
  ASSERT_GE(labels_.size(), 2u);
  EXPECT_EQ(labels_[0], "This computer will shut down in 1000 seconds!")
      << "before the first update";
  EXPECT_EQ(labels_[1], "This computer will power off in 5 seconds!");
  EXPECT_EQ(f.LblNotify.caption, "This computer will power off in 0 seconds!");
  EXPECT_EQ(rounds_, 21) << "until more than 5 seconds have passed";
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "cleanup RecycleBin", "cleanup TempFolder",
                                      "privilege", "ExitWindowsEx 12", "sound calls so far: 2"}));
  EXPECT_EQ(player_.calls, (std::vector<std::string>{"play " + Wave() + " 1", "stop 1"}));
  EXPECT_EQ(Read("Log.txt"), "2026-12-07 09:30:05    Power off\r\n");
  EXPECT_TRUE(boxes_.shown.empty());
}

// A daylight-saving switch or a clock set by hand during the count changes neither its length
// nor the seconds shown.
TEST_F(CountdownTest, AClockThatJumpsDoesNotMoveTheCount) {
  Prepare("[general]\r\nDuration=5\r\n");
  for (const double jump : {3600.0, -3600.0}) {
    SCOPED_TRACE(jump);
    rounds_ = 0;
    labels_.clear();
    jumpAtRound_ = 4;
    clockJumpSeconds_ = jump;
    Run("Suspend");
    EXPECT_EQ(rounds_, 21) << "five seconds, as without the jump";
    // The seconds shown after each quarter second, worked out by hand: 5 less the elapsed
    // time rounded half to even (0.5 s shows 5, 1.5 s shows 3, 2.5 s shows 3).
    const std::string shown = "55444333332221111100";
    ASSERT_EQ(labels_.size(), shown.size() + 1);
    for (std::size_t i = 1; i < labels_.size(); ++i)
      EXPECT_EQ(labels_[i], "This computer will suspend in " + shown.substr(i - 1, 1) + " seconds!")
          << "after " << i * 0.25 << " s";
  }
}

TEST_F(CountdownTest, DurationZeroHidesAtOnceWithoutAnUpdate) {
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() + "\r\nloop=True\r\n");
  TFrmNotify& f = Run("Shutdown");
  EXPECT_EQ(rounds_, 0);
  EXPECT_EQ(f.LblNotify.caption, "This computer will shut down in 1000 seconds!");
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 13"}));
  EXPECT_EQ(player_.calls, (std::vector<std::string>{"play " + Wave() + " 9", "stop 9"}));
}

TEST_F(CountdownTest, UnreadableDurationActsAtOnceAndNeverLeavesTheAlarmPlaying) {
  Prepare("[general]\r\nDuration=soon\r\n[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() + "\r\n");
  Run("Log off");
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 4"}));
  EXPECT_EQ(player_.calls.back(), "stop 1");
}

TEST_F(CountdownTest, AbortRecordsTheStartMinuteAndDoesNothingElse) {
  Prepare(
      "[general]\r\nDuration=30\r\nEnableAbort=True\r\n[CleanUp]\r\nRecycleBin=True\r\n"
      "[Log]\r\nEnabled=True\r\n[Sound]\r\nEnabled=True\r\nSoundPath=" +
      Wave() + "\r\nloop=True\r\nSetVolume=True\r\nVolume=256\r\n");
  mixer_.volume = 30000;
  // Started in the last second of 09:30 and aborted two seconds later, in 09:31: the minute
  // handled is the one it started in, or the timer would fire again at 09:31's tick.
  clock_.now.second = 59;
  abortAtRound_ = 8;
  const LocalTime start = clock_.now;
  TFrmNotify& f = Run("Reboot");
  EXPECT_TRUE(f.BtnAbort.enabled);
  EXPECT_EQ(rounds_, 8) << "seen after the next label update";
  ASSERT_EQ(clock_.now.minute, 31);
  EXPECT_EQ(journal_, (std::vector<std::string>{"close"}));
  EXPECT_EQ(player_.calls, (std::vector<std::string>{"play " + Wave() + " 9", "stop 9"}));
  EXPECT_EQ(f.Outcome.end, CountdownOutcome::End::Aborted);
  EXPECT_EQ(f.Outcome.handledMinute.minute, start.minute);
  EXPECT_EQ(f.Outcome.handledMinute.year, start.year);
  EXPECT_FALSE(files_.Exists(Path("Log.txt")));
  EXPECT_EQ(Read("Halcyra.ini").find("LastRebootTime"), std::string::npos);
  EXPECT_EQ(mixer_.volume, 256);
  f.FormClose();
  EXPECT_EQ(mixer_.volume, 30000) << "the saved volume comes back at close";
}

TEST_F(CountdownTest, CloseButtonIsAnAbortOnlyWhenAbortIsEnabled) {
  Prepare("[general]\r\nDuration=5\r\n");
  form_.emplace(services_, *this, "Shutdown");
  form_->FormCreate();
  EXPECT_FALSE(form_->BtnAbort.enabled);
  form_->CloseClicked();
  EXPECT_FALSE(form_->AbortRequested) << "no way around a disabled Abort";
  Prepare("[general]\r\nDuration=5\r\nEnableAbort=True\r\n");
  form_->FormCreate();
  form_->CloseClicked();
  EXPECT_TRUE(form_->AbortRequested);
}

TEST_F(CountdownTest, RebootWritesItsStampAfterTheLogLineAndBeforeTheCall) {
  Prepare("[Log]\r\nEnabled=True\r\n");
  machine_.onCall = [this] {
    journal_.push_back(machine_.calls.back());
    journal_.push_back(Read("Halcyra.ini").find("LastRebootTime=12/7/2026 9:30:00 AM") !=
                               std::string::npos
                           ? "stamp written"
                           : "no stamp");
  };
  Run("Reboot");
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 6", "stamp written"}));
  EXPECT_EQ(Read("Log.txt"), "2026-12-07 09:30:00    Reboot\r\n");
}

TEST_F(CountdownTest, ARebootWithoutItsStampWaitsForTheNextMinute) {
  Prepare("[general]\r\nDuration=2\r\n");
  clock_.now.second = 50;
  ini_.refuseWrites = true;  // a standard user under the read-only lock
  machine_.onCall = [this] {
    journal_.push_back(machine_.calls.back() + " at " + std::to_string(clock_.now.minute) + ":" +
                       std::to_string(clock_.now.second));
  };
  Run("Reboot");
  EXPECT_EQ(journal_.back(), "ExitWindowsEx 6 at 31:0")
      << "back within 09:30, the timer would fire again";
  journal_.clear();
  clock_.now.minute = 40;
  clock_.now.second = 0;
  Run("Power off");
  EXPECT_EQ(journal_.back(), "ExitWindowsEx 12 at 40:2") << "only a reboot waits";
}

TEST_F(CountdownTest, SuspendAndHibernateCloseFirstAndTheProgramGoesOn) {
  Prepare("");
  TFrmNotify& f = Run("Suspend");
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 1 1"}));
  EXPECT_EQ(f.Outcome.end, CountdownOutcome::End::GoingOn);
  EXPECT_EQ(f.Outcome.handledMinute.minute, 30) << "a quick resume does not fire it again";
  journal_.clear();
  EXPECT_EQ(Run("Hibernate").Outcome.end, CountdownOutcome::End::GoingOn);
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 0 1"}));
}

TEST_F(CountdownTest, ASleepStateTheMachineRefusesIsSaid) {
  Prepare("");
  sleep_.capabilities = PowerCapabilities{};
  EXPECT_EQ(Run("Suspend").Outcome.end, CountdownOutcome::End::GoingOn);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "close", "privilege"}))
      << "no power-state call for a state the machine does not allow";
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, kActionRefusedMessage);

  journal_.clear();
  sleep_.capabilities.reset();
  machine_.accept = false;  // allowed, but the call fails
  EXPECT_EQ(Run("Hibernate").Outcome.end, CountdownOutcome::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, kActionRefusedMessage);
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 0 1"}));
}

TEST_F(CountdownTest, UnknownWordAndRefusedExitSayItAndResumeTheSchedule) {
  Prepare("[Log]\r\nEnabled=True\r\n");
  EXPECT_EQ(Run("Explode").Outcome.end, CountdownOutcome::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "Unknown shutdown event.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 0x40u);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "close"}));
  EXPECT_EQ(Read("Log.txt"), "2026-12-07 09:30:00    Explode\r\n") << "the line comes first";

  journal_.clear();
  machine_.accept = false;
  EXPECT_EQ(Run("Shutdown").Outcome.end, CountdownOutcome::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, kActionRefusedMessage);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 13", "close"}));
}

TEST_F(CountdownTest, AcceptedExitLeavesTheWindowHiddenAndTheScheduleOff) {
  Prepare("");
  EXPECT_EQ(Run("Log off").Outcome.end, CountdownOutcome::End::Ended);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 4"}));
}

TEST_F(CountdownTest, ALogThatCannotBeWrittenIsSkippedSilently) {
  Prepare("[Log]\r\nEnabled=True\r\n");
  // A folder where the log should be: logging is on, and the line cannot be written.
  std::filesystem::create_directories(Path("Log.txt"));
  Run("Shutdown");
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 13"}));
}

}  // namespace
}  // namespace halcyra
