// The main settings window of the built program under Wine: loading, OK, closing, the page
// checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;

constexpr int kGeneralPage = 0, kTimerPage = 2, kPasswordPage = 5, kLogPage = 6;

class MainWindowE2E : public testing::Test {
 protected:
  void SetUp() override { RemoveFile(DataFile("Effects.txt")); }

  // Starts the program with these settings (an ordinary start) and shows its window the way
  // a second start does.
  HWND StartShown(const std::string& settings) {
    WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n" + settings);
    app_.emplace();
    return ShowMainWindow(*app_, "secret");
  }
  void ShowAgain(HWND main) {
    AppProcess second;
    second.WaitForExit();
    WaitVisible(main, true);
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
  static std::string SettingsText() { return ReadFileText(Settings()); }
  static bool Has(const std::string& line) {
    return SettingsText().find(line + "\r\n") != std::string::npos;
  }

  std::optional<AppProcess> app_;
};

TEST_F(MainWindowE2E, ShowsTheStoredValuesOnTheTimerPage) {
  HWND main = StartShown(
      "Duration=30\r\nEnableAbort=True\r\nShowSystemTray=true\r\n[Hotkeys]\r\n"
      "Powerdown=Ctrl+Alt+P\r\nShutdown=None\r\n[CleanUp]\r\nTempFolder=True\r\n"
      "[Password]\r\nEnabled=True\r\nPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n"
      "[Log]\r\nEnabled=True\r\n");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(SelectedTab(Control(main, ids::kPageControl)), kTimerPage);
  EXPECT_TRUE(IsWindowVisible(Control(main, ids::kBtnAdd)));
  EXPECT_FALSE(IsWindowVisible(Control(main, ids::kChkAbort)));
  EXPECT_EQ(WindowText(Control(main, ids::kSpinDuration)), "30");
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkAbort)));
  EXPECT_FALSE(IsChecked(Control(main, ids::kChkSystemTray))) << "\"true\" is not \"True\"";
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown)), "Ctrl+Alt+P");
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown + 1)), "None");
  EXPECT_EQ(WindowText(Control(main, ids::kEdtLogoff)), "");
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkPassword)));
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPwd)), "**********");
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kEdtPwdConfirm)));
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkEnableLog)));
  // No mixer device under Wine: the alarm is off and its controls disabled.
  EXPECT_FALSE(IsChecked(Control(main, ids::kChkEnableSound)));
  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnBrowse)));
  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kLabel10)));
  EXPECT_EQ(WindowText(main), "Halcyra");
  EXPECT_EQ(WindowText(Control(main, ids::kLabel17)), "Halcyra Version 6.7");
}

TEST_F(MainWindowE2E, TickingBoxesAndOkWritesTheKeys) {
  HWND main = StartShown("Duration=12\r\n");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), kGeneralPage), kGeneralPage);
  ClickDialogButton(main, ids::kChkAbort);
  ClickDialogButton(main, ids::kChkSystemTray);
  SetText(Control(main, ids::kSpinDuration), "45");
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), kLogPage), kLogPage);
  ClickDialogButton(main, ids::kChkEnableLog);
  Settle(main);
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkAbort)));
  ClickDialogButton(main, ids::kOk);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_EQ(SettingsText(),
            "[general]\r\nFirstStartDone=True\r\nDuration=45\r\nShowSystemTray=True\r\n"
            "PreventTimeChange=false\r\nEnableAbort=True\r\n[Hotkeys]\r\nPowerdown=None\r\n"
            "Shutdown=None\r\nReboot=None\r\nHibernate=None\r\nSuspend=None\r\nLogoff=None\r\n"
            "[Sound]\r\nEnabled=False\r\n[CleanUp]\r\nRecycleBin=false\r\nTempFolder=false\r\n"
            "IEcache=false\r\nIEcookie=false\r\nIEhistory=false\r\nIEAutoComplete=false\r\n"
            "RecentDocument=false\r\n[Password]\r\nEnabled=false\r\n[Log]\r\nEnabled=True\r\n");
  EXPECT_TRUE(app_->Running());
}

TEST_F(MainWindowE2E, CloseButtonHidesAndThrowsTheEditsAway) {
  HWND main = StartShown("Duration=12\r\nEnableAbort=True\r\n");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), kGeneralPage), kGeneralPage);
  SetText(Control(main, ids::kSpinDuration), "99");
  ClickDialogButton(main, ids::kChkAbort);
  Settle(main);
  const std::string before = SettingsText();
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_TRUE(app_->Running());
  EXPECT_EQ(SettingsText(), before) << "closing writes nothing";
  ShowAgain(main);
  EXPECT_EQ(WindowText(Control(main, ids::kSpinDuration)), "12");
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkAbort)));
  EXPECT_EQ(SelectedTab(Control(main, ids::kPageControl)), kGeneralPage) << "on its current page";
}

TEST_F(MainWindowE2E, PasswordPageWithABlankConfirmationCannotBeLeft) {
  HWND main = StartShown("");
  ASSERT_NE(main, nullptr);
  HWND pages = Control(main, ids::kPageControl);
  ASSERT_EQ(SelectTab(pages, kPasswordPage), kPasswordPage);
  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kEdtPwd)));
  ClickDialogButton(main, ids::kChkPassword);
  ASSERT_TRUE(WaitUntil([main] { return IsWindowEnabled(Control(main, ids::kEdtPwd)) != FALSE; }));
  SetText(Control(main, ids::kEdtPwd), "secret");

  // The right arrow asks to leave for the Log page; the window's loop hands it to the tabs.
  PostMessageA(pages, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(AnswerMessageBox(*app_, IDOK),
            (BoxSaid{"Error", "The password and the password confirmation should not be blank."}));
  PostMessageA(pages, WM_KEYUP, VK_RIGHT, 0);
  Settle(main);
  EXPECT_EQ(SelectedTab(pages), kPasswordPage);
  EXPECT_TRUE(IsWindowVisible(Control(main, ids::kEdtPwd)));
  EXPECT_EQ(SettingsText().find("[Password]"), std::string::npos) << "nothing saved";
}

// Every one of the eight pages can be reached from the keyboard.
TEST_F(MainWindowE2E, EveryPageCanBeShown) {
  HWND main = StartShown(
      "Duration=30\r\nShowSystemTray=True\r\n[Hotkeys]\r\nPowerdown=Ctrl+Shift+Alt+P\r\n"
      "Reboot=Ctrl+Shift+Alt+R\r\n[CleanUp]\r\nRecycleBin=True\r\nTempFolder=True\r\n"
      "[Password]\r\nEnabled=True\r\nPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n"
      "[Log]\r\nEnabled=True\r\n");
  ASSERT_NE(main, nullptr);
  for (int page = 0; page < 8; ++page)
    ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), page), page);
}

}  // namespace
}  // namespace halcyra::e2e
