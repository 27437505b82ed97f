// Keyboard use of the built program under Wine: where the focus goes, the tab order of each
// window, and the page keys of the main window. Keys are pressed on the X display, as a user
// presses them.
#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"
#include "wizard/wizard_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
namespace tids = timer_ids;

constexpr int kHotkeysPage = 1, kTimerPage = 2, kPasswordPage = 5, kLogPage = 6;
// The window of the help viewer that opens "help.chm".
constexpr const char* kHelpWindowClass = "HH Parent";

class KeyboardE2E : public testing::Test {
 protected:
  HWND StartShown(const std::string& settings) {
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n" + settings);
    app_.emplace();
    return ShowMainWindow(*app_);
  }
  static std::vector<HWND> Controls(HWND window, std::initializer_list<int> idList) {
    std::vector<HWND> controls;
    for (int id : idList) controls.push_back(Control(window, id));
    return controls;
  }

  std::optional<AppProcess> app_;
};

// A window of the test's own that takes the activation away from the program.
struct OtherWindow {
  OtherWindow()
      : hwnd(CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr,
                             nullptr, nullptr, nullptr)) {}
  ~OtherWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

bool Foreground(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([window] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return GetForegroundWindow() == window;
  });
}

TEST_F(KeyboardE2E, FocusComesBackAfterAMessageBoxAndAfterAnotherWindow) {
  HWND main = StartShown("");
  ASSERT_NE(main, nullptr);
  HWND tabs = Control(main, ids::kPageControl);
  EXPECT_EQ(FocusedControl(main), tabs) << "the page tabs take the first focus";
  ASSERT_EQ(SelectTab(tabs, kLogPage), kLogPage);
  const HWND deleteLog = Control(main, ids::kCmdDeleteLog);
  ASSERT_EQ(FocusWalk(main, "Tab", 3).back(), deleteLog);

  PressKeys("space");
  HWND box = FindMessageBox(*app_);
  ASSERT_NE(box, nullptr);
  ClickDialogButton(box, IDNO);
  ASSERT_TRUE(WaitVisible(box, false));
  Settle(main);
  EXPECT_EQ(FocusedControl(main), deleteLog) << "after the message box";

  {
    OtherWindow other;
    ASSERT_TRUE(Foreground(other.hwnd));
    ASSERT_TRUE(Foreground(main));
  }
  Settle(main);
  EXPECT_EQ(FocusedControl(main), deleteLog) << "after another window was active";
}

TEST_F(KeyboardE2E, TabVisitsEachWindowInReadingOrderAndChangesNothing) {
  HWND main = StartShown(
      "[Hotkeys]\r\nPowerdown=F5\r\nShutdown=Ctrl+Alt+S\r\nReboot=F7\r\n"
      "[Timer]\r\nnight=enabled,Shutdown,22:30,Daily\r\n");
  ASSERT_NE(main, nullptr);
  HWND tabs = Control(main, ids::kPageControl);
  ASSERT_EQ(SelectTab(tabs, kHotkeysPage), kHotkeysPage);
  const std::vector<HWND> forward =
      Controls(main, {ids::kEdtPowerdown, ids::kEdtPowerdown + 1, ids::kEdtPowerdown + 2,
                      ids::kEdtPowerdown + 3, ids::kEdtPowerdown + 4, ids::kEdtLogoff, ids::kOk,
                      ids::kCancel, ids::kHelp, ids::kPageControl});
  EXPECT_EQ(FocusWalk(main, "Tab", 10), forward);
  const std::vector<HWND> backward(forward.rbegin() + 1, forward.rend());
  EXPECT_EQ(FocusWalk(main, "shift+Tab", 9), backward);
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown)), "F5");
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown + 1)), "Ctrl+Alt+S");
  EXPECT_EQ(WindowText(Control(main, ids::kEdtPowerdown + 2)), "F7");

  // The editor of a daily timer: the checked frequency is the group's one tab stop.
  ASSERT_EQ(SelectTab(tabs, kTimerPage), kTimerPage);
  SelectListRow(Control(main, ids::kLvwTimer), 0);
  ClickDialogButton(main, ids::kBtnEdit);
  HWND editor = FindWindowOf(*app_, "TFrmTimer", "Timer settings");
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(WaitVisible(editor, true));
  Settle(editor);
  EXPECT_EQ(FocusedControl(editor), Control(editor, tids::kEdtTitle));
  // The day list is disabled for a daily timer.
  EXPECT_EQ(
      FocusWalk(editor, "Tab", 8),
      Controls(editor, {tids::kChkEnabled, tids::kCboShutEvent, tids::kSpinHour, tids::kSpinMinute,
                        tids::kRbnDaily, tids::kOk, tids::kCancel, tids::kEdtTitle}));
  EXPECT_TRUE(IsChecked(Control(editor, tids::kRbnDaily)));
  EXPECT_FALSE(IsChecked(Control(editor, tids::kRbnOnce)));
  ClickDialogButton(editor, tids::kCancel);
  ASSERT_TRUE(WaitVisible(editor, false));
}

TEST_F(KeyboardE2E, WizardTabsThroughThePageThenBackNextCancel) {
  WriteFileText(DataFile("Halcyra.ini"), "");
  app_.emplace();
  HWND wizard = FindWindowOf(*app_, "TForm1", "Wizard of Halcyra");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitVisible(wizard, true));
  // The click leaves the focus on Next, as a mouse click does; the page is now General.
  ClickDialogButton(wizard, wizard_ids::kBtnNext);
  Settle(wizard);
  namespace w = wizard_ids;
  EXPECT_EQ(FocusWalk(wizard, "Tab", 7),
            Controls(wizard, {w::kBtnCancel, ids::kSpinDuration, ids::kChkSystemTray,
                              ids::kChkNoChangeTime, ids::kChkAbort, w::kBtnBack, w::kBtnNext}));
}

TEST_F(KeyboardE2E, CtrlTabChangesThePageUnderThePasswordRule) {
  HWND main = StartShown("");
  ASSERT_NE(main, nullptr);
  HWND tabs = Control(main, ids::kPageControl);
  PressKeys("ctrl+Tab");
  EXPECT_EQ(SelectedTab(tabs), kTimerPage + 1);
  PressKeys("ctrl+shift+Tab ctrl+Prior");
  EXPECT_EQ(SelectedTab(tabs), kTimerPage - 1);
  ASSERT_EQ(SelectTab(tabs, kPasswordPage), kPasswordPage);
  ClickDialogButton(main, ids::kChkPassword);  // protection on, blank fields
  Settle(main);
  PressKeys("ctrl+Next");
  EXPECT_EQ(AnswerMessageBox(*app_, IDOK).text,
            "The password and the password confirmation should not be blank.");
  EXPECT_EQ(SelectedTab(tabs), kPasswordPage);
}

// A hotkey field takes every function key before the window does: F1 is captured there and opens
// no help, while the page keys, which no hotkey text holds, still change the page.
TEST_F(KeyboardE2E, AHotkeyFieldCapturesF1AndCtrlTabStillChangesThePage) {
  HWND main = StartShown("");
  ASSERT_NE(main, nullptr);
  HWND tabs = Control(main, ids::kPageControl);
  ASSERT_EQ(SelectTab(tabs, kHotkeysPage), kHotkeysPage);
  HWND field = Control(main, ids::kEdtPowerdown);  // "Power off computer :"
  ASSERT_EQ(FocusWalk(main, "Tab", 1).back(), field);
  PressKeys("F1");
  EXPECT_EQ(WindowText(field), "F1");
  PressKeys("ctrl+Tab");
  EXPECT_EQ(SelectedTab(tabs), kHotkeysPage + 1);
  // Outside a field F1 is Help: its window, come after both presses, is the sign that the
  // field's F1 would have shown one too.
  PressKeys("F1");
  ASSERT_TRUE(WaitUntil([] { return FindWindowA(kHelpWindowClass, nullptr) != nullptr; }, 15s));
  std::this_thread::sleep_for(1s);
  int helpWindows = 0;
  for (HWND help = nullptr; (help = FindWindowExA(nullptr, help, kHelpWindowClass, nullptr));)
    ++helpWindows;
  EXPECT_EQ(helpWindows, 1) << "the field's F1 opened no help";
  PostMessageA(FindWindowA(kHelpWindowClass, nullptr), WM_CLOSE, 0, 0);
  // Gone before the next test, whose menus and windows it could stand in front of.
  EXPECT_TRUE(WaitUntil([] { return !FindWindowA(kHelpWindowClass, nullptr); }, 5s));
}

}  // namespace
}  // namespace halcyra::e2e
