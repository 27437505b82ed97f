// The built program against settings files and situations that no well-behaved user makes:
// random bytes, huge and broken values, a locked log, a vanished data folder. Each test asserts
// that the program neither crashes nor loses what it must keep, and shows the message its
// design gives where there is one.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "actions/countdown_window_ids.h"
#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
constexpr const char* kRecord = "[general]\r\nFirstStartDone=True\r\n";

std::string RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(generator));
  return bytes;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class BadInputE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    RemoveFile(DataFile("Log.txt"));
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
  std::optional<AppProcess> app_;
};

TEST_F(BadInputE2E, ASettingsFileOfRandomBytesStartsAndShows) {
  // Without the first-start record: a first start, whose wizard opens.
  WriteFileText(Settings(), RandomBytes(64 * 1024, 1));
  app_.emplace();
  HWND wizard = FindWindowOf(*app_, "TForm1", "Wizard of Halcyra");
  ASSERT_NE(wizard, nullptr);
  app_->Terminate();
  // With it: an ordinary start; the window shows what could be read.
  WriteFileText(Settings(), kRecord + RandomBytes(64 * 1024, 2));
  app_.emplace();
  EXPECT_NE(ShowMainWindow(*app_), nullptr);
  EXPECT_TRUE(app_->Running());
}

TEST_F(BadInputE2E, OkKeepsEveryOneOf100000Timers) {
  std::string settings = kRecord + std::string("[Timer]\r\n");
  for (int i = 0; i < 100000; ++i)
    settings += "timer " + std::to_string(i) + "=enabled,Shutdown,03:00,Daily\r\n";
  WriteFileText(Settings(), settings);
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ClickDialogButton(main, ids::kOk);
  ASSERT_TRUE(WaitVisible(main, false, 60s));
  EXPECT_EQ(Count(ReadFileText(Settings()), "=enabled,Shutdown,03:00,Daily"), 100000u);
  EXPECT_EQ(FindMessageBox(*app_, 0ms), nullptr);
}

TEST_F(BadInputE2E, HugeBrokenAndOddValuesAreShownWithoutHarm) {
  const std::string huge(5000, 'x');
  WriteFileText(Settings(),
                std::string(kRecord) + "Duration=" + huge + "\r\n[Sound]\r\nSoundPath=C:\\" + huge +
                    "\r\n[Hotkeys]\r\nPowerdown=Ctrl+\r\nShutdown=Alt+Alt+Z\r\nReboot=F99\r\n"
                    "Hibernate=" +
                    huge + "\r\n[Timer]\r\n" + huge +
                    "=enabled,Shutdown,1:2,Daily\r\n"
                    "nothing=\r\nshort=enabled\r\ncommas=enabled,,,,,,\r\nextra=enabled,Reboot,"
                    "10:00,Daily,more,fields\r\numlaut=enabled,Sh\xfc"
                    "tdown,\xff\xfe:\x80,D\xe4"
                    "ily\r\n");
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 2), 2);
  const auto rows = ListViewRows(Control(main, ids::kLvwTimer), 5);
  EXPECT_EQ(rows.size(), 6u) << "every entry is a row, broken or not";
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown)), "Ctrl+");
  EXPECT_EQ(WindowText(Control(main, ids::kSpinDuration)).size(), 2047u)
      << "a value reads back as at most 2047 characters";
  EXPECT_TRUE(app_->Running());
}

TEST_F(BadInputE2E, DurationsThatAreNoNumberActAtOnceAndAHugeOneCountsADay) {
  for (const char* duration : {"abc", "-1"}) {
    RemoveFile(DataFile("Effects.txt"));
    WriteFileText(Settings(), kRecord + std::string("Duration=") + duration +
                                  "\r\n[Timer]\r\nnap=enabled,Suspend," + ThisMinute() +
                                  ",Daily\r\n");
    app_.emplace();
    EXPECT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s)) << duration;
    EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n") << duration;
    app_->Terminate();
  }
  WriteFileText(Settings(), kRecord +
                                std::string("Duration=99999999999\r\nEnableAbort=True\r\n"
                                            "[Timer]\r\nnap=enabled,Suspend,") +
                                ThisMinute() + ",Daily\r\n");
  RemoveFile(DataFile("Effects.txt"));
  app_.emplace();
  HWND notify = FindWindowOf(*app_, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  EXPECT_TRUE(WaitUntil(
      [notify] {
        return WindowText(Control(notify, countdown_ids::kLblNotify)).find("in 8640") !=
               std::string::npos;
      },
      5s))
      << "held to a day: " << WindowText(Control(notify, countdown_ids::kLblNotify));
  ClickDialogButton(notify, countdown_ids::kBtnAbort);
  EXPECT_TRUE(WaitVisible(notify, false));
  EXPECT_FALSE(FileExists(DataFile("Effects.txt")));
}

TEST_F(BadInputE2E, ARebootStampThatIsNoDateDoesNotStopARebootTimer) {
  WriteFileText(Settings(), kRecord +
                                std::string("[Log]\r\nLastRebootTime=yesterday-ish\r\n"
                                            "[Timer]\r\nrestart=enabled,Reboot,") +
                                ThisMinute() + ",Daily\r\n");
  app_.emplace();
  EXPECT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "ExitWindowsEx 6\r\n");
}

TEST_F(BadInputE2E, ALockedLogLetsTheActionHappenWithoutALineOrAMessage) {
  WriteFileText(DataFile("Log.txt"), "");
  FileLock lock(DataFile("Log.txt"));
  ASSERT_TRUE(lock.Held());
  WriteFileText(Settings(), kRecord +
                                std::string("[Log]\r\nEnabled=True\r\n[Timer]\r\nnap=enabled,"
                                            "Suspend,") +
                                ThisMinute() + ",Daily\r\n");
  app_.emplace();
  EXPECT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n");
  EXPECT_EQ(FindMessageBox(*app_, 500ms), nullptr) << "the countdown reports nothing";
  EXPECT_TRUE(app_->Running());
}

TEST_F(BadInputE2E, AVanishedDataFolderMakesOkSayItAndWriteNothingElsewhere) {
  WriteFileText(Settings(), kRecord);
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  std::error_code ignored;
  const std::filesystem::path folder(DataFolder());
  const auto saved = folder.parent_path() / "Halcyra-saved";
  std::filesystem::remove_all(saved, ignored);
  std::filesystem::rename(folder, saved);
  ClickDialogButton(main, ids::kOk);
  EXPECT_EQ(AnswerMessageBox(*app_, IDOK),
            (BoxSaid{"Halcyra",
                     "Can not save settings. You must be given \"modify\" access to the file: \"" +
                         DataFile("Halcyra.ini") + "\"."}));
  EXPECT_TRUE(WaitVisible(main, false));
  EXPECT_FALSE(std::filesystem::exists(folder)) << "nothing made the folder again";
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_FALSE(FileExists(std::string(windows) + "\\Halcyra.ini")) << "nor wrote elsewhere";
  std::filesystem::rename(saved, folder);
}

}  // namespace
}  // namespace halcyra::e2e
