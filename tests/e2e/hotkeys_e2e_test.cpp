// Global hotkeys of the built program, pressed on the X display as a user would.
#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;

class HotkeysE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    RemoveFile(DataFile("Log.txt"));
    RemoveFile(DataFile("PowerCapabilities.txt"));
  }
  void TearDown() override {
    app_.reset();
    RemoveFile(DataFile("PowerCapabilities.txt"));
  }
  // The program started on these settings, its hotkeys registered by the time it returns.
  void StartWith(const std::string& settings) {
    WriteFileText(DataFile("Halcyra.ini"), settings);
    app_.emplace();
    ASSERT_NE(FindWindowOf(*app_, "TFrmMain", "Halcyra"), nullptr);
    std::this_thread::sleep_for(300ms);
  }
  std::optional<AppProcess> app_;
};

TEST_F(HotkeysE2E, AStoredHotkeyActsAtOnceWithItsLogLine) {
  StartWith(
      "[general]\r\nFirstStartDone=True\r\nDuration=30\r\n[Hotkeys]\r\n"
      "Suspend=Ctrl+Alt+U\r\n[Log]\r\nEnabled=True\r\n");
  PressKeys("ctrl+alt+u");
  WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s);
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n");
  EXPECT_NE(ReadFileText(DataFile("Log.txt")).find("    Suspend\r\n"), std::string::npos);
  EXPECT_EQ(FindWindowOf(*app_, "TFrmNotify", "Halcyra", 0ms), nullptr) << "no countdown";
}

// A hibernation file of the reduced kind serves Fast Startup only: Hibernate is refused.
TEST_F(HotkeysE2E, HibernateWithAReducedFileIsRefusedAndSaid) {
  WriteFileText(DataFile("PowerCapabilities.txt"), "S4=1 HiberFile=reduced\r\n");
  StartWith("[general]\r\nFirstStartDone=True\r\n[Hotkeys]\r\nHibernate=Ctrl+Alt+H\r\n");
  PressKeys("ctrl+alt+h");
  EXPECT_NE(AnswerMessageBox(*app_, IDOK).text.find("Windows did not carry out"),
            std::string::npos);
  EXPECT_FALSE(FileExists(DataFile("Effects.txt"))) << ReadFileText(DataFile("Effects.txt"));
}

TEST_F(HotkeysE2E, ABareLetterInTheFileActsOnNothing) {
  StartWith(
      "[general]\r\nFirstStartDone=True\r\n[Hotkeys]\r\nPowerdown=E\r\n"
      "Suspend=Ctrl+Alt+U\r\n");
  PressKeys("e");
  // The hotkey pressed after it is the sign that the letter had its chance.
  PressKeys("ctrl+alt+u");
  ASSERT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n")
      << "the letter powered nothing off";
}

TEST_F(HotkeysE2E, KeysPressedInAFieldAreCapturedAndSaved) {
  WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 1), 1);
  HWND field = Control(main, ids::kEdtPowerdown + 2);  // Reboot
  // Pointing at the field gives it the focus.
  PostMessageA(field, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  std::this_thread::sleep_for(300ms);
  PressKeys("ctrl+shift+r");
  EXPECT_EQ(WindowText(field), "Ctrl+Shift+R");
  ClickDialogButton(main, ids::kOk);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_NE(ReadFileText(DataFile("Halcyra.ini")).find("Reboot=Ctrl+Shift+R\r\n"),
            std::string::npos);
}

TEST_F(HotkeysE2E, AChangedHotkeyActsAndTheOldOneNoLonger) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\n[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n");
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 1), 1);
  HWND field = Control(main, ids::kEdtPowerdown + 4);  // Suspend
  PostMessageA(field, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Settle(main);
  PressKeys("ctrl+alt+j");
  ASSERT_EQ(WindowText(field), "Ctrl+Alt+J");
  ClickDialogButton(main, ids::kOk);
  ASSERT_TRUE(WaitVisible(main, false));

  PressKeys("ctrl+alt+u");
  EXPECT_FALSE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 1s))
      << "the old combination is gone";
  PressKeys("ctrl+alt+j");
  EXPECT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 1 1\r\n");
}

TEST_F(HotkeysE2E, AHotkeyMessageOfNoSlotDoesNothing) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\n[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n");
  app_.emplace();
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  // -1: the id of every slot without a hotkey, and of Windows' own snap hotkey.
  SendAndWait(main, WM_HOTKEY, static_cast<WPARAM>(-1), 0);
  SendAndWait(main, WM_HOTKEY, 0x1234, 0);
  Settle(main);
  EXPECT_FALSE(FileExists(DataFile("Effects.txt")));
  EXPECT_TRUE(app_->Running());
}

}  // namespace
}  // namespace halcyra::e2e
