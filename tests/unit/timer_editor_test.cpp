// The timer editor and the Timer page's Add, Edit and Delete, on the main window's logic.
#include "schedule/timer_editor.h"

#include <gtest/gtest.h>

#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

// "Timer title should not contain "=", start with ";" or "[", or start or end with a blank."
constexpr const char* kUnstorable =
    "Timer title should not contain \"=\", start with \";\" or \"[\", or start or end with a "
    "blank.";

class TimerEditorTest : public test::MainFormTest {
 protected:
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const ListRow& row : form_->LvwTimer.rows) captions.push_back(row.caption);
    return captions;
  }
  void Select(const std::string& caption) {
    for (ListRow& row : form_->LvwTimer.rows) row.selected = row.caption == caption;
  }
  // Opens the editor with Add or Edit, lets the "user" act on it and records its state.
  void Open(void (TFrmMain::*command)(), const std::function<void(TFrmTimer&)>& user) {
    host_.onEditor = [&](TFrmTimer& editor) {
      user(editor);
      editorClosed_ = editor.Closed();
    };
    (form_.value().*command)();
  }
  bool editorClosed_ = false;
};

TEST_F(TimerEditorTest, AddStartsFromTheDesignStateAndWritesTheEntry) {
  Create();
  Open(&TFrmMain::BtnAddClick, [](TFrmTimer& e) {
    EXPECT_FALSE(e.EditMode);
    EXPECT_EQ(e.EdtTitle.text, "");
    EXPECT_TRUE(e.ChkEnabled.Checked());
    EXPECT_EQ(e.CboShutEvent.Text(), "Shutdown");
    EXPECT_EQ(e.SpinHour.text, "0");
    EXPECT_EQ(e.SpinMinute.text, "00") << "FormShow pads a lone 0";
    EXPECT_TRUE(e.RbnDaily.Checked());
    EXPECT_FALSE(e.CboWeekday.enabled);
    e.ChkEnabled.Click();
    e.ChkEnabled.Click();
    EXPECT_FALSE(e.CboWeekday.enabled) << "a daily timer has no day to choose";
    EXPECT_EQ(e.SpinHour.maxLength, 2u);
    e.EdtTitle.text = "Night";
    e.CboShutEvent.index = 1;
    e.SpinHour.text = "7";
    e.SpinMinute.text = "5";
    e.RbnWeekly.Check();
    EXPECT_TRUE(e.CboWeekday.enabled);
    e.CboWeekday.index = 5;
    e.BtnOKClick();
  });
  EXPECT_TRUE(editorClosed_);
  EXPECT_EQ(Read("Timer", "Night"), "enabled,Power off,07:05,Friday");
  EXPECT_EQ(Captions(), std::vector<std::string>{"Night"});
  ASSERT_EQ(program_->Schedule.Timers.size(), 1u);
  EXPECT_NE(program_->Schedule.Timers[0].WakeTimer, nullptr);
}

TEST_F(TimerEditorTest, NewRowsTakeTheirPlaceInTimeOrder) {
  Prepare("[Timer]\r\nlate=enabled,Shutdown,23:00,Daily\r\nearly=enabled,Shutdown,06:00,Daily\r\n");
  Create();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"early", "late"}));
  Select("late");  // Add leaves the selected timer alone
  Open(&TFrmMain::BtnAddClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "noon";
    e.SpinHour.text = "12";
    e.SpinMinute.text = "";
    e.BtnOKClick();
  });
  EXPECT_EQ(Read("Timer", "noon"), "enabled,Shutdown,12:00,Daily") << "an emptied field is 00";
  EXPECT_EQ(Captions(), (std::vector<std::string>{"early", "noon", "late"}));
}

TEST_F(TimerEditorTest, TitlesThatCannotBeStoredOrAreTakenAreRefused) {
  Prepare("[Timer]\r\nNight=enabled,Shutdown,23:00,Daily\r\n");
  Create();
  const std::string before = Raw();
  struct Case {
    const char* title;
    const char* message;
  };
  for (const Case& c :
       {Case{"", "Timer tile should not be blank."}, Case{"   ", "Timer tile should not be blank."},
        Case{"\t", "Timer tile should not be blank."}, Case{"a=b", kUnstorable},
        Case{" lead", kUnstorable}, Case{"trail ", kUnstorable}, Case{";comment", kUnstorable},
        Case{"[section]", kUnstorable}, Case{"Night", "The same Timer tile already exists."}}) {
    boxes_.shown.clear();
    Open(&TFrmMain::BtnAddClick, [&](TFrmTimer& e) {
      e.EdtTitle.text = c.title;
      e.BtnOKClick();
    });
    EXPECT_FALSE(editorClosed_) << c.title;
    ASSERT_EQ(boxes_.shown.size(), 1u) << c.title;
    EXPECT_EQ(boxes_.shown[0].text, c.message) << c.title;
    EXPECT_EQ(boxes_.shown[0].caption, "Error");
    EXPECT_EQ(boxes_.shown[0].style, 64u);
  }
  EXPECT_EQ(Raw(), before);
}

// The settings file compares keys without regard to case: a title in another letter case would
// overwrite the other timer's entry.
TEST_F(TimerEditorTest, ATitleTakenInAnotherLetterCaseIsRefused) {
  Prepare(
      "[Timer]\r\nNight=enabled,Shutdown,23:00,Daily\r\nB=enabled,Reboot,11:00,Daily\r\n"
      "A=enabled,Shutdown,10:00,Daily\r\n");
  Create();
  const std::string before = Raw();
  Open(&TFrmMain::BtnAddClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "NIGHT";
    e.SpinHour.text = "22";
    e.BtnOKClick();
  });
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The same Timer tile already exists.");
  EXPECT_FALSE(editorClosed_);

  boxes_.shown.clear();
  Select("A");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "b";
    e.BtnOKClick();
  });
  ASSERT_EQ(boxes_.shown.size(), 1u) << "renaming A to b would delete A and overwrite B";
  EXPECT_EQ(boxes_.shown[0].text, "The same Timer tile already exists.");
  EXPECT_EQ(Raw(), before);

  boxes_.shown.clear();
  Select("Night");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "night";
    e.BtnOKClick();
  });
  EXPECT_TRUE(boxes_.shown.empty()) << "a timer may take another case of its own title";
  EXPECT_TRUE(editorClosed_);
}

// Every letter of the file's code page has its case: été and Été ("\xE9t\xE9" and "\xC9t\xE9" in
// the Windows-1252 file, UTF-8 in the program) are one key, as "a" and "A" are.
TEST_F(TimerEditorTest, AccentedTwinsAreOneTitle) {
  const std::string lower = "\xC3\xA9t\xC3\xA9", upper = "\xC3\x89t\xC3\xA9";
  Prepare(
      "[Timer]\r\n\xE9t\xE9=enabled,Shutdown,10:00,Daily\r\n\xC9t\xE9"
      "=enabled,Reboot,11:00,Daily\r\nB=enabled,Reboot,12:00,Daily\r\n");
  Create();
  EXPECT_EQ(Captions(), (std::vector<std::string>{lower, "B"})) << "one row for the twins";

  Open(&TFrmMain::BtnAddClick, [&upper](TFrmTimer& e) {
    e.EdtTitle.text = upper;
    e.BtnOKClick();
  });
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The same Timer tile already exists.");

  boxes_.shown.clear();
  Select(lower);
  boxes_.answers = {mb::kIdYes};
  form_->BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 1u) << "only the question";
  EXPECT_EQ(Captions(), std::vector<std::string>{"B"});
  EXPECT_FALSE(Settings().ValueExists("Timer", upper)) << "every line of the key went";
}

TEST_F(TimerEditorTest, EditPrefillsADisabledWeeklyTimer) {
  Prepare("[Timer]\r\nGym=disabled,Hibernate,7:5,Thursday\r\n");
  Create();
  Select("Gym");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    EXPECT_TRUE(e.EditMode);
    EXPECT_EQ(e.EdtTitle.text, "Gym");
    EXPECT_FALSE(e.ChkEnabled.Checked());
    EXPECT_EQ(e.CboShutEvent.Text(), "Hibernate");
    EXPECT_EQ(e.SpinHour.text, "7") << "as stored";
    EXPECT_EQ(e.SpinMinute.text, "5");
    EXPECT_TRUE(e.RbnWeekly.Checked());
    EXPECT_EQ(e.CboWeekday.Text(), "Thursday");
    for (const Control* c :
         {static_cast<const Control*>(&e.CboShutEvent), static_cast<const Control*>(&e.SpinHour),
          static_cast<const Control*>(&e.SpinMinute), static_cast<const Control*>(&e.RbnOnce),
          static_cast<const Control*>(&e.RbnWeekly), static_cast<const Control*>(&e.LblTime),
          static_cast<const Control*>(&e.Label2), static_cast<const Control*>(&e.CboWeekday)})
      EXPECT_FALSE(c->enabled);
    EXPECT_TRUE(e.EdtTitle.enabled && e.Label1.enabled && e.Label3.enabled && e.BtnOK.enabled);
    e.ChkEnabled.Click();
    EXPECT_TRUE(e.CboWeekday.enabled) << "weekly is chosen";
    EXPECT_TRUE(e.SpinHour.enabled);
    e.SpinMinuteExit();
    EXPECT_EQ(e.SpinMinute.text, "05");
    e.BtnCancelClick();
  });
  EXPECT_TRUE(editorClosed_);
  EXPECT_EQ(Read("Timer", "Gym"), "disabled,Hibernate,7:5,Thursday") << "Cancel writes nothing";
}

TEST_F(TimerEditorTest, EditOfUnknownWordsPicksLogOffAndSaturday) {
  Prepare("[Timer]\r\nOdd=enabled,Explode,10:00,Fortnightly\r\n");
  Create();
  Select("Odd");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    EXPECT_EQ(e.CboShutEvent.Text(), "Log off");
    EXPECT_TRUE(e.RbnWeekly.Checked());
    EXPECT_EQ(e.CboWeekday.Text(), "Saturday");
  });
}

TEST_F(TimerEditorTest, EditReplacesTheEntryUnderItsNewTitle) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\nB=enabled,Reboot,11:00,Daily\r\n");
  Create();
  Select("A");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "B";
    e.BtnOKClick();
  });
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The same Timer tile already exists.");
  EXPECT_FALSE(editorClosed_);

  boxes_.shown.clear();
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.BtnOKClick();  // the same title is allowed in edit mode
  });
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_TRUE(editorClosed_);

  Select("A");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "C";
    e.RbnOnce.Check();
    e.BtnOKClick();
  });
  EXPECT_FALSE(Settings().ValueExists("Timer", "A"));
  EXPECT_EQ(Read("Timer", "C"), "enabled,Shutdown,10:00,Once");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"C", "B"}));
  EXPECT_EQ(program_->Schedule.Timers.size(), 2u);
}

TEST_F(TimerEditorTest, EditWithoutSelectionOrRecordDoesNothing) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\n");
  Create();
  form_->BtnEditClick();
  form_->LvwTimerDblClick();
  EXPECT_EQ(host_.editorsShown, 0);
  form_->LvwTimer.rows.push_back({"ghost", {}, true});
  form_->BtnEditClick();
  EXPECT_EQ(host_.editorsShown, 0) << "no record has that title";
}

TEST_F(TimerEditorTest, RefusedWriteReportsAndClosesWithoutReload) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\n");
  Create();
  ini_.refuseWrites = true;
  Open(&TFrmMain::BtnAddClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "New";
    e.BtnOKClick();
  });
  EXPECT_TRUE(editorClosed_);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "Can not save settings. You must be given \"modify\" access to the file: \"" +
                SettingsPath() + "\".");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(Captions(), std::vector<std::string>{"A"});
  EXPECT_EQ(wakeTimers_.armed.size(), 1u) << "nothing reloaded";
}

// Edit writes [Timer] in one go, in the order that deleting the old key and writing the new one
// gives: the edited timer goes last under its title as typed, so of two timers of one minute the
// other fires first afterwards; a refused write changes no byte of the file.
TEST_F(TimerEditorTest, EditRewritesTheSectionWithTheTimerLast) {
  Prepare(
      "[general]\r\nDuration=5\r\n[Timer]\r\na=enabled,Shutdown,09:05,Daily\r\n"
      "b=enabled,Reboot,09:05,Daily\r\nnight=enabled,Shutdown,23:00,Daily\r\n[Log]\r\n"
      "Enabled=True\r\n");
  // Edited the minute before: the editor's own loop runs the schedule's tick meanwhile.
  clock_.now.hour = 9;
  clock_.now.minute = 4;
  Create();
  Select("a");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) { e.BtnOKClick(); });
  EXPECT_EQ(ini_.log,
            std::vector<std::string>{
                "Timer/[b=enabled,Reboot,09:05,Daily][night=enabled,Shutdown,23:00,Daily]"
                "[a=enabled,Shutdown,09:05,Daily]"})
      << "one write of the whole section";
  clock_.now.minute = 5;
  program_->Schedule.Timer1Timer();
  EXPECT_EQ(host_.countdowns, std::vector<std::string>{"Reboot"})
      << "b is now the first of the minute";
  host_.countdown->AbortRequested = true;
  program_->Schedule.Timer1Timer();
  ASSERT_FALSE(program_->Schedule.Firing()) << "aborted at its first count";

  Select("night");
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "Night";
    e.BtnOKClick();
  });
  EXPECT_EQ(Settings().ReadSection("Timer"), (std::vector<std::string>{"b", "a", "Night"}));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "a", "Night"}));
  EXPECT_EQ(Read("Log", "Enabled"), "True") << "the sections around it stay";

  const std::string before = folder_.ReadFile("root/Halcyra/Halcyra.ini");
  Select("b");
  ini_.refuseWrites = true;
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) {
    e.EdtTitle.text = "C";
    e.BtnOKClick();
  });
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(folder_.ReadFile("root/Halcyra/Halcyra.ini"), before);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "a", "Night"}));

  // A section read that finds nothing would write back the edited timer alone.
  ini_.refuseWrites = false;
  ini_.blindSectionReads = true;
  Open(&TFrmMain::BtnEditClick, [](TFrmTimer& e) { e.BtnOKClick(); });
  EXPECT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(folder_.ReadFile("root/Halcyra/Halcyra.ini"), before);
}

TEST_F(TimerEditorTest, DeleteAsksFirst) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\nB=enabled,Reboot,11:00,Daily\r\n");
  Create();
  form_->BtnDeleteClick();
  EXPECT_TRUE(boxes_.shown.empty()) << "nothing selected";

  Select("A");
  boxes_.answers = {mb::kIdNo};
  form_->BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "Do you really want to delete the selected timer?");
  EXPECT_EQ(boxes_.shown[0].caption, "Delete timer");
  EXPECT_EQ(boxes_.shown[0].style, 36u);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(Settings().ValueExists("Timer", "A"));

  boxes_.answers = {mb::kIdYes};
  form_->BtnDeleteClick();
  EXPECT_EQ(Captions(), std::vector<std::string>{"B"});
  EXPECT_FALSE(Settings().ValueExists("Timer", "A"));
  ASSERT_EQ(program_->Schedule.Timers.size(), 1u);
  EXPECT_EQ(program_->Schedule.Timers[0].Title, "B");
  EXPECT_EQ(wakeTimers_.Live(), 1u) << "the old wake-up timers were released";
}

// Keys the list cannot carry whole or apart: no bogus row, and no false "Can not delete".
TEST_F(TimerEditorTest, ANameCutByTheKeyListLimitIsNoRow) {
  const std::string longTitle(16380, 'A');
  Prepare("[Timer]\r\n" + longTitle +
          "=enabled,Shutdown,10:00,Daily\r\nBxyz=enabled,Reboot,11:00,Daily\r\n");
  Create();
  EXPECT_EQ(Captions(), std::vector<std::string>{longTitle}) << "no cut \"B\" row";
  ASSERT_EQ(program_->Schedule.Timers.size(), 1u);
  Select(longTitle);
  boxes_.answers = {mb::kIdYes};
  form_->BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 1u) << "only the question";
  EXPECT_TRUE(Captions().empty());
  EXPECT_EQ(Read("Timer", "Bxyz"), "enabled,Reboot,11:00,Daily") << "the unseen entry stays";
}

TEST_F(TimerEditorTest, TitlesThatDifferOnlyInCaseAreOneRowAndGoTogether) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\na=enabled,Reboot,11:00,Daily\r\n");
  Create();
  EXPECT_EQ(Captions(), std::vector<std::string>{"A"});
  ASSERT_EQ(program_->Schedule.Timers.size(), 1u);
  EXPECT_EQ(program_->Schedule.Timers[0].ShutEvent, "Shutdown") << "the entry every read finds";
  Select("A");
  boxes_.answers = {mb::kIdYes};
  form_->BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 1u) << "only the question";
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(Settings().ValueExists("Timer", "a"));
}

TEST_F(TimerEditorTest, DeleteThatTheFileRefusesKeepsTheRow) {
  Prepare("[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\n");
  Create();
  Select("A");
  ini_.refuseWrites = true;
  boxes_.answers = {mb::kIdYes};
  form_->BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text,
            "Can not delete the timer. You must be given \"modify\" access to the file: \"" +
                SettingsPath() + "\".");
  EXPECT_EQ(boxes_.shown[1].style, 16u);
  EXPECT_EQ(Captions(), std::vector<std::string>{"A"});
}

TEST_F(TimerEditorTest, WakeUpTimersAreReleasedOnReloadAndClose) {
  Prepare(
      "[Timer]\r\nA=enabled,Shutdown,10:00,Daily\r\nB=enabled,Reboot,11:00,Daily\r\n"
      "C=enabled,Suspend,12:00,Daily\r\n");
  Create();
  EXPECT_EQ(wakeTimers_.Live(), 2u);
  program_->Schedule.ReloadTimers();
  EXPECT_EQ(wakeTimers_.armed.size(), 4u);
  EXPECT_EQ(wakeTimers_.Live(), 2u);
  form_->FormClose();
  EXPECT_EQ(wakeTimers_.Live(), 0u);
}

}  // namespace
}  // namespace halcyra
