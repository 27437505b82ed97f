// Start-up of the built program under Wine: the missing settings file, the first start, the
// ordinary start and the hand-over of a second start.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <thread>

#include "driver/driver_win.h"
#include "platform/win32/handle_win.h"
#include "wizard/wizard_ids.h"

namespace halcyra::e2e {
namespace {

const char* const kRecord = "[general]\r\nFirstStartDone=True\r\n";

// Whether the process has loaded the library of that (lower-case) name.
bool HasLoaded(const AppProcess& app, const std::wstring& library) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, app.Id()));
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  for (BOOL more = snapshot && Module32FirstW(snapshot.Get(), &module); more;
       more = Module32NextW(snapshot.Get(), &module)) {
    std::wstring name = module.szModule;
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    if (name == library) return true;
  }
  return false;
}

class StartupE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    WriteFileText(Settings(), "");
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
};

TEST_F(StartupE2E, MissingSettingsFileIsAnErrorBoxAndTheProcessEnds) {
  RemoveFile(Settings());
  AppProcess app;
  HWND box = FindMessageBox(app);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "Halcyra");
  EXPECT_EQ(MessageBoxText(box),
            "The setting file of Halcyra is missing, please uninstall Halcyra and re-install it.");
  EXPECT_TRUE(app.Running()) << "the process waits for the answer";
  EXPECT_EQ(FindWindowOf(app, "TFrmMain", "Halcyra", 0ms), nullptr);
  ClickDialogButton(box, IDOK);
  const auto code = app.WaitForExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_NE(*code, 0u);
  EXPECT_FALSE(FileExists(Settings())) << "the program never creates the settings file";
}

TEST_F(StartupE2E, FirstStartWritesItsRecordRunsTheWizardAndShowsTheWindowTheNextStartDoesNot) {
  {
    AppProcess app;
    HWND wizard = FindWindowOf(app, "TForm1", "Wizard of Halcyra");
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WaitVisible(wizard, true));
    {
      AppProcess second;
      EXPECT_TRUE(second.WaitForExit().has_value()) << "a second start ends silently";
    }
    EXPECT_EQ(FindWindowOf(app, "TFrmMain", "Halcyra", 0ms), nullptr) << "no main window yet";
    ClickDialogButton(wizard, wizard_ids::kBtnCancel);
    HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitVisible(main, true));
    const std::string content = ReadFileText(Settings());
    EXPECT_NE(content.find("FirstStartDone=True"), std::string::npos) << content;
    EXPECT_NE(content.find("AppPath=" + AppProcess::ExePath("Halcyra-e2e.exe")), std::string::npos)
        << content;
  }
  AppProcess again;
  HWND main = FindWindowOf(again, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  Settle(main);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_EQ(FindMessageBox(again, 0ms), nullptr);
}

TEST_F(StartupE2E, SecondStartShowsTheRunningWindowAndEnds) {
  WriteFileText(Settings(), kRecord);
  AppProcess first;
  HWND main = FindWindowOf(first, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  Settle(main);
  ASSERT_FALSE(IsWindowVisible(main));
  // Hidden in the notification area the program holds no controls, nor the common controls'
  // library, which costs a waiting program more memory than all else it holds.
  EXPECT_FALSE(HasLoaded(first, L"comctl32.dll"));

  AppProcess second;
  const auto code = second.WaitForExit();
  ASSERT_TRUE(code.has_value()) << "the second start ends by itself";
  EXPECT_EQ(*code, 0u);
  EXPECT_TRUE(IsWindowVisible(main)) << "shown before the second start returned";
  EXPECT_NE(FindWindowExA(main, nullptr, "SysTabControl32", nullptr), nullptr) << "the pages";
  EXPECT_TRUE(HasLoaded(first, L"comctl32.dll"));
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(FindWindowOf(second, "TFrmMain", "Halcyra", 0ms), nullptr);
}

TEST_F(StartupE2E, ClosingTheWindowOnlyHidesIt) {
  WriteFileText(Settings(), kRecord);
  AppProcess app;
  HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr);
  {
    AppProcess second;
    second.WaitForExit();
  }
  ASSERT_TRUE(WaitVisible(main, true));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitVisible(main, false));
  EXPECT_FALSE(app.WaitForExit(200ms).has_value());
}

TEST_F(StartupE2E, UnwritableSettingsAtFirstStartAsksForModifyAccessThenEnds) {
  FileLock lock(Settings());
  ASSERT_TRUE(lock.Held());
  AppProcess app;
  EXPECT_EQ(AnswerMessageBox(app, IDOK),
            (BoxSaid{"Halcyra", "You must be given \"modify\" access to the folder: \"" +
                                    DataFolder() + "\"."}));
  // Start-up goes on to AppPath, whose refusal nobody catches: its text, then the end.
  EXPECT_EQ(AnswerMessageBox(app, IDOK).text, "Unable to write to " + Settings());
  const auto code = app.WaitForExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_NE(*code, 0u);
  EXPECT_EQ(FindWindowOf(app, "TFrmMain", "Halcyra", 0ms), nullptr);
}

}  // namespace
}  // namespace halcyra::e2e
