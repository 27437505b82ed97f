// A firing in the tray: the countdown window's logic and the end sequence, with a clock that
// moves a quarter second between ticks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/portable/portable_text_files.h"
#include "schedule/tray_firing.h"
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
  // A temporary folder whose clean-up takes that long on the local clock.
  std::function<void()> whileClearingTemp;
  void EmptyRecycleBin() override { journal_.push_back("cleanup RecycleBin"); }
  void ClearTempFolder() override {
    journal_.push_back("cleanup TempFolder");
    if (whileClearingTemp) whileClearingTemp();
  }
  void ClearIECache() override {}
  void ClearIECookies() override {}
  void ClearIEHistory() override {}
  void ClearTypedURLs() override {}
  void ClearRecentDocuments() override {}

 private:
  std::vector<std::string>& journal_;
};

class CountdownTest : public testing::Test, public FiringHost {
 protected:
  CountdownTest() {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
    os_.commonAppData = (folder_.Path() / "root").string();
    clock_.now = {2026, 12, 1, 7, 9, 30, 0, 0};
    privilege_.journal = &journal_;
    machine_.onCall = [this] { journal_.push_back(machine_.calls.back()); };
    // A message box's own loop runs the ticks that fall due while it is open, nested as deep
    // as Windows' would go before the stack ran out.
    boxes_.whileOpen = [this] {
      if (boxDepth_ >= 16) return;
      ++boxDepth_;
      for (int tick = 0; tick < 10 && firing_; ++tick) {
        clock_.tick64 += 100;
        firing_->Advance();
      }
      --boxDepth_;
    };
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
  // Fires the word and ticks until the firing ends; then what it left for the main loop
  // runs. Between ticks (rounds) 250 ms pass, and the local clock jumps by clockJumpSeconds_
  // once, in round jumpAtRound_. Returns how it ended.
  Firing::End Run(const std::string& word) {
    firing_.emplace(services_, *this, DueTimer{"t", EventWord::Of(word), false, {}});
    auto end = firing_->Advance();
    while (!end) {
      ++rounds_;
      if (rounds_ == abortAtRound_) form().BtnAbortClick();
      const double jump = rounds_ == jumpAtRound_ ? clockJumpSeconds_ : 0;
      clock_.now = DecodeDateTime(EncodeDateTime(clock_.now) + (0.25 + jump) / kSecondsPerDay);
      clock_.tick64 += 250;
      end = firing_->Advance();
    }
    auto actions = std::move(posted_);
    posted_.clear();
    for (auto& action : actions) action();
    return *end;
  }
  TFrmNotify& form() { return firing_->Countdown(); }

  // FiringHost: the labels the window shows, and the volume while it counts.
  void OpenCountdown(TFrmNotify& countdown) override {
    opened_.push_back(countdown.LblNotify.caption);
  }
  void SyncCountdown() override {
    labels_.push_back(form().LblNotify.caption);
    volumeWhileCounting_ = mixer_.volume;
  }
  void HideCountdown() override { journal_.push_back("hide"); }
  void CloseCountdown() override { journal_.push_back("close"); }
  void Post(std::function<void()> action) override { posted_.push_back(std::move(action)); }

  test::TempFolder folder_;
  test::FakeOsInfo os_;
  test::RefusingIniProfile ini_;
  test::FixedRegionalSettings regional_;
  test::FakeMessageBoxes boxes_;
  std::vector<std::string> journal_;
  test::RecordingMachineControl machine_;
  test::FakePolicyStore policyStore_;
  test::FakeSystemLog policyLog_;
  PolicyWatch policies_{policyStore_, policyLog_, PolicyReach::MachineAndUser};
  AppServices app_{os_, ini_, regional_, boxes_, machine_, policies_};
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
  FiringServices services_{app_, clock_, alarm_, cleanup_, log_, power_, sleep_};
  std::optional<TrayFiring> firing_;
  std::vector<std::function<void()>> posted_;
  std::vector<std::string> opened_;
  int volumeWhileCounting_ = -1;
  int rounds_ = 0;
  int boxDepth_ = 0;
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
  cleanup_.whileClearingTemp = [this] {
    clock_.now = DecodeDateTime(EncodeDateTime(clock_.now) + 2.0 / kSecondsPerDay);
  };
  Run("Power off");
  EXPECT_EQ(opened_, std::vector<std::string>{"This computer will shut down in 1000 seconds!"})
      << "before the first update";
  ASSERT_GE(labels_.size(), 2u);
  EXPECT_EQ(labels_[0], "This computer will power off in 5 seconds!");
  EXPECT_EQ(form().LblNotify.caption, "This computer will power off in 0 seconds!");
  EXPECT_EQ(rounds_, 21) << "until more than 5 seconds have passed";
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "cleanup RecycleBin", "cleanup TempFolder",
                                      "privilege", "ExitWindowsEx 12", "sound calls so far: 2"}));
  EXPECT_EQ(player_.calls, (std::vector<std::string>{"play " + Wave() + " 1", "stop 1"}));
  EXPECT_EQ(Read("Log.txt"), "2026-12-07 09:30:07    Power off\r\n")
      << "the time the line is written, after the clean-up";
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
    const std::string shown = "555444333332221111100";
    ASSERT_EQ(labels_.size(), shown.size());
    for (std::size_t i = 0; i < labels_.size(); ++i)
      EXPECT_EQ(labels_[i], "This computer will suspend in " + shown.substr(i, 1) + " seconds!")
          << "after " << static_cast<double>(i) * 0.25 << " s";
  }
}

TEST_F(CountdownTest, DurationZeroHidesAtOnceWithoutAnUpdate) {
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() + "\r\nloop=True\r\n");
  Run("Shutdown");
  EXPECT_EQ(rounds_, 0);
  EXPECT_TRUE(labels_.empty());
  EXPECT_EQ(form().LblNotify.caption, "This computer will shut down in 1000 seconds!");
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
  EXPECT_EQ(Run("Reboot"), Firing::End::Aborted);
  EXPECT_TRUE(form().BtnAbort.enabled);
  EXPECT_EQ(rounds_, 8) << "seen after the next label update";
  ASSERT_EQ(clock_.now.minute, 31);
  EXPECT_EQ(journal_, (std::vector<std::string>{"close"}));
  EXPECT_EQ(player_.calls, (std::vector<std::string>{"play " + Wave() + " 9", "stop 9"}));
  EXPECT_EQ(firing_->StartedAt().minute, start.minute);
  EXPECT_EQ(firing_->StartedAt().year, start.year);
  EXPECT_FALSE(files_.Exists(Path("Log.txt")));
  EXPECT_EQ(Read("Halcyra.ini").find("LastRebootTime"), std::string::npos);
  EXPECT_EQ(volumeWhileCounting_, 256);
  EXPECT_EQ(mixer_.volume, 30000) << "the saved volume comes back at close";
}

TEST_F(CountdownTest, CloseButtonIsAnAbortOnlyWhenAbortIsEnabled) {
  Prepare("[general]\r\nDuration=5\r\n");
  TFrmNotify f({app_, clock_, alarm_}, EventWord::Of("Shutdown"));
  f.FormCreate();
  EXPECT_FALSE(f.BtnAbort.enabled);
  f.CloseClicked();
  EXPECT_FALSE(f.AbortRequested) << "no way around a disabled Abort";
  Prepare("[general]\r\nDuration=5\r\nEnableAbort=True\r\n");
  f.FormCreate();
  f.CloseClicked();
  EXPECT_TRUE(f.AbortRequested);
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
  EXPECT_EQ(Run("Suspend"), Firing::End::GoingOn);
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 1 1"}));
  EXPECT_EQ(firing_->StartedAt().minute, 30) << "a quick resume does not fire it again";
  journal_.clear();
  EXPECT_EQ(Run("Hibernate"), Firing::End::GoingOn);
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 0 1"}));
}

TEST_F(CountdownTest, ASleepStateTheMachineRefusesIsSaid) {
  Prepare("");
  sleep_.capabilities = PowerCapabilities{};
  EXPECT_EQ(Run("Suspend"), Firing::End::GoingOn);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "close", "privilege"}))
      << "no power-state call for a state the machine does not allow";
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, Tr(kActionRefusedMessage));

  journal_.clear();
  sleep_.capabilities.reset();
  machine_.accept = false;  // allowed, but the call fails
  EXPECT_EQ(Run("Hibernate"), Firing::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, Tr(kActionRefusedMessage));
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"hide", "close", "privilege", "SetSystemPowerState 0 1"}));
}

TEST_F(CountdownTest, UnknownWordAndRefusedExitSayItAndResumeTheSchedule) {
  Prepare("[Log]\r\nEnabled=True\r\n");
  EXPECT_EQ(Run("Explode"), Firing::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "Unknown shutdown event.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 0x40u);
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "close"}));
  EXPECT_EQ(Read("Log.txt"), "2026-12-07 09:30:00    Explode\r\n") << "the line comes first";

  journal_.clear();
  machine_.accept = false;
  EXPECT_EQ(Run("Shutdown"), Firing::End::GoingOn);
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, Tr(kActionRefusedMessage));
  EXPECT_EQ(journal_, (std::vector<std::string>{"hide", "privilege", "ExitWindowsEx 13", "close"}));
}

TEST_F(CountdownTest, AcceptedExitLeavesTheWindowHiddenAndTheScheduleOff) {
  Prepare("");
  EXPECT_EQ(Run("Log off"), Firing::End::Ended);
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
