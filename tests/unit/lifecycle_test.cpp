// The notification icon, its menu, the password gate and the end of a session, on the main
// window's logic; and the password prompt.
#include <gtest/gtest.h>

#include "ui/password_prompt.h"
#include "ui/password_rules.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

class LifecycleTest : public test::MainFormTest {};

TEST_F(LifecycleTest, TheIconFollowsTheBoxAndCancelPutsItBack) {
  Prepare("[general]\r\nShowSystemTray=True\r\n");
  host_.calls.clear();
  TFrmMain& f = Create();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"icon add"}) << "ticked at design: no click";

  host_.calls.clear();
  form_->ChkSystemTray.Click();
  form_->ChkSystemTray.Click();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"icon delete", "icon add"}));
  host_.calls.clear();
  form_->ChkSystemTray.Click();
  form_->BtnCancelClick();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"icon delete", "hide", "icon add"}));
  (void)f;
}

TEST_F(LifecycleTest, WithoutTheOptionTheIconIsDeletedAtCreation) {
  host_.calls.clear();
  Create();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"icon delete"});
}

TEST_F(LifecycleTest, TrayMessages) {
  Create();
  host_.calls.clear();
  program_->HandleTrayMessage(kTrayDoubleClick);
  program_->HandleTrayMessage(0x0204, {5, 6});  // the right button's press waits for its release
  program_->HandleTrayMessage(kTrayContextMenu, {-1200, 740});
  program_->HandleTrayMessage(0x0201);          // a single left click does nothing,
  program_->HandleTrayMessage(0x0400, {7, 8});  // nor does the shell's NIN_SELECT that follows it
  program_->HandleTrayMessage(kTrayKeySelect, {30, 40});
  program_->HandleTrayMessage(kTrayRightButtonUp, {9, 9});  // the release comes before the request
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"show", "menu at -1200,740", "menu at 30,40"}));

  // A shell that refused the fourth version sends the mouse messages alone; the anchor is then
  // the pointer's position.
  host_.calls.clear();
  constexpr TrayVersion first = TrayVersion::kFirst;
  program_->HandleTrayMessage(0x0204, {5, 6}, first);
  program_->HandleTrayMessage(kTrayRightButtonUp, {-300, 20}, first);
  program_->HandleTrayMessage(0x0201, {}, first);
  program_->HandleTrayMessage(kTrayDoubleClick, {}, first);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"menu at -300,20", "show"}));
}

TEST_F(LifecycleTest, ShowingTheWindowAsksForThePasswordWhenProtected) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  Create();
  host_.calls.clear();
  host_.passwordAnswer = false;
  program_->MmuMainWindowClick();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"prompt"}) << "refused: nothing changes";
  host_.passwordAnswer = true;
  program_->HandleTrayMessage(kTrayDoubleClick);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "prompt", "show"}));
  // The one-off action window from the icon's menu is guarded the same way.
  host_.calls.clear();
  host_.passwordAnswer = false;
  program_->MnuOnceClick();
  host_.passwordAnswer = true;
  program_->MnuOnceClick();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "prompt", "once window"}));
}

TEST_F(LifecycleTest, HideRemovesWindowAndIconButSavesNothing) {
  Prepare("[general]\r\nShowSystemTray=True\r\n");
  TFrmMain& f = Create();
  host_.calls.clear();
  program_->MnuHideClick();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"hide", "icon delete"}));
  EXPECT_FALSE(f.ChkSystemTray.Checked());
  EXPECT_EQ(Read("general", "ShowSystemTray"), "True");
  EXPECT_TRUE(ini_.log.empty());
}

TEST_F(LifecycleTest, ExitAsksThePasswordThenClosesForReal) {
  Prepare("[Password]\r\nEnabled=True\r\n");
  TFrmMain& f = Create();
  host_.calls.clear();
  host_.passwordAnswer = false;
  program_->MnuExitClick();
  EXPECT_FALSE(program_->ExitRequested);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"prompt"});
  host_.passwordAnswer = true;
  program_->MnuExitClick();
  EXPECT_TRUE(program_->ExitRequested);
  EXPECT_EQ(host_.calls.back(), "close");
  EXPECT_TRUE(f.FormCloseQuery());
  host_.calls.clear();
  f.FormClose();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"icon delete"});
}

TEST_F(LifecycleTest, EndOfSessionStopsTheScheduleHidesAndAgrees) {
  TFrmMain& f = Create();
  host_.calls.clear();
  EXPECT_TRUE(program_->HandleQueryEndSession());
  EXPECT_FALSE(program_->Schedule.Running());
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"end loadqm.exe", "close"}));
  EXPECT_FALSE(f.FormCloseQuery()) << "the close only hides";
  host_.calls.clear();
  EXPECT_TRUE(program_->HandleQueryEndSession(true));
  EXPECT_EQ(host_.calls, std::vector<std::string>{"close"}) << "an installer closes only us";
}

TEST_F(LifecycleTest, WhileThePromptIsOpenTheIconAsksForNothingMore) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  Create();
  host_.calls.clear();
  int nested = 0;
  host_.onPrompt = [&] {
    // What the icon and a second start send while the first prompt waits for the user.
    program_->HandleTrayMessage(kTrayDoubleClick);
    program_->MnuExitClick();
    program_->ShowMainWindowGuarded();
    program_->HandleTrayMessage(kTrayContextMenu);
    ++nested;
  };
  program_->HandleTrayMessage(kTrayDoubleClick);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "show"})) << "exactly one prompt";
  EXPECT_FALSE(program_->ExitRequested);
  host_.onPrompt = nullptr;
  program_->HandleTrayMessage(kTrayKeySelect, {1, 2});
  EXPECT_EQ(host_.calls.back(), "menu at 1,2") << "after the answer the icon works again";
}

TEST_F(LifecycleTest, ASessionThatGoesOnGetsItsScheduleBack) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  Create();
  program_->HandleQueryEndSession();
  host_.calls.clear();
  program_->HandleEndSession(true);
  EXPECT_FALSE(program_->Schedule.Running()) << "the session ends: no tick";
  EXPECT_TRUE(program_->ExitRequested) << "the program ends as Exit does";
  EXPECT_EQ(host_.calls, std::vector<std::string>{"close"}) << "without a password prompt";
  program_->ExitRequested = false;
  program_->Schedule.Resume();
  program_->HandleQueryEndSession();
  program_->HandleEndSession(false);
  EXPECT_TRUE(program_->Schedule.Running()) << "refused by someone: the schedule runs again";
  // During a countdown the tick is off; the countdown, not the session, switches it on again.
  program_->Schedule.Pause();
  program_->HandleQueryEndSession();
  program_->HandleEndSession(false);
  EXPECT_FALSE(program_->Schedule.Running());
}

TEST_F(LifecycleTest, HelpAndLinksOpenThroughTheShell) {
  TFrmMain& f = Create();
  f.BtnHelpClick();
  program_->MnuHelpClick();
  f.LblWebSiteClick();
  f.LblEmailClick();
  EXPECT_EQ(shell_.calls,
            (std::vector<std::string>{
                "open|C:\\Tools\\help.chm|c:\\|1", "open|C:\\Tools\\help.chm|c:\\|1",
                "open|https://halcyra.org|c:\\|1", "|mailto:support@halcyra.org|c:\\|1"}));
  EXPECT_EQ(f.LblWebSite.caption.rfind("WebSite: ", 0), 0u);
  EXPECT_EQ(f.LblEmail.caption.rfind("Support Email: ", 0), 0u);
}

TEST_F(LifecycleTest, PasswordPromptAcceptsOnlyTheExactPassword) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("Secret") + "\r\n");
  TFrmPwd prompt(app_);
  prompt.FormCreate();
  EXPECT_FALSE(prompt.PasswordAccepted());
  prompt.EdtPwd.text = "secret";
  prompt.BtnOKClick();
  EXPECT_FALSE(prompt.Closed());
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The password is not correct, please try it again.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 64u);
  EXPECT_TRUE(prompt.TakeFocusRequest());
  EXPECT_TRUE(prompt.EdtPwd.selectAllRequested);
  prompt.EdtPwd.text = "Secret";
  prompt.EdtPwdKeyPress('a');
  EXPECT_FALSE(prompt.Closed());
  prompt.EdtPwdKeyPress(13);
  EXPECT_TRUE(prompt.Closed());
  EXPECT_TRUE(prompt.PasswordAccepted());
  EXPECT_EQ(boxes_.shown.size(), 1u) << "nothing said of the right one";
}

TEST_F(LifecycleTest, PasswordPromptCancelAndAMissingDigestRefuse) {
  Prepare("[Password]\r\nEnabled=True\r\n");
  TFrmPwd prompt(app_);
  prompt.FormCreate();
  prompt.EdtPwd.text = "";
  prompt.BtnOKClick();
  EXPECT_FALSE(prompt.PasswordAccepted()) << "no stored digest: nothing matches";
  prompt.BtnCancelClick();
  EXPECT_TRUE(prompt.Closed());
  EXPECT_FALSE(prompt.PasswordAccepted());
}

}  // namespace
}  // namespace halcyra
