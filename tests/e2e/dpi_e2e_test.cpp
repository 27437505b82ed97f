// The program's windows at the screen resolutions users choose. Wine gives a program the DPI
// of its LogPixels value when it starts; this test process keeps the one it started with.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "actions/countdown_window_ids.h"
#include "driver/driver_win.h"
#include "platform/win32/handle_win.h"
#include "support/layout_check_win.h"
#include "toolkit/dpi_win.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_ids.h"
#include "wizard/wizard_ids.h"

namespace halcyra::e2e {
namespace {

// The screen's DPI for the programs started while it lives; the user's own value comes back.
class ScreenDpi {
 public:
  explicit ScreenDpi(int dpi) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
    key_.Reset(key);
    DWORD size = sizeof old_;
    hadValue_ = RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                                 &size) == ERROR_SUCCESS;
    const DWORD value = static_cast<DWORD>(dpi);
    set_ = RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
  }
  bool Set() const { return set_; }
  ~ScreenDpi() {
    if (hadValue_)
      RegSetValueExA(key_.Get(), kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof old_);
    else
      RegDeleteValueA(key_.Get(), kValue);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  static constexpr const char* kValue = "LogPixels";
  UniqueRegistryKey key_;
  DWORD old_ = 0;
  bool hadValue_ = false;
  bool set_ = false;
};

// A tab control whose tabs do not fit shows arrows to scroll them.
bool TabsScroll(HWND main) {
  const HWND arrows =
      FindWindowExA(Control(main, main_ids::kPageControl), nullptr, UPDOWN_CLASSA, nullptr);
  return arrows && IsWindowVisible(arrows);
}

class DpiE2E : public testing::TestWithParam<int> {
 protected:
  // Every control inside the window, every caption whole in the fonts the program draws with at
  // that DPI, and the window laid out for it (a button of 75 pixels at 96 DPI has its width
  // scaled).
  void ExpectFits(HWND window, const std::string& name, int buttonId, int dpi) {
    SCOPED_TRACE(name + " at " + std::to_string(dpi));
    Settle(window);
    const UniqueGdiObject<HFONT> font = DialogFont(dpi);
    const UniqueGdiObject<HFONT> countdownFont(
        CreateFontA(-ScaleToDpi(16, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                    "Microsoft Sans Serif"));
    const auto fontOf = [&](HWND control) {
      return countdown_ && GetDlgCtrlID(control) == countdown_ids::kLblNotify ? countdownFont.Get()
                                                                              : font.Get();
    };
    EXPECT_EQ(test::LayoutFaults(window, dpi, fontOf), std::vector<std::string>{});
    RECT button;
    GetWindowRect(Control(window, buttonId), &button);
    EXPECT_NEAR(button.right - button.left, ScaleToDpi(countdown_ ? 80 : 75, dpi), 1);
  }
  void ExpectFits(HWND window, const std::string& name, int buttonId) {
    ExpectFits(window, name, buttonId, dpi_);
  }

  const int dpi_ = GetParam();
  const ScreenDpi screen_{dpi_};
  bool countdown_ = false;
};

TEST_P(DpiE2E, EveryWindowHoldsItsControlsAndCaptionsWhole) {
  namespace ids = main_ids;
  ASSERT_TRUE(screen_.Set());
  WriteFileText(DataFile("Halcyra.ini"), "");
  {
    AppProcess app;
    HWND wizard = FindWindowOf(app, "TForm1", "Wizard of Halcyra");
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WaitVisible(wizard, true));
    for (const char* page :
         {"timer", "general", "hotkeys", "sound", "cleanup", "password", "log"}) {
      ExpectFits(wizard, std::string("wizard-") + page, wizard_ids::kBtnNext);
      ClickDialogButton(wizard, wizard_ids::kBtnNext);
    }
    HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitVisible(main, true));
    const char* pages[] = {"general", "hotkeys",  "timer", "sound",
                           "cleanup", "password", "log",   "about"};
    for (int page = 0; page < 8; ++page) {
      ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), page), page);
      ExpectFits(main, std::string("main-") + pages[page], ids::kOk);
    }
    EXPECT_FALSE(TabsScroll(main)) << "the eight tabs side by side";
    if (dpi_ == 96) {
      // Moved to a monitor of twice the DPI: laid out anew, the tabs still in one row.
      SendDpiChanged(main, 192);
      for (int page = 0; page < 8; ++page) {
        ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), page), page);
        ExpectFits(main, std::string("main-") + pages[page], ids::kOk, 192);
      }
      EXPECT_FALSE(TabsScroll(main));
    }
    ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), 2), 2);
    ClickDialogButton(main, ids::kBtnAdd);
    HWND editor = FindWindowOf(app, "TFrmTimer", "Timer settings");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(WaitVisible(editor, true));
    ExpectFits(editor, "timer-editor", IDOK);
    ClickDialogButton(editor, IDCANCEL);
  }

  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nDuration=60\r\nEnableAbort=True\r\n"
                "[Password]\r\nEnabled=True\r\nPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n");
  AppProcess app;
  ASSERT_NE(FindWindowOf(app, "TFrmMain", "Halcyra"), nullptr);
  {
    AppProcess second;
    HWND prompt = FindWindowOf(app, "TFrmPwd", "Please enter the password");
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(WaitVisible(prompt, true));
    ExpectFits(prompt, "password-prompt", IDOK);
    ClickDialogButton(prompt, IDCANCEL);
    EXPECT_TRUE(second.WaitForExit().has_value());
  }
  EXPECT_EQ(RunCommand("\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" /do Suspend /in 0"),
            0u);
  HWND notify = FindWindowOf(app, "TFrmNotify", "Halcyra");
  ASSERT_NE(notify, nullptr);
  ASSERT_TRUE(WaitVisible(notify, true));
  countdown_ = true;
  ExpectFits(notify, "countdown", countdown_ids::kBtnAbort);
  ClickDialogButton(notify, countdown_ids::kBtnAbort);
  EXPECT_TRUE(WaitVisible(notify, false));
}

INSTANTIATE_TEST_SUITE_P(Screens, DpiE2E, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<int>& param) {
                           return std::to_string(param.param) + "dpi";
                         });

}  // namespace
}  // namespace halcyra::e2e
