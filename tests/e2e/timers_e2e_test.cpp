// The Timer page of the built program under Wine: Add, Edit and Delete with the editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "driver/driver_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace mids = main_ids;
namespace tids = timer_ids;

class TimersE2E : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n[Timer]\r\n" + TimerLines());
    app_.emplace();
    main_ = ShowMainWindow(*app_);
    ASSERT_NE(main_, nullptr);
    list_ = Control(main_, mids::kLvwTimer);
  }
  virtual std::string TimerLines() const {
    return "late=enabled,Shutdown,23:00,Daily\r\nearly=disabled,Reboot,06:00,Friday\r\n";
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& row : ListViewRows(list_, 1)) titles.push_back(row[0]);
    return titles;
  }
  // Clicks a button of the Timer page and returns the editor it opens.
  HWND OpenEditor(int button) {
    ClickDialogButton(main_, button);
    HWND editor = FindWindowOf(*app_, "TFrmTimer", "Timer settings");
    if (editor) WaitVisible(editor, true);
    return editor;
  }

  std::optional<AppProcess> app_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(TimersE2E, ListShowsTheStoredTimersInTimeOrder) {
  const auto rows = ListViewRows(list_, 5);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"early", "Disabled", "Reboot", "06:00", "Friday"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"late", "Enabled", "Shutdown", "23:00", "Daily"}));
}

TEST_F(TimersE2E, AddWritesTheEntryAndTheRowTakesItsPlace) {
  HWND editor = OpenEditor(mids::kBtnAdd);
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "modal";
  EXPECT_EQ(WindowText(Control(editor, tids::kSpinMinute)), "00");
  EXPECT_TRUE(IsChecked(Control(editor, tids::kRbnDaily)));
  EXPECT_FALSE(IsWindowEnabled(Control(editor, tids::kCboWeekday)));
  SetText(Control(editor, tids::kEdtTitle), "noon");
  SetText(Control(editor, tids::kSpinHour), "12");
  SetText(Control(editor, tids::kSpinMinute), "5");
  SelectComboItem(editor, tids::kCboShutEvent, 1);
  ClickDialogButton(editor, tids::kRbnWeekday);
  ClickDialogButton(editor, tids::kOk);
  ASSERT_TRUE(WaitVisible(editor, false));
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_NE(ReadFileText(Settings()).find("noon=enabled,Power off,12:05,Weekday\r\n"),
            std::string::npos);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"early", "noon", "late"}));
}

// Edit stores the title as typed, also in another letter case, and a write that the file
// refuses (another program holds it) leaves [Timer] as it was.
TEST_F(TimersE2E, EditStoresTheTitleAsTypedOrChangesNothing) {
  SelectListRow(list_, 1);  // "late"
  HWND editor = OpenEditor(mids::kBtnEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(Control(editor, tids::kEdtTitle)), "late");
  EXPECT_EQ(WindowText(Control(editor, tids::kSpinHour)), "23");
  SetText(Control(editor, tids::kEdtTitle), "Late");
  SetText(Control(editor, tids::kSpinHour), "4");
  ClickDialogButton(editor, tids::kOk);
  ASSERT_TRUE(WaitVisible(editor, false));
  const std::string settings = ReadFileText(Settings());
  EXPECT_NE(settings.find("\r\nLate=enabled,Shutdown,04:00,Daily\r\n"), std::string::npos)
      << settings;
  EXPECT_LT(settings.find("early="), settings.find("Late=")) << "the edited timer goes last";
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Late", "early"}));

  {
    FileLock lock(Settings());
    ASSERT_TRUE(lock.Held());
    SelectListRow(list_, 1);  // "early"
    editor = OpenEditor(mids::kBtnEdit);
    ASSERT_NE(editor, nullptr);
    SetText(Control(editor, tids::kEdtTitle), "earlier");
    ClickDialogButton(editor, tids::kOk);
    const BoxSaid said = AnswerMessageBox(*app_, IDOK);
    EXPECT_EQ(said.text.rfind("Can not save settings.", 0), 0u) << said;
  }
  EXPECT_EQ(ReadFileText(Settings()), settings) << "byte for byte";
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Late", "early"}));
}

TEST_F(TimersE2E, DeleteAsksFirstThenRemovesTheTimer) {
  SelectListRow(list_, 0);  // "early"
  ClickDialogButton(main_, mids::kBtnDelete);
  EXPECT_EQ(AnswerMessageBox(*app_, IDNO),
            (BoxSaid{"Delete timer", "Do you really want to delete the selected timer?"}));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"early", "late"}));

  ClickDialogButton(main_, mids::kBtnDelete);
  ASSERT_NE(AnswerMessageBox(*app_, IDYES), BoxSaid{});
  WaitUntil([this] { return Titles().size() == 1; }, 2s);
  EXPECT_EQ(Titles(), std::vector<std::string>{"late"});
  EXPECT_EQ(ReadFileText(Settings()).find("early="), std::string::npos);
}

TEST_F(TimersE2E, DuplicateTitleIsRefusedAndTheEditorStaysOpen) {
  HWND editor = OpenEditor(mids::kBtnAdd);
  ASSERT_NE(editor, nullptr);
  SetText(Control(editor, tids::kEdtTitle), "late");
  ClickDialogButton(editor, tids::kOk);
  EXPECT_EQ(AnswerMessageBox(*app_, IDOK),
            (BoxSaid{"Error", "The same Timer tile already exists."}));
  EXPECT_TRUE(IsWindowVisible(editor));
  ClickDialogButton(editor, tids::kCancel);
  ASSERT_TRUE(WaitVisible(editor, false));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"early", "late"}));
}

// A title in the code page's accented letters ("\xE9t\xE9" is été in the Windows-1252 file,
// which this driver reads and writes controls in) goes from the file to the list and the
// editor, and back into the file, unchanged.
class AccentedTimerE2E : public TimersE2E {
 protected:
  std::string TimerLines() const override { return "\xE9t\xE9=enabled,Shutdown,23:00,Daily\r\n"; }
};

TEST_F(AccentedTimerE2E, ItsTitleSurvivesTheListTheEditorAndTheFile) {
  EXPECT_EQ(Titles(), std::vector<std::string>{"\xE9t\xE9"});
  SelectListRow(list_, 0);
  HWND editor = OpenEditor(mids::kBtnEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(Control(editor, tids::kEdtTitle)), "\xE9t\xE9");
  SetText(Control(editor, tids::kSpinHour), "4");
  ClickDialogButton(editor, tids::kOk);
  ASSERT_TRUE(WaitVisible(editor, false));
  const std::string settings = ReadFileText(Settings());
  const std::size_t timer = settings.find("[Timer]\r\n");
  ASSERT_NE(timer, std::string::npos) << settings;
  const std::size_t next = settings.find("\r\n[", timer);
  EXPECT_EQ(settings.substr(timer, next == std::string::npos ? next : next + 2 - timer),
            "[Timer]\r\n\xE9t\xE9=enabled,Shutdown,04:00,Daily\r\n")
      << settings;
  EXPECT_EQ(Titles(), std::vector<std::string>{"\xE9t\xE9"});
}

// A title the code page cannot hold turns the file into UTF-16LE, the other timers kept, and
// comes back exactly after a new start.
TEST_F(TimersE2E, ATitleOutsideTheCodePageIsKeptWhole) {
  const std::wstring title = L"Zo\u00EB \u2013 \u6771\u4EAC \u2713";
  HWND editor = OpenEditor(mids::kBtnAdd);
  ASSERT_NE(editor, nullptr);
  SetWideText(Control(editor, tids::kEdtTitle), title);
  ClickDialogButton(editor, tids::kOk);
  ASSERT_TRUE(WaitVisible(editor, false));
  const std::string bytes = ReadFileText(Settings());
  ASSERT_TRUE(bytes.starts_with("\xFF\xFE")) << bytes;
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2),
                          (bytes.size() - 2) / 2);
  EXPECT_NE(text.find(L"\r\n" + title + L"=enabled,"), std::wstring::npos);
  EXPECT_NE(text.find(L"\r\nlate=enabled,Shutdown,23:00,Daily\r\n"), std::wstring::npos);

  app_.reset();
  app_.emplace();
  main_ = ShowMainWindow(*app_);
  ASSERT_NE(main_, nullptr);
  list_ = Control(main_, mids::kLvwTimer);
  const std::vector<std::string> titles = Titles();
  const auto row = std::find_if(titles.begin(), titles.end(),
                                [](const std::string& t) { return t.starts_with("Zo"); });
  ASSERT_NE(row, titles.end());
  SelectListRow(list_, static_cast<int>(row - titles.begin()));
  editor = OpenEditor(mids::kBtnEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WideWindowText(Control(editor, tids::kEdtTitle)), title);
  ClickDialogButton(editor, tids::kCancel);
  EXPECT_TRUE(WaitVisible(editor, false));
}

}  // namespace
}  // namespace halcyra::e2e
