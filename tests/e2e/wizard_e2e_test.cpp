// The first-run wizard of the built program under Wine.
#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"
#include "wizard/wizard_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = wizard_ids;

class WizardE2E : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileText(Settings(), "");
    app_.emplace();
    wizard_ = FindWindowOf(*app_, "TForm1", "Wizard of Halcyra");
    ASSERT_NE(wizard_, nullptr);
    ASSERT_TRUE(WaitVisible(wizard_, true));
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
  void Click(int id) {
    ClickDialogButton(wizard_, id);
    Settle(wizard_);
  }

  std::optional<AppProcess> app_;
  HWND wizard_ = nullptr;
};

TEST_F(WizardE2E, NextWritesTheOfferedValuesAndOkOpensTheMainWindow) {
  EXPECT_FALSE(IsWindowEnabled(Control(wizard_, ids::kBtnBack)));
  EXPECT_TRUE(IsWindowVisible(Control(wizard_, ids::kBtnAdd))) << "the Timer page comes first";
  Click(ids::kBtnNext);
  const std::string settings = ReadFileText(Settings());
  for (const char* line : {"ShowSystemTray=True", "Duration=5", "Powerdown=Ctrl+Shift+Alt+P",
                           "Logoff=Ctrl+Shift+Alt+L", "Enabled=False", "RecentDocument=false"})
    EXPECT_NE(settings.find(std::string(line) + "\r\n"), std::string::npos) << line;
  EXPECT_TRUE(IsWindowVisible(Control(wizard_, main_ids::kChkSystemTray)));
  EXPECT_TRUE(IsWindowEnabled(Control(wizard_, ids::kBtnBack)));
  for (int page = 0; page < 5; ++page) Click(ids::kBtnNext);
  EXPECT_EQ(WindowText(Control(wizard_, ids::kBtnNext)), "OK");
  Click(ids::kBtnBack);
  EXPECT_EQ(WindowText(Control(wizard_, ids::kBtnNext)), "Next>");
  Click(ids::kBtnNext);
  Click(ids::kBtnNext);
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitVisible(main, true));
  EXPECT_TRUE(IsChecked(Control(main, main_ids::kChkSystemTray))) << "loaded what the wizard wrote";
}

TEST_F(WizardE2E, ATimerAddedInTheWizardIsWrittenAtOnce) {
  Click(ids::kBtnAdd);
  HWND editor = FindWindowOf(*app_, "TForm2", "Timer settings");
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(WaitVisible(editor, true));
  SetText(Control(editor, timer_ids::kEdtTitle), "night");
  SetText(Control(editor, timer_ids::kSpinHour), "23");
  ClickDialogButton(editor, timer_ids::kOk);
  ASSERT_TRUE(WaitVisible(editor, false));
  EXPECT_NE(ReadFileText(Settings()).find("night=enabled,Shutdown,23:00,Daily\r\n"),
            std::string::npos);
  const auto rows = ListViewRows(Control(wizard_, ids::kLvwTimer), 5);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"night", "Enabled", "Shutdown", "23:00", "Daily"}));
  Click(ids::kBtnCancel);
  EXPECT_NE(FindWindowOf(*app_, "TFrmMain", "Halcyra"), nullptr);
}

// The first start shows the main window without a show request: its first show asks the mixer
// all the same, and without a device the alarm is off and its controls disabled.
TEST(FirstStartE2E, TheFirstShowAsksTheMixerAsEveryLaterOneDoes) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[Sound]\r\nEnabled=True\r\nSoundPath=" + DataFile("alarm.wav") + "\r\n");
  AppProcess app;
  HWND wizard = FindWindowOf(app, "TForm1", "Wizard of Halcyra");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitVisible(wizard, true));
  ClickDialogButton(wizard, ids::kBtnCancel);
  HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  Settle(main);
  EXPECT_FALSE(IsChecked(Control(main, main_ids::kChkEnableSound)));
  EXPECT_FALSE(IsWindowEnabled(Control(main, main_ids::kBtnBrowse)));
}

}  // namespace
}  // namespace halcyra::e2e
