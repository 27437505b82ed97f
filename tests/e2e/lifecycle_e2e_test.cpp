// The password gate, the notification icon's messages and Exit in the built program.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "driver/driver_win.h"
#include "one_off/once_window_ids.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
namespace pids = password_ids;

// The digest of "secret".
constexpr const char* kSecretDigest = "5EBE2294ECD0E0F08EAB7690D2A6EE69";

class LifecycleE2E : public testing::Test {
 protected:
  void Start(const std::string& settings) {
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n" + settings);
    app_.emplace();
    main_ = FindWindowOf(*app_, "TFrmMain", "Halcyra");
    ASSERT_NE(main_, nullptr);
  }
  static std::string Protected() {
    return std::string("[Password]\r\nEnabled=True\r\nPassword=") + kSecretDigest + "\r\n";
  }
  HWND Prompt() { return FindWindowOf(*app_, "TFrmPwd", "Please enter the password"); }

  std::optional<AppProcess> app_;
  HWND main_ = nullptr;
};

TEST_F(LifecycleE2E, SecondStartAsksForThePasswordAndWaitsForTheAnswer) {
  Start(Protected());
  AppProcess second;
  HWND prompt = Prompt();
  ASSERT_NE(prompt, nullptr);
  ASSERT_TRUE(WaitVisible(prompt, true));
  EXPECT_EQ(GetWindowLongA(Control(prompt, pids::kOk), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON)
      << "OK looks like the button that Enter presses";
  EXPECT_FALSE(second.WaitForExit(300ms).has_value()) << "the second start waits for the prompt";

  SetText(Control(prompt, pids::kEdtPwd), "Secret");
  ClickDialogButton(prompt, pids::kOk);
  EXPECT_EQ(AnswerMessageBox(*app_, IDOK),
            (BoxSaid{"Halcyra", "The password is not correct, please try it again."}));
  EXPECT_TRUE(IsWindowVisible(prompt)) << "the prompt stays for another try";

  SetText(Control(prompt, pids::kEdtPwd), "secret");
  ClickDialogButton(prompt, pids::kOk);
  ASSERT_TRUE(WaitVisible(main_, true));
  EXPECT_TRUE(second.WaitForExit().has_value());
}

TEST_F(LifecycleE2E, CancelledPromptLeavesTheWindowHidden) {
  Start(Protected());
  AppProcess second;
  HWND prompt = Prompt();
  ASSERT_NE(prompt, nullptr);
  ClickDialogButton(prompt, pids::kCancel);
  EXPECT_TRUE(second.WaitForExit().has_value());
  Settle(main_);
  EXPECT_FALSE(IsWindowVisible(main_));
}

TEST_F(LifecycleE2E, IconDoubleClickShowsAndHideHides) {
  Start("ShowSystemTray=True\r\n");
  SendAndWait(main_, ids::kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(main_)) << "a single click does nothing";
  PostMessageA(main_, ids::kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitVisible(main_, true));
  PostMessageA(main_, WM_COMMAND, ids::kMnuHide, 0);
  ASSERT_TRUE(WaitVisible(main_, false));
  EXPECT_NE(ReadFileText(DataFile("Halcyra.ini")).find("ShowSystemTray=True"), std::string::npos)
      << "Hide saves nothing";
}

// The icon's menu, its items chosen with the keyboard as a user does: each does what its caption
// says. The icon's fourth version asks for the menu with WM_CONTEXTMENU and the anchor.
TEST_F(LifecycleE2E, EachItemOfTheIconsMenuDoesWhatItsCaptionSays) {
  Start("ShowSystemTray=True\r\n");
  // The keys go to the menu's window, whose loop reads them from the program's queue.
  const auto choose = [this](const std::vector<WPARAM>& keys) {
    PostMessageA(main_, ids::kTrayCallbackMessage, MAKEWPARAM(300, 300),
                 MAKELPARAM(WM_CONTEXTMENU, 1));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&menu] {
          menu = FindWindowA("#32768", nullptr);
          return menu && IsWindowVisible(menu);
        },
        5s));
    for (const WPARAM key : keys) {
      PostMessageA(menu, WM_KEYDOWN, key, 1);
      PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
  };
  choose({VK_DOWN});
  ASSERT_TRUE(WaitVisible(main_, true)) << "Show main window";
  ClickDialogButton(main_, ids::kCancel);
  ASSERT_TRUE(WaitVisible(main_, false));

  choose({VK_DOWN, VK_DOWN});
  HWND once = FindWindowOf(*app_, "TFrmOnce", "One-off action");
  ASSERT_NE(once, nullptr) << "One-off action...";
  ClickDialogButton(once, once_ids::kCancel);
  ASSERT_TRUE(WaitVisible(once, false));

  choose({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
  ASSERT_TRUE(WaitUntil([] { return FindWindowA("HH Parent", nullptr) != nullptr; }, 15s))
      << "Help";
  PostMessageA(FindWindowA("HH Parent", nullptr), WM_CLOSE, 0, 0);
  // Gone before the next test, whose menus and windows it could stand in front of.
  EXPECT_TRUE(WaitUntil([] { return !FindWindowA("HH Parent", nullptr); }, 5s));

  ASSERT_TRUE(IsChecked(Control(main_, ids::kChkSystemTray)));
  choose({VK_DOWN, VK_DOWN, VK_DOWN});
  EXPECT_TRUE(WaitUntil([this] { return !IsChecked(Control(main_, ids::kChkSystemTray)); }, 5s))
      << "Hide takes the icon away";
  EXPECT_TRUE(app_->Running());

  choose({VK_UP});
  EXPECT_TRUE(app_->WaitForExit().has_value()) << "Exit, the last item";
}

TEST_F(LifecycleE2E, ExitEndsTheProgramAfterThePassword) {
  Start(Protected());
  PostMessageA(main_, WM_COMMAND, ids::kMnuExit, 0);
  HWND prompt = Prompt();
  ASSERT_NE(prompt, nullptr);
  ClickDialogButton(prompt, pids::kCancel);
  EXPECT_FALSE(app_->WaitForExit(300ms).has_value()) << "cancelled: the program goes on";

  PostMessageA(main_, WM_COMMAND, ids::kMnuExit, 0);
  prompt = Prompt();
  ASSERT_NE(prompt, nullptr);
  SetText(Control(prompt, pids::kEdtPwd), "secret");
  ClickDialogButton(prompt, pids::kOk);
  const auto code = app_->WaitForExit();
  ASSERT_TRUE(code.has_value()) << "Exit ends the program";
  EXPECT_EQ(*code, 0u);
}

TEST_F(LifecycleE2E, EndOfTheSessionHidesAndAgrees) {
  Start("");
  {
    AppProcess second;
    second.WaitForExit();
  }
  ASSERT_TRUE(WaitVisible(main_, true));
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(main_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_TRUE(WaitVisible(main_, false));
  EXPECT_TRUE(app_->Running());
}

// Windows Installer asks a running program to close through the Restart Manager before it
// replaces its files: the session-end messages with ENDSESSION_CLOSEAPP.
// It registered for the restart that brings it back after the upgrade.
TEST_F(LifecycleE2E, AConfirmedSessionEndEndsTheProgramWithoutThePassword) {
  RemoveFile(DataFile("Lifecycle.txt"));
  Start(Protected());
  EXPECT_EQ(SendAndWait(main_, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
  PostMessageA(main_, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
  EXPECT_TRUE(app_->WaitForExit(5s).has_value()) << "ended, and no prompt held it up";
  EXPECT_EQ(ReadFileText(DataFile("Lifecycle.txt")),
            "RegisterApplicationRestart 0xB\r\nWM_ENDSESSION 0x1\r\n");
}

}  // namespace
}  // namespace halcyra::e2e
