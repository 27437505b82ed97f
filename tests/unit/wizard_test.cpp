// The first-run wizard's logic with fakes.
#include <gtest/gtest.h>

#include "ui/password_rules.h"
#include "unit/main_form_fixture.h"
#include "wizard/wizard_form.h"

namespace halcyra {
namespace {

class FakeWizardHost final : public WizardHost {
 public:
  int closes = 0;
  std::function<void(TFrmTimer&)> onEditor;
  void ShowTimerEditor(TFrmTimer& editor) override {
    editor.FormShow();
    if (onEditor) onEditor(editor);
  }
  void CloseWizard() override { ++closes; }
};

class WizardTest : public test::MainFormTest {
 protected:
  TForm1& Wizard() {
    wizard_.emplace(PageServices{app_, mixer_, player_, dialogs_, files_, shell_}, wizardHost_);
    wizard_->FormCreate();
    return *wizard_;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const ListRow& row : wizard_->LvwTimer.rows) captions.push_back(row.caption);
    return captions;
  }
  FakeWizardHost wizardHost_;
  std::optional<TForm1> wizard_;
};

TEST_F(WizardTest, StartsOnTheTimerPageWithTheOfferedValues) {
  mixer_.volume = 0x8123;
  TForm1& w = Wizard();
  EXPECT_EQ(w.ActivePage(), WizardPage::Timer);
  EXPECT_FALSE(w.BtnBack.enabled);
  EXPECT_EQ(w.BtnNext.caption, "Next>");
  EXPECT_EQ(w.TckBarVolume.position, 0x81);
  EXPECT_EQ(w.SpinDuration.text, "5");
  EXPECT_TRUE(w.ChkSystemTray.Checked());
  EXPECT_EQ(w.EdtLogoff.text, "Ctrl+Shift+Alt+L");
  EXPECT_FALSE(w.BtnBrowse.enabled);
  EXPECT_FALSE(w.EdtPwd.enabled);
  EXPECT_TRUE(w.LvwTimer.rows.empty());
  EXPECT_TRUE(ini_.log.empty()) << "the wizard reads nothing and writes nothing yet";
}

TEST_F(WizardTest, NextOnTheFirstPageWritesEverySetting) {
  TForm1& w = Wizard();
  w.BtnNextClick();
  EXPECT_EQ(ini_.log, (std::vector<std::string>{"general/ShowSystemTray=True",
                                                "general/PreventTimeChange=false",
                                                "general/Duration=5",
                                                "general/EnableAbort=false",
                                                "Hotkeys/Powerdown=Ctrl+Shift+Alt+P",
                                                "Hotkeys/Shutdown=Ctrl+Shift+Alt+S",
                                                "Hotkeys/Reboot=Ctrl+Shift+Alt+R",
                                                "Hotkeys/Hibernate=Ctrl+Shift+Alt+H",
                                                "Hotkeys/Suspend=Ctrl+Shift+Alt+U",
                                                "Hotkeys/Logoff=Ctrl+Shift+Alt+L",
                                                "Sound/Enabled=False",
                                                "CleanUp/RecycleBin=false",
                                                "CleanUp/TempFolder=false",
                                                "CleanUp/IEcache=false",
                                                "CleanUp/IEcookie=false",
                                                "CleanUp/IEhistory=false",
                                                "CleanUp/IEAutoComplete=false",
                                                "CleanUp/RecentDocument=false",
                                                "Password/Enabled=false",
                                                "-Password/Password",
                                                "Log/Enabled=false"}));
  EXPECT_EQ(w.ActivePage(), WizardPage::General);
  EXPECT_TRUE(w.BtnBack.enabled);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(WizardTest, SixNextsReachLogWithOkAndBackTurnsItIntoNextAgain) {
  TForm1& w = Wizard();
  for (int i = 0; i < 6; ++i) w.BtnNextClick();
  EXPECT_EQ(w.ActivePage(), WizardPage::Log);
  EXPECT_EQ(w.BtnNext.caption, "OK");
  w.BtnBackClick();
  EXPECT_EQ(w.BtnNext.caption, "Next>");
  EXPECT_EQ(w.ActivePage(), WizardPage::Password);
  w.BtnNextClick();
  ini_.log.clear();
  w.BtnNextClick();
  EXPECT_EQ(wizardHost_.closes, 1) << "OK saves once more and closes";
  EXPECT_FALSE(ini_.log.empty());
  for (int i = 0; i < 6; ++i) w.BtnBackClick();
  EXPECT_EQ(w.ActivePage(), WizardPage::Timer);
  EXPECT_FALSE(w.BtnBack.enabled);
  w.BtnBackClick();
  EXPECT_EQ(w.ActivePage(), WizardPage::Timer);
}

TEST_F(WizardTest, ChecksLookOnlyAtTheShownPage) {
  TForm1& w = Wizard();
  for (int i = 0; i < 5; ++i) w.BtnNextClick();
  ASSERT_EQ(w.ActivePage(), WizardPage::Password);
  w.ChkPassword.Click();
  w.EdtPwd.text = "one";
  w.EdtPwdConfirm.text = "two";
  ini_.log.clear();
  w.BtnNextClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The password and the password confirmation is not the same.");
  EXPECT_TRUE(ini_.log.empty());
  w.BtnBackClick();  // allowed without a message
  w.BtnBackClick();
  ASSERT_EQ(w.ActivePage(), WizardPage::Sound);
  w.BtnNextClick();
  EXPECT_EQ(Read("Password", "Password"), PasswordDigest("one")) << "saved from another page";
  EXPECT_EQ(w.EdtPwd.text, PasswordPlaceholder);

  w.BtnBackClick();
  w.ChkEnableSound.Click();
  w.BtnNextClick();
  EXPECT_EQ(boxes_.shown.back().text,
            "Please select the sound file to play during the shutdown event.");
  EXPECT_EQ(w.ActivePage(), WizardPage::Sound);
}

TEST_F(WizardTest, CancelWritesNothingAndEmptiedHotkeysAreNone) {
  TForm1& w = Wizard();
  w.BtnCancelClick();
  EXPECT_EQ(wizardHost_.closes, 1);
  EXPECT_TRUE(ini_.log.empty());
  w.EdtReboot.text = "";
  w.BtnNextClick();
  EXPECT_EQ(Read("Hotkeys", "Reboot"), "None");
  w.EdtHibernateKeyDown(0x10, {true, false, false});  // Shift still down at Next>
  w.BtnNextClick();
  EXPECT_EQ(Read("Hotkeys", "Hibernate"), "Ctrl+Shift+Alt+H") << "not the unfinished \"Shift+\"";
}

TEST_F(WizardTest, TimersAreWrittenByTheDialogAndListedInTimeOrder) {
  TForm1& w = Wizard();
  wizardHost_.onEditor = [](TFrmTimer& e) {
    e.EdtTitle.text = "late";
    e.SpinHour.text = "23";
    e.BtnOKClick();
  };
  w.BtnAddClick();
  wizardHost_.onEditor = [](TFrmTimer& e) {
    e.EdtTitle.text = "early";
    e.SpinHour.text = "6";
    e.RbnWeekly.Check();
    e.CboWeekday.index = 1;
    e.BtnOKClick();
  };
  w.BtnAddClick();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"early", "late"}));
  EXPECT_EQ(w.LvwTimer.rows[0].subItems,
            (std::vector<std::string>{"Enabled", "Shutdown", "06:00", "Monday"}));
  EXPECT_EQ(Read("Timer", "early"), "enabled,Shutdown,06:00,Monday");

  // Edit: the row is replaced and the list stays ordered.
  w.LvwTimer.rows[1].selected = true;
  wizardHost_.onEditor = [](TFrmTimer& e) {
    EXPECT_TRUE(e.EditMode);
    EXPECT_EQ(e.SpinHour.text, "23");
    e.EdtTitle.text = "dawn";
    e.SpinHour.text = "5";
    e.BtnOKClick();
  };
  w.BtnEditClick();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"dawn", "early"}));
  EXPECT_FALSE(Settings().ValueExists("Timer", "late"));

  // Delete: asked, then the key goes; nothing reloads.
  for (ListRow& row : w.LvwTimer.rows) row.selected = row.caption == "dawn";
  boxes_.answers = {mb::kIdYes};
  w.BtnDeleteClick();
  EXPECT_EQ(Captions(), std::vector<std::string>{"early"});
  EXPECT_FALSE(Settings().ValueExists("Timer", "dawn"));
  EXPECT_TRUE(wakeTimers_.armed.empty()) << "the wizard arms no wake-up timers";
}

TEST_F(WizardTest, ItsTimerDialogRefusesATitleTakenInAnotherLetterCase) {
  TForm1& w = Wizard();
  wizardHost_.onEditor = [](TFrmTimer& e) {
    e.EdtTitle.text = "Night";
    e.BtnOKClick();
  };
  w.BtnAddClick();
  bool closed = true;
  wizardHost_.onEditor = [&closed](TFrmTimer& e) {
    e.EdtTitle.text = "night";
    e.SpinHour.text = "5";
    e.BtnOKClick();
    closed = e.Closed();
  };
  w.BtnAddClick();
  EXPECT_FALSE(closed);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, Tr(kDuplicateTitleMessage));
  EXPECT_EQ(Read("Timer", "Night"), "enabled,Shutdown,00:00,Daily") << "not overwritten";
  EXPECT_EQ(Captions(), std::vector<std::string>{"Night"});

  // The same for the code page's accented letters: été and ÉTÉ, in UTF-8.
  boxes_.shown.clear();
  for (const char* title : {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"}) {
    wizardHost_.onEditor = [title](TFrmTimer& e) {
      e.EdtTitle.text = title;
      e.BtnOKClick();
    };
    w.BtnAddClick();
  }
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, Tr(kDuplicateTitleMessage));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Night", "\xC3\xA9t\xC3\xA9"}));
}

}  // namespace
}  // namespace halcyra
