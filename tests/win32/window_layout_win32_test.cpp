// The sizes of the program's windows against the texts they must show, with Wine's fonts.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>

#include "actions/countdown_window_ids.h"
#include "actions/countdown_window_win.h"
#include "actions/event_words.h"
#include "lang/texts_win.h"
#include "one_off/once_window_ids.h"
#include "one_off/once_window_win.h"
#include "platform/portable/portable_text_files.h"
#include "platform/win32/utf8_win.h"
#include "schedule/timer_editor_win.h"
#include "schedule/timer_page_win.h"
#include "support/fakes.h"
#include "support/layout_check_win.h"
#include "toolkit/dpi_win.h"
#include "toolkit/window_win.h"
#include "ui/password_prompt_win.h"
#include "ui/settings_pages_win.h"
#include "win32/window_fakes.h"
#include "wizard/wizard_window_win.h"

namespace halcyra {
namespace {

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The longest count, a day, for every action: one line, whole, inside the window.
TEST(CountdownWindowLayout, ItsLabelShowsTheLongestTextOfEveryActionOnOneLine) {
  test::FakeApp fake;
  test::FakeCountdownServices countdown(fake);
  CountdownWindow window(countdown.form, nullptr);

  const HWND label = GetDlgItem(window.Handle(), countdown_ids::kLblNotify);
  const RECT place = ClientRectOf(label);
  RECT client;
  GetClientRect(window.Handle(), &client);
  EXPECT_GE(place.left, client.left);
  EXPECT_LE(place.right, client.right);
  const HDC dc = GetDC(label);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  for (const EventWordMeaning& meaning : kEventWords) {
    const std::string text = CountdownText(meaning.word, kLongestCountdown);
    RECT needed{0, 0, place.right - place.left, 0};
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    EXPECT_LE(needed.right, place.right - place.left) << text;
    EXPECT_LE(needed.bottom, metrics.tmHeight) << text << ": one line";
  }
  ReleaseDC(label, dc);
}

// What the Timer page needs of its window, the main window's or the wizard's.
struct TimerPageForm {
  Label Label8;
  ListView LvwTimer;
  Button BtnAdd, BtnEdit, BtnDelete;
  Label LblManagedTimers;
  void BtnAddClick() {}
  void BtnEditClick() {}
  void BtnDeleteClick() {}
  void LvwTimerDblClick() {}
};

// Every caption and cell whole (a title too long for any room aside), side by side within the
// list: no horizontal scroll bar.
void ExpectColumnsFit(HWND list, const ListView& rows, bool titleCut = false) {
  SCOPED_TRACE(rows.rows.size());
  const int margin = ScaleToDpi(12, WindowDpi(list));
  const auto width = [list](const std::string& text) {
    return static_cast<int>(
        SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  RECT client;
  GetClientRect(list, &client);
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  ASSERT_EQ(columns, 5);
  int total = 0;
  for (int i = 0; i < columns; ++i) {
    char caption[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = caption;
    column.cchTextMax = sizeof caption;
    SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    EXPECT_LE(width(caption) + margin, column.cx) << caption;
    for (const ListRow& row : rows.rows) {
      const std::string& cell = i == 0 ? row.caption : row.subItems[i - 1];
      if (i > 0 || !titleCut) {
        EXPECT_LE(width(cell) + margin, column.cx) << cell;
      }
    }
    total += column.cx;
  }
  EXPECT_LE(total, client.right - client.left);
  EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
}

TEST(TimerListLayout, ColumnsFitTheirCaptionsAndCellsWithinTheList) {
  const HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 480, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  TimerPageForm form;
  ControlBinder binder(parent, WindowDpi(parent));
  AddTimerPageControls(binder, form, {1, 2, 3, 4, 5, 6});
  const HWND list = GetDlgItem(parent, 2);
  ExpectColumnsFit(list, form.LvwTimer);

  form.LvwTimer.rows = {{"Night", {"Enabled", "Power off", "23:30", "Wednesday"}, false},
                        {"Backup", {"Disabled", "Hibernate", "07:05", "Weekday"}, false}};
  binder.Sync();
  ExpectColumnsFit(list, form.LvwTimer);

  form.LvwTimer.rows.push_back(
      {std::string(200, 'W'), {"Enabled", "Shutdown", "12:00", "Saturday"}, false});
  binder.Sync();
  ExpectColumnsFit(list, form.LvwTimer, true);
  DestroyWindow(parent);
}

HFONT OwnFont(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

// The English left among a window's captions; its edits and lists hold the user's data.
std::vector<std::string> EnglishCaptions(HWND window, int skippedId) {
  std::vector<std::string> left;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string name = test::ClassOf(child), text = test::TextOf(child);
    if ((name == "Static" || name == "Button") && GetDlgCtrlID(child) != skippedId &&
        test::HasPlainWord(text))
      left.push_back(text);
    // A list's column captions are captions too.
    const HWND header = name == "SysListView32" ? ListView_GetHeader(child) : nullptr;
    for (int i = 0; header && i < Header_GetItemCount(header); ++i) {
      wchar_t caption[128] = {};
      HDITEMW item{};
      item.mask = HDI_TEXT;
      item.pszText = caption;
      item.cchTextMax = static_cast<int>(std::size(caption));
      SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      if (test::HasPlainWord(Utf8(caption))) left.push_back(Utf8(caption));
    }
  }
  return left;
}

struct LayoutLanguage {
  const char* name;
  LANGID id;
};

// The windows in one language, made after the language is chosen, as the program makes them.
class LanguageLayout : public testing::TestWithParam<LayoutLanguage> {
 protected:
  LanguageLayout() {
    UseInterfaceLanguage(GetParam().id);
    ApplyInterfaceLayout();
  }
  ~LanguageLayout() override {
    UseInterfaceLanguage(before_);
    ApplyInterfaceLayout();
  }
  bool Pseudo() const { return id_ == kPseudoLocale || id_ == kMirroredPseudoLocale; }

  const LANGID before_ = GetThreadUILanguage();
  const LANGID id_ = GetParam().id;
};

// Windows tells a window that moved to a monitor of another DPI, and suggests where it goes:
// the window lays itself out anew there, every control inside and every caption whole, in every
// language the program speaks and in the pseudo-locales, which are longer than any.
TEST_P(LanguageLayout, WindowsLayThemselvesOutAgainAtTheDpiOfTheirNewMonitor) {
  test::FakePageServices page;
  // The shared pages, on a client area of the main window's size.
  const HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 457, 305, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  test::PageForm pages(page.services);
  ControlBinder binder(parent, kDesignDpi);
  int label = 100;
  AddSettingsPageControls(binder, pages, {0, 1, 2, 3, 4, 5}, 0, label);
  binder.SetGroup(6);
  AddTimerPageControls(binder, pages, {label, 6, 7, 8, 9, 10});
  // As a policy shows them: each page's line that some settings are managed.
  for (Label* managed : {&pages.LblManagedGeneral, &pages.LblManagedHotkeys, &pages.LblManagedLog,
                         &pages.LblManagedTimers})
    managed->caption = Tr(kManagedSettingsLine);
  binder.Sync();
  // As the main window does once its controls are made.
  binder.FitTexts();
  ShowWindow(parent, SW_SHOWNA);

  test::NoTimerList list;
  TFrmTimer editor(page.fake.app, list);
  TimerEditorWindow editorWindow(editor, nullptr);
  TFrmPwd prompt(page.fake.app);
  PasswordPromptWindow promptWindow(prompt, nullptr);
  test::FakeCountdownServices countdown(page.fake);
  CountdownWindow countdownWindow(countdown.form, nullptr);
  WizardWindow wizard(page.services);
  test::OnceFormOnFakes once(page.fake.app);
  OnceWindow onceWindow(once.form, nullptr);
  once.form.FormShow();
  SetDlgItemTextA(onceWindow.Handle(), once_ids::kLblPending,
                  "Hibernate when the computer is quiet for 10080 minutes (10080 of 10080 quiet "
                  "minutes; processor 100 %, network 99999 KB/s), at 23:30 at the latest");
  const HWND windows[] = {editorWindow.Handle(), promptWindow.Handle(), countdownWindow.Handle(),
                          wizard.Handle(), onceWindow.Handle()};

  for (const int dpi : {144, 192, kDesignDpi}) {
    SCOPED_TRACE(dpi);
    binder.SetDpi(dpi);
    // As the main window does: as much wider as the captions need.
    SetWindowPos(parent, nullptr, 0, 0,
                 static_cast<int>(std::lround(ScaleToDpi(457, dpi) * binder.Stretch())),
                 ScaleToDpi(305, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int group = 0; group <= 6; ++group) {
      binder.ShowGroup(group);
      binder.Sync();
      EXPECT_EQ(test::LayoutFaults(parent, dpi, OwnFont), std::vector<std::string>{}) << group;
      if (Pseudo()) {
        EXPECT_EQ(EnglishCaptions(parent, 0), std::vector<std::string>{});
      }
    }
    for (const HWND window : windows) {
      RECT suggested{40, 30, 50, 40};
      SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
      ShowWindow(window, SW_SHOWNA);
      char title[64] = {};
      GetWindowTextA(window, title, sizeof title);
      EXPECT_EQ(test::LayoutFaults(window, dpi, OwnFont), std::vector<std::string>{}) << title;
      if (Pseudo()) {
        EXPECT_EQ(EnglishCaptions(window, once_ids::kLblPending), std::vector<std::string>{});
      }
      RECT client;
      GetClientRect(window, &client);
      EXPECT_LE(client.right, ScaleToDpi(1000, dpi)) << title << ": widened beyond a screen";
      EXPECT_EQ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0,
                id_ == kMirroredPseudoLocale)
          << title << ": mirrored only where the language reads right to left";
      RECT frame;
      GetWindowRect(window, &frame);
      EXPECT_EQ(frame.left, 40) << title << ": where Windows suggested";
      EXPECT_EQ(frame.top, 30) << title;
    }
    // Wine keeps a window's frame at the system's DPI, which makes the client area a little
    // larger than the one it was sized for: at least that one, then.
    RECT client;
    GetClientRect(promptWindow.Handle(), &client);
    EXPECT_GE(client.right, ScaleToDpi(263, dpi));
    EXPECT_GE(client.bottom, ScaleToDpi(108, dpi));
  }
  DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LanguageLayout,
    testing::Values(LayoutLanguage{"English", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
                    LayoutLanguage{"German", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
                    LayoutLanguage{"French", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
                    LayoutLanguage{"Spanish", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN)},
                    LayoutLanguage{"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)},
                    LayoutLanguage{"PseudoLocale", kPseudoLocale},
                    LayoutLanguage{"MirroredPseudoLocale", kMirroredPseudoLocale}),
    [](const testing::TestParamInfo<LayoutLanguage>& param) { return param.param.name; });

}  // namespace
}  // namespace halcyra
