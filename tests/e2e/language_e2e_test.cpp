// The program in the user's language. Wine takes a process's language from LANG when it starts
// and gives it to the processes that process starts, so the test command runs this test again
// with LANG=de_DE.UTF-8 and LANG=ja_JP.UTF-8; in any other language the program speaks English.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

struct Captions {
  std::wstring cancel, help;
};

Captions ExpectedInThisLanguage() {
  switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_GERMAN:
      return {L"Abbrechen", L"Hilfe"};
    case LANG_JAPANESE:
      return {L"キャンセル", L"ヘルプ"};
    default:
      return {L"Cancel", L"Help"};
  }
}

TEST(LanguageE2E, TheMainWindowSpeaksTheUsersLanguage) {
  WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
  AppProcess app;
  const HWND main = ShowMainWindow(app);
  ASSERT_NE(main, nullptr) << "found by its title, which stays the program's name";
  const Captions expected = ExpectedInThisLanguage();
  EXPECT_EQ(WideWindowText(Control(main, main_ids::kCancel)), expected.cancel);
  EXPECT_EQ(WideWindowText(Control(main, main_ids::kHelp)), expected.help);
}

}  // namespace
}  // namespace halcyra::e2e
