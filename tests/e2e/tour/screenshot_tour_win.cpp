// Takes a picture of every window of the end-to-end build, with one data set that looks like a
// computer in use, into the folder named by HALCYRA_SCREENSHOTS. scripts/screenshots.sh runs it
// once at each screen DPI; a window that does not appear fails the tour.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "actions/countdown_window_ids.h"
#include "driver/driver_win.h"
#include "one_off/once_window_ids.h"
#include "platform/win32/utf8_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_ids.h"
#include "wizard/wizard_ids.h"

namespace halcyra::e2e {
namespace {

// Several timers of each kind, every option in use, the password "secret".
const char* const kDataSet =
    "Duration=30\r\nShowSystemTray=True\r\nEnableAbort=True\r\nPreventTimeChange=False\r\n"
    "[Hotkeys]\r\nPowerdown=Ctrl+Shift+Alt+P\r\nShutdown=Ctrl+Shift+Alt+S\r\n"
    "Reboot=Ctrl+Shift+Alt+R\r\nHibernate=Ctrl+Shift+Alt+H\r\nSuspend=Ctrl+Shift+Alt+U\r\n"
    "Logoff=Ctrl+Shift+Alt+L\r\n"
    "[Sound]\r\nEnabled=True\r\nSoundPath=C:\\Windows\\Media\\Alarm01.wav\r\nLoop=True\r\n"
    "SetVolume=True\r\nVolume=45000\r\n"
    "[CleanUp]\r\nRecycleBin=True\r\nTempFolder=True\r\nIEcache=True\r\nIEcookie=False\r\n"
    "IEhistory=False\r\nIEAutoComplete=False\r\nRecentDocument=True\r\n"
    "[Password]\r\nEnabled=True\r\nPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n"
    "[Log]\r\nEnabled=True\r\n"
    "[Timer]\r\n"
    "Night=enabled,Power off,23:30,Daily\r\n"
    "Kids' PC=enabled,Shutdown,21:00,Weekday\r\n"
    "Weekend=enabled,Shutdown,23:45,Saturday\r\n"
    "Lunch break=enabled,Suspend,12:30,Weekday\r\n"
    "Updates=enabled,Reboot,03:00,Sunday\r\n"
    "Backup done=enabled,Hibernate,01:15,Once\r\n"
    "Late film=disabled,Power off,00:30,Friday\r\n"
    "Evening=enabled,Log off,22:00,Daily\r\n";

const char* const kLog =
    "2026-03-02 23:30:05    Power off\r\n2026-03-03 12:30:04    Suspend\r\n"
    "2026-03-03 23:30:05    Power off\r\n";

bool EnglishShown() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH; }

// The pictures carry the language and the DPI in their names beyond the usual English at 96.
std::string Picture(const std::string& name) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  wchar_t language[LOCALE_NAME_MAX_LENGTH] = {};
  GetLocaleInfoW(GetUserDefaultUILanguage(), LOCALE_SISO639LANGNAME, language,
                 LOCALE_NAME_MAX_LENGTH);
  const char* folder = std::getenv("HALCYRA_SCREENSHOTS");
  return std::string(folder ? folder : ".") + "\\" + name +
         (EnglishShown() ? "" : "-" + Utf8(language)) +
         (dpi == 96 ? "" : "-" + std::to_string(dpi) + "dpi") + ".bmp";
}

// No pointer over a control: a hover state is no part of a window's picture.
void Take(HWND window, const std::string& name) {
  MovePointer(0, 0);
  Settle(window);
  ASSERT_TRUE(SaveWindowBitmap(window, Picture(name))) << name;
}

// A one-off request's countdown with a count under way, not the text the window is designed
// with; aborted after the picture.
void TakeCountdown(const AppProcess& app) {
  ASSERT_EQ(
      RunCommand("\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" /do \"Power off\" /in 0"),
      0u);
  HWND notify = FindWindowOf(app, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  ASSERT_TRUE(WaitUntil(
      [notify] {
        return WideWindowText(Control(notify, countdown_ids::kLblNotify)).find(L" 2") !=
               std::wstring::npos;
      },
      10s));
  Take(notify, "countdown");
  ClickDialogButton(notify, countdown_ids::kBtnAbort);
  ASSERT_TRUE(WaitVisible(notify, false));
}

void WriteSettings(bool firstStart) {
  WriteFileText(
      DataFile("Halcyra.ini"),
      std::string("[general]\r\n") + (firstStart ? "" : "FirstStartDone=True\r\n") + kDataSet);
  WriteFileText(DataFile("Log.txt"), kLog);
  RemoveFile(DataFile("Effects.txt"));
}

TEST(Tour, MainWindowPasswordPromptEditorAndCountdown) {
  WriteSettings(false);
  AppProcess app;
  HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);

  // The prompt that a second start brings up, before it is answered.
  std::optional<AppProcess> second(std::in_place);
  HWND prompt = FindWindowOf(app, "TFrmPwd", "Please enter the password");
  ASSERT_NE(prompt, nullptr);
  ASSERT_TRUE(WaitVisible(prompt, true));
  SetText(Control(prompt, password_ids::kEdtPwd), "secret");
  Take(prompt, "password-prompt");
  ClickDialogButton(prompt, password_ids::kOk);
  ASSERT_TRUE(WaitVisible(main, true));
  second->WaitForExit();
  second.reset();

  const char* pages[] = {"general", "hotkeys",  "timer", "sound",
                         "cleanup", "password", "log",   "about"};
  for (int page = 0; page < 8; ++page) {
    ASSERT_EQ(SelectTab(Control(main, main_ids::kPageControl), page), page);
    Take(main, std::string("main-") + pages[page]);
  }

  ASSERT_EQ(SelectTab(Control(main, main_ids::kPageControl), 2), 2);
  SelectListRow(Control(main, main_ids::kLvwTimer), 1);
  ClickDialogButton(main, main_ids::kBtnEdit);
  HWND editor = FindWindowOf(app, "TFrmTimer", "Timer settings");
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(WaitVisible(editor, true));
  Take(editor, "timer-editor");
  ClickDialogButton(editor, timer_ids::kCancel);
  ASSERT_TRUE(WaitVisible(editor, false));

  // The tray program's countdown for a one-off request, Abort on; aborted after the picture.
  TakeCountdown(app);
  // The icon's balloon is journalled; no action is.
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")).find("ExitWindowsEx"), std::string::npos)
      << "aborted: nothing happened";

  // The icon's menu, opened from the keyboard at the place where the shell puts the icon.
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.right - 200, y = work.bottom - 120;
  PostMessageA(main, main_ids::kTrayCallbackMessage, MAKEWPARAM(x, y),
               MAKELPARAM(NIN_KEYSELECT, 1));
  HWND menu = FindWindowOf(app, "#32768", "", 5s);
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(WaitVisible(menu, true));
  Take(menu, "tray");
  PostMessageA(main, WM_CANCELMODE, 0, 0);
  WaitVisible(menu, false);

  // The one-off action window from that menu, behind the password, with a request pending.
  ASSERT_EQ(RunCommand("\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") +
                       "\" /do \"Power off\" /after-quiet 10 /latest 23:30"),
            0u);
  PostMessageA(main, WM_COMMAND, main_ids::kMnuOnce, 0);
  prompt = FindWindowOf(app, "TFrmPwd", "Please enter the password");
  ASSERT_NE(prompt, nullptr);
  ASSERT_TRUE(WaitVisible(prompt, true));
  SetText(Control(prompt, password_ids::kEdtPwd), "secret");
  ClickDialogButton(prompt, password_ids::kOk);
  HWND once = FindWindowOf(app, "TFrmOnce", "One-off action");
  ASSERT_NE(once, nullptr);
  ASSERT_TRUE(WaitVisible(once, true));
  SelectComboItem(once, once_ids::kCboEvent, 1);
  ClickDialogButton(once, once_ids::kRbnQuiet);
  ClickDialogButton(once, once_ids::kChkLatest);
  Take(once, "one-off-action");
  ClickDialogButton(once, once_ids::kCancel);
  WaitVisible(once, false);
}

TEST(Tour, FirstRunWizardPageByPage) {
  WriteSettings(true);
  AppProcess app;
  HWND wizard = FindWindowOf(app, "TForm1", "Wizard of Halcyra");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitVisible(wizard, true));
  const char* pages[] = {"timer", "general", "hotkeys", "sound", "cleanup", "password", "log"};
  for (int page = 0; page < 7; ++page) {
    if (page > 0) ClickDialogButton(wizard, wizard_ids::kBtnNext);
    Take(wizard, std::string("wizard-") + pages[page]);
  }
  app.Terminate();
}

// The main window's Timer page and the countdown in the user's language, for the README: run
// with LANG set to another language (scripts/screenshots.sh does so for German and Japanese).
TEST(Tour, TimerPageAndCountdownInTheUsersLanguage) {
  if (EnglishShown()) GTEST_SKIP() << "the English pictures come from the other tours";
  WriteSettings(false);
  AppProcess app;
  HWND main = ShowMainWindow(app, "secret");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, main_ids::kPageControl), 2), 2);
  Take(main, "main-timer");
  TakeCountdown(app);
}

}  // namespace
}  // namespace halcyra::e2e
