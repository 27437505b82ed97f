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
  TFrmMain& f = Create();
  host_.calls.clear();
  Prepare("[general]\r\nShowSystemTray=True\r\n");
  form_.emplace(services_, host_);
  form_->FormCreate();
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
  Create();
  form_.emplace(services_, host_);
  host_.calls.clear();
  form_->FormCreate();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"icon delete"});
}

TEST_F(LifecycleTest, TrayMessages) {
  TFrmMain& f = Create();
  host_.calls.clear();
  f.HandleTrayMessage(kTrayDoubleClick);
  f.HandleTrayMessage(0x0204, {5, 6});  // the right button's press waits for its release
  f.HandleTrayMessage(kTrayContextMenu, {-1200, 740});
  f.HandleTrayMessage(0x0201);          // a single left click does nothing,
  f.HandleTrayMessage(0x0400, {7, 8});  // nor does the shell's NIN_SELECT that follows it
  f.HandleTrayMessage(kTrayKeySelect, {30, 40});
  f.HandleTrayMessage(kTrayRightButtonUp, {9, 9});  // the release comes before the request
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"show", "menu at -1200,740", "menu at 30,40"}));

  // A shell that refused the fourth version sends the mouse messages alone; the anchor is then
  // the pointer's position.
  host_.calls.clear();
  constexpr TrayVersion first = TrayVersion::kFirst;
  f.HandleTrayMessage(0x0204, {5, 6}, first);
  f.HandleTrayMessage(kTrayRightButtonUp, {-300, 20}, first);
  f.HandleTrayMessage(0x0201, {}, first);
  f.HandleTrayMessage(kTrayDoubleClick, {}, first);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"menu at -300,20", "show"}));
}

TEST_F(LifecycleTest, ShowingTheWindowAsksForThePasswordWhenProtected) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  TFrmMain& f = Create();
  host_.calls.clear();
  host_.passwordAnswer = false;
  f.MmuMainWindowClick();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"prompt"}) << "refused: nothing changes";
  host_.passwordAnswer = true;
  f.HandleTrayMessage(kTrayDoubleClick);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "prompt", "show"}));
  // The one-off action window from the icon's menu is guarded the same way.
  host_.calls.clear();
  host_.passwordAnswer = false;
  f.MnuOnceClick();
  host_.passwordAnswer = true;
  f.MnuOnceClick();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "prompt", "once window"}));
}

TEST_F(LifecycleTest, HideRemovesWindowAndIconButSavesNothing) {
  Prepare("[general]\r\nShowSystemTray=True\r\n");
  TFrmMain& f = Create();
  host_.calls.clear();
  f.MnuHideClick();
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
  f.MnuExitClick();
  EXPECT_FALSE(f.ExitRequested);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"prompt"});
  host_.passwordAnswer = true;
  f.MnuExitClick();
  EXPECT_TRUE(f.ExitRequested);
  EXPECT_EQ(host_.calls.back(), "close");
  EXPECT_TRUE(f.FormCloseQuery());
  host_.calls.clear();
  f.FormClose();
  EXPECT_EQ(host_.calls, std::vector<std::string>{"icon delete"});
}

TEST_F(LifecycleTest, EndOfSessionStopsTheScheduleHidesAndAgrees) {
  TFrmMain& f = Create();
  host_.calls.clear();
  EXPECT_TRUE(f.HandleQueryEndSession());
  EXPECT_FALSE(f.Schedule.Running());
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"end loadqm.exe", "close"}));
  EXPECT_FALSE(f.FormCloseQuery()) << "the close only hides";
  host_.calls.clear();
  EXPECT_TRUE(f.HandleQueryEndSession(true));
  EXPECT_EQ(host_.calls, std::vector<std::string>{"close"}) << "an installer closes only us";
}

TEST_F(LifecycleTest, WhileThePromptIsOpenTheIconAsksForNothingMore) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  TFrmMain& f = Create();
  host_.calls.clear();
  int nested = 0;
  host_.onPrompt = [&] {
    // What the icon and a second start send while the first prompt waits for the user.
    f.HandleTrayMessage(kTrayDoubleClick);
    f.MnuExitClick();
    f.ShowMainWindowGuarded();
    f.HandleTrayMessage(kTrayContextMenu);
    ++nested;
  };
  f.HandleTrayMessage(kTrayDoubleClick);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"prompt", "show"})) << "exactly one prompt";
  EXPECT_FALSE(f.ExitRequested);
  host_.onPrompt = nullptr;
  f.HandleTrayMessage(kTrayKeySelect, {1, 2});
  EXPECT_EQ(host_.calls.back(), "menu at 1,2") << "after the answer the icon works again";
}

TEST_F(LifecycleTest, ASessionThatGoesOnGetsItsScheduleBack) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("pw") + "\r\n");
  TFrmMain& f = Create();
  f.HandleQueryEndSession();
  host_.calls.clear();
  f.HandleEndSession(true);
  EXPECT_FALSE(f.Schedule.Running()) << "the session ends: no tick";
  EXPECT_TRUE(f.ExitRequested) << "the program ends as Exit does";
  EXPECT_EQ(host_.calls, std::vector<std::string>{"close"}) << "without a password prompt";
  f.ExitRequested = false;
  f.Schedule.Resume();
  f.HandleQueryEndSession();
  f.HandleEndSession(false);
  EXPECT_TRUE(f.Schedule.Running()) << "refused by someone: the schedule runs again";
  // During a countdown the tick is off; the countdown, not the session, switches it on again.
  f.Schedule.Pause();
  f.HandleQueryEndSession();
  f.HandleEndSession(false);
  EXPECT_FALSE(f.Schedule.Running());
}

TEST_F(LifecycleTest, HelpAndLinksOpenThroughTheShell) {
  TFrmMain& f = Create();
  f.BtnHelpClick();
  f.MnuHelpClick();
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
