// How the program behaves among the desktop's windows: message boxes modal to their window,
// one password prompt at a time, Enter captured in the hotkey fields, the notification icon.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;

// Whether the shell holds the program's icon: only an icon that exists can be modified.
bool TrayIconPresent(HWND main) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = main;
  data.uID = 1;
  data.uFlags = NIF_TIP;
  lstrcpynA(data.szTip, "Halcyra", 64);
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

class DesktopE2E : public testing::Test {
 protected:
  HWND Start(const std::string& settings, const std::string& password = "") {
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n" + settings);
    app_.emplace();
    return ShowMainWindow(*app_, password);
  }
  std::optional<AppProcess> app_;
};

TEST_F(DesktopE2E, AMessageBoxKeepsItsWindowFromTakingInput) {
  HWND main = Start("[Timer]\r\nlate=enabled,Shutdown,23:00,Daily\r\n");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 2), 2);
  ClickDialogButton(main, ids::kBtnAdd);
  HWND editor = FindWindowOf(*app_, "TFrmTimer", "Timer settings");
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(WaitVisible(editor, true));
  SetText(Control(editor, timer_ids::kEdtTitle), "late");
  ClickDialogButton(editor, timer_ids::kOk);
  HWND box = FindMessageBox(*app_);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), editor) << "owned by the window that raised it";
  EXPECT_TRUE(GetWindowLongA(editor, GWL_STYLE) & WS_DISABLED) << "which takes no input";
  ClickWithMouse(Control(editor, timer_ids::kOk));  // behind the box
  Settle(editor);
  EXPECT_EQ(CountWindows(*app_, "#32770"), 1) << "the handler did not run a second time";
  ClickDialogButton(box, IDOK);
  ASSERT_TRUE(WaitVisible(box, false));
  EXPECT_FALSE(GetWindowLongA(editor, GWL_STYLE) & WS_DISABLED);
  // The same mouse reaches the dialog once the box is gone: the click above hit its button.
  ClickWithMouse(Control(editor, timer_ids::kCancel));
  EXPECT_TRUE(WaitVisible(editor, false));
}

TEST_F(DesktopE2E, ADoubleClickWhileThePromptIsOpenLeavesOnePrompt) {
  HWND main = Start(
      "ShowSystemTray=True\r\n[Password]\r\nEnabled=True\r\nPassword="
      "5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n",
      "secret");
  ASSERT_NE(main, nullptr);
  ClickDialogButton(main, ids::kCancel);
  ASSERT_TRUE(WaitVisible(main, false));
  PostMessageA(main, ids::kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
  HWND prompt = FindWindowOf(*app_, "TFrmPwd", "Please enter the password");
  ASSERT_NE(prompt, nullptr);
  ASSERT_TRUE(WaitVisible(prompt, true));
  PostMessageA(main, ids::kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
  PostMessageA(main, WM_COMMAND, ids::kMnuExit, 0);
  Settle(prompt);
  EXPECT_EQ(CountWindows(*app_, "TFrmPwd"), 1);
  SetText(Control(prompt, password_ids::kEdtPwd), "secret");
  ClickDialogButton(prompt, password_ids::kOk);
  EXPECT_TRUE(WaitVisible(main, true));
  EXPECT_TRUE(app_->Running()) << "the Exit behind the prompt was not carried out";
}

TEST_F(DesktopE2E, EnterAndEscapeInAHotkeyFieldAreCapturedNotOkOrCancel) {
  HWND main = Start("");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 1), 1);
  HWND field = Control(main, ids::kEdtPowerdown);
  PostMessageA(field, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Settle(main);
  // Each key goes to the field's capture, which makes a shortcut of letters, digits and F-keys
  // only: Enter and Escape replace what was there and leave nothing.
  for (const char* key : {"Return", "Escape"}) {
    PressKeys("ctrl+shift+r");
    ASSERT_EQ(WindowText(field), "Ctrl+Shift+R");
    PressKeys(key);
    EXPECT_TRUE(IsWindowVisible(main)) << key << " pressed neither OK nor Cancel";
    EXPECT_EQ(WindowText(field), "") << key << " went to the field";
  }
}

TEST_F(DesktopE2E, TheIconIsThereAfterTheStartAndAfterTheShellComesBack) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nShowSystemTray=True\r\n");
  app_.emplace();
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([main] { return TrayIconPresent(main); }, 5s));
  // A restarted shell has no icons and says "TaskbarCreated" to every window.
  NOTIFYICONDATAA gone{};
  gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
  gone.hWnd = main;
  gone.uID = 1;
  Shell_NotifyIconA(NIM_DELETE, &gone);
  ASSERT_FALSE(TrayIconPresent(main));
  SendAndWait(main, RegisterWindowMessageA("TaskbarCreated"));
  EXPECT_TRUE(WaitUntil([main] { return TrayIconPresent(main); }, 5s));
}

// The icon's messages of its fourth version: the event and the icon's id in the second
// parameter, the anchor in the first.
void PostIconEvent(HWND main, UINT event, int x, int y) {
  PostMessageA(main, ids::kTrayCallbackMessage, MAKEWPARAM(x, y), MAKELPARAM(event, 1));
}

TEST_F(DesktopE2E, TheIconMenuOpensAtTheAnchorFromTheKeyboardAndTheRightButtonsRelease) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nShowSystemTray=True\r\n");
  app_.emplace();
  HWND main = FindWindowOf(*app_, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  auto openedAt = [this](POINT expected) {
    HWND menu = FindWindowOf(*app_, "#32768", "", 5s);
    if (!menu || !WaitVisible(menu, true)) return static_cast<HWND>(nullptr);
    RECT place{};
    GetWindowRect(menu, &place);
    EXPECT_EQ(place.left, expected.x);
    EXPECT_EQ(place.top, expected.y);
    return menu;
  };

  // Enter at the icon: the shell gives the icon's place as the anchor.
  PostIconEvent(main, NIN_KEYSELECT, 300, 200);
  HWND menu = openedAt({300, 200});
  ASSERT_NE(menu, nullptr);
  PostMessageA(main, WM_CANCELMODE, 0, 0);
  ASSERT_TRUE(WaitVisible(menu, false));

  // The right button's press opens nothing; its release asks for the menu at the pointer.
  PostIconEvent(main, WM_RBUTTONDOWN, 120, 90);
  PostIconEvent(main, WM_CONTEXTMENU, 420, 310);
  menu = openedAt({420, 310});
  ASSERT_NE(menu, nullptr);
  PostMessageA(main, WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(WaitVisible(menu, false));
}

}  // namespace
}  // namespace halcyra::e2e
