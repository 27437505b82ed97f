#include "ui/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ui/password_rules.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

using test::MainFormTest;

TEST_F(MainFormTest, FileWithoutKeysLoadsEverythingOff) {
  mixer_.volume = 0x8123;
  TFrmMain& f = Create();
  EXPECT_EQ(f.ActivePage(), MainPage::Timer);
  EXPECT_FALSE(f.ChkSystemTray.Checked()) << "checked at design time, off in the file";
  EXPECT_FALSE(f.ChkNoChangeTime.Checked());
  EXPECT_FALSE(f.ChkAbort.Checked());
  EXPECT_EQ(f.SpinDuration.text, "0");
  for (Edit* field : f.HotkeyFields()) EXPECT_EQ(field->text, "");
  EXPECT_FALSE(f.ChkEnableSound.Checked());
  EXPECT_FALSE(f.ChkLoop.Checked());
  EXPECT_FALSE(f.ChkSetVolume.Checked());
  program_->ShowMainWindowGuarded();
  EXPECT_EQ(f.TckBarVolume.position, 0x81) << "the master volume / 256";
  for (const auto& item : f.LvwCleanup.items) EXPECT_FALSE(item.checked);
  EXPECT_FALSE(f.ChkPassword.Checked());
  EXPECT_FALSE(f.EdtPwd.enabled);
  EXPECT_EQ(f.EdtPwd.text, "");
  EXPECT_FALSE(f.ChkEnableLog.Checked());
  EXPECT_FALSE(guard_.ClockGuardOn);
  EXPECT_EQ(program_->Schedule.LastHandled.year, 0);
  EXPECT_EQ(program_->Schedule.LastHandled.hour, clock_.now.hour);
  EXPECT_FALSE(program_->ExitRequested);
  EXPECT_TRUE(ini_.log.empty());
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(MainFormTest, StoredValuesFillTheControls) {
  Prepare(
      "[general]\r\nShowSystemTray=True\r\nPreventTimeChange=True\r\nDuration=30\r\n"
      "EnableAbort=True\r\n[Hotkeys]\r\nPowerdown=Ctrl+Alt+P\r\nShutdown=None\r\n"
      "[Sound]\r\nEnabled=True\r\nSoundPath=C:\\a.wav\r\nLoop=True\r\nSetVolume=True\r\n"
      "Volume=65280\r\n[CleanUp]\r\nTempFolder=True\r\nRecentDocument=True\r\n"
      "IEcache=true\r\n[Password]\r\nEnabled=True\r\nPassword=ABC\r\n[Log]\r\nEnabled=True\r\n");
  clock_.tick = 5000;
  TFrmMain& f = Create();
  EXPECT_TRUE(f.ChkSystemTray.Checked());
  EXPECT_TRUE(f.ChkNoChangeTime.Checked());
  EXPECT_TRUE(guard_.ClockGuardOn);
  EXPECT_EQ(guard_.ClockBaselineTick, 5000u);
  EXPECT_DOUBLE_EQ(guard_.ClockBaseline, EncodeDateTime(clock_.now));
  EXPECT_EQ(f.SpinDuration.text, "30");
  EXPECT_TRUE(f.ChkAbort.Checked());
  EXPECT_EQ(f.EdtPowerdown.text, "Ctrl+Alt+P");
  EXPECT_EQ(f.EdtShutdown.text, "None");
  EXPECT_EQ(f.EdtReboot.text, "");
  EXPECT_TRUE(f.ChkEnableSound.Checked());
  EXPECT_EQ(f.EdtSoundPath.text, "C:\\a.wav");
  EXPECT_TRUE(f.ChkLoop.Checked()) << "written Loop, read as loop";
  EXPECT_TRUE(f.ChkSetVolume.Checked());
  EXPECT_EQ(f.TckBarVolume.position, 255);
  for (Control* c : {static_cast<Control*>(&f.EdtSoundPath), static_cast<Control*>(&f.BtnBrowse),
                     static_cast<Control*>(&f.BtnPreview), static_cast<Control*>(&f.ChkLoop),
                     static_cast<Control*>(&f.ChkSetVolume), static_cast<Control*>(&f.TckBarVolume),
                     static_cast<Control*>(&f.Label10)})
    EXPECT_TRUE(c->enabled);
  const bool expected[] = {false, true, false, false, false, false, true};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(f.LvwCleanup.items[i].checked, expected[i]) << i;
  EXPECT_TRUE(f.ChkPassword.Checked());
  EXPECT_TRUE(f.EdtPwd.enabled && f.EdtPwdConfirm.enabled && f.Label13.enabled &&
              f.Label14.enabled);
  EXPECT_EQ(f.EdtPwd.text, PasswordPlaceholder);
  EXPECT_EQ(f.EdtPwdConfirm.text, "**********");
  EXPECT_TRUE(f.ChkEnableLog.Checked());
}

TEST_F(MainFormTest, SoundEnablingRule) {
  Prepare("[Sound]\r\nEnabled=True\r\n");
  TFrmMain& f = Create();
  EXPECT_TRUE(f.BtnBrowse.enabled);
  EXPECT_FALSE(f.BtnPreview.enabled) << "no file chosen";
  EXPECT_FALSE(f.TckBarVolume.enabled) << "volume not set";
  f.ChkSetVolume.Click();
  EXPECT_TRUE(f.TckBarVolume.enabled);
  f.ChkEnableSound.Click();
  for (Control* c : {static_cast<Control*>(&f.EdtSoundPath), static_cast<Control*>(&f.BtnBrowse),
                     static_cast<Control*>(&f.BtnPreview), static_cast<Control*>(&f.ChkLoop),
                     static_cast<Control*>(&f.ChkSetVolume), static_cast<Control*>(&f.TckBarVolume),
                     static_cast<Control*>(&f.Label10)})
    EXPECT_FALSE(c->enabled);
  EXPECT_TRUE(f.ChkSetVolume.Checked()) << "the rule changes no state";
}

TEST_F(MainFormTest, WithoutAMixerDeviceTheAlarmIsOffAndDisabled) {
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=C:\\a.wav\r\nSetVolume=True\r\n");
  mixer_.devices = 0;
  TFrmMain& f = Create();
  EXPECT_TRUE(f.ChkEnableSound.Checked()) << "the mixer is asked when the window first shows";
  program_->ShowMainWindowGuarded();
  EXPECT_FALSE(f.ChkEnableSound.Checked());
  EXPECT_FALSE(f.EdtSoundPath.enabled || f.BtnBrowse.enabled || f.BtnPreview.enabled ||
               f.ChkLoop.enabled || f.ChkSetVolume.enabled || f.TckBarVolume.enabled ||
               f.Label10.enabled);
  EXPECT_EQ(f.TckBarVolume.position, 0);
  f.BtnOKClick();
  EXPECT_EQ(Read("Sound", "Enabled"), "False");
  EXPECT_EQ(Read("Sound", "SoundPath"), "C:\\a.wav");
}

TEST_F(MainFormTest, OkWritesEveryKeyInItsOrderWithItsSpelling) {
  TFrmMain& f = Create();
  f.ChkSystemTray.Click();
  f.SpinDuration.text = "12";
  f.EdtPowerdown.text = "Ctrl+F5";
  f.ChkEnableSound.Click();
  f.EdtSoundPath.text = "C:\\alarm.wav";
  f.ChkSetVolume.Click();
  f.TckBarVolume.position = 255;
  f.LvwCleanup.items[0].checked = true;
  f.ChkPassword.Click();
  f.EdtPwd.text = f.EdtPwdConfirm.text = "abc";
  f.ChkEnableLog.Click();
  f.BtnOKClick();
  const std::vector<std::string> expected = {
      "general/ShowSystemTray=True",
      "general/PreventTimeChange=false",
      "general/Duration=12",
      "general/EnableAbort=false",
      "Hotkeys/Powerdown=Ctrl+F5",
      "Hotkeys/Shutdown=None",
      "Hotkeys/Reboot=None",
      "Hotkeys/Hibernate=None",
      "Hotkeys/Suspend=None",
      "Hotkeys/Logoff=None",
      "Sound/Enabled=True",
      "Sound/SoundPath=C:\\alarm.wav",
      "Sound/Loop=False",
      "Sound/SetVolume=True",
      "Sound/Volume=65280",
      "CleanUp/RecycleBin=True",
      "CleanUp/TempFolder=false",
      "CleanUp/IEcache=false",
      "CleanUp/IEcookie=false",
      "CleanUp/IEhistory=false",
      "CleanUp/IEAutoComplete=false",
      "CleanUp/RecentDocument=false",
      "Password/Enabled=True",
      "Password/Password=" + PasswordDigest("abc"),
      "Log/Enabled=True",
  };
  EXPECT_EQ(ini_.log, expected);
  EXPECT_EQ(host_.hides, 1);
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(f.EdtPwd.text, PasswordPlaceholder);
  EXPECT_EQ(f.EdtPwdConfirm.text, PasswordPlaceholder);
}

TEST_F(MainFormTest, UnchangedHotkeysAreNotWrittenAgain) {
  Prepare("[Hotkeys]\r\nPowerdown=Ctrl+Alt+P\r\nShutdown=None\r\nReboot=ctrl+alt+r\r\n");
  TFrmMain& f = Create();
  f.EdtReboot.text = "Ctrl+Alt+R";  // letter case counts
  f.EdtShutdown.text = "";
  f.BtnOKClick();
  std::vector<std::string> hotkeyWrites;
  for (const auto& entry : ini_.log)
    if (entry.rfind("Hotkeys/", 0) == 0) hotkeyWrites.push_back(entry);
  EXPECT_EQ(hotkeyWrites,
            (std::vector<std::string>{"Hotkeys/Shutdown=None", "Hotkeys/Reboot=Ctrl+Alt+R",
                                      "Hotkeys/Hibernate=None", "Hotkeys/Suspend=None",
                                      "Hotkeys/Logoff=None"}));
}

TEST_F(MainFormTest, VolumeMapsBetweenTrackBarAndFile) {
  EXPECT_EQ(VolumeFromPosition(255), 65280u);
  EXPECT_EQ(VolumeFromPosition(1), 256u);
  EXPECT_EQ(VolumeFromPosition(0), 0u);
  EXPECT_EQ(VolumeFromPosition(-3), 0u);
  EXPECT_EQ(VolumeFromPosition(300), 65535u);

  Prepare("[Sound]\r\nVolume=65280\r\n");
  EXPECT_EQ(Create().TckBarVolume.position, 255);
  Prepare("[Sound]\r\nVolume=1\r\n");
  mixer_.volume = 40000;
  EXPECT_EQ(Create().TckBarVolume.position, 0) << "1 is not absent: 1 / 256";
  Prepare("[Sound]\r\nVolume=0x8000\r\n");
  EXPECT_EQ(Create().TckBarVolume.position, 128);
  Prepare("[Sound]\r\nVolume=0\r\n");
  Create();
  program_->ShowMainWindowGuarded();
  EXPECT_EQ(form_->TckBarVolume.position, 40000 / 256) << "0 counts as absent";
  Prepare("[Sound]\r\nVolume=131071\r\n");
  EXPECT_EQ(Create().TckBarVolume.position, 255) << "the low 16 bits";
}

TEST_F(MainFormTest, AlarmOffSavesOnlyEnabledAndKeepsTheRest) {
  Prepare(
      "[Sound]\r\nEnabled=True\r\nSoundPath=C:\\a.wav\r\nLoop=True\r\nSetVolume=True\r\n"
      "Volume=2560\r\n");
  TFrmMain& f = Create();
  f.ChkEnableSound.Click();
  f.ChkLoop.Click();
  f.TckBarVolume.position = 200;
  f.BtnOKClick();
  EXPECT_EQ(Read("Sound", "Enabled"), "False");
  EXPECT_EQ(Read("Sound", "SoundPath"), "C:\\a.wav");
  EXPECT_EQ(Read("Sound", "Loop"), "True");
  EXPECT_EQ(Read("Sound", "SetVolume"), "True");
  EXPECT_EQ(Read("Sound", "Volume"), "2560");
  f.BtnCancelClick();
  EXPECT_EQ(f.EdtSoundPath.text, "C:\\a.wav");
  EXPECT_TRUE(f.ChkLoop.Checked());
  EXPECT_EQ(f.TckBarVolume.position, 10);
}

TEST_F(MainFormTest, ChecksRunOnlyForTheShownPage) {
  TFrmMain& f = Create();
  f.ChkEnableSound.Click();  // alarm on, no file
  f.ChkPassword.Click();     // protection on, blank fields
  f.BtnOKClick();            // from the Timer page: nothing to check
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(Read("Sound", "Enabled"), "True");

  ini_.log.clear();
  Show(MainPage::Sound);
  EXPECT_EQ(f.ActivePage(), MainPage::Sound);
  f.BtnOKClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "Please select the sound file to play during the shutdown event.");
  EXPECT_EQ(boxes_.shown[0].caption, "Error");
  EXPECT_EQ(boxes_.shown[0].style, 64u);
  EXPECT_TRUE(ini_.log.empty()) << "nothing saved";
  EXPECT_EQ(host_.hides, 1) << "only the first OK hid the window";

  Show(MainPage::Password);
  EXPECT_EQ(f.ActivePage(), MainPage::Sound) << "the page cannot be left while its check fails";
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, boxes_.shown[0].text);

  f.EdtSoundPath.text = "C:\\a.wav";
  Show(MainPage::Password);
  EXPECT_EQ(f.ActivePage(), MainPage::Password);
  f.EdtPwd.text = "secret";
  f.EdtPwdConfirm.text = "";
  Show(MainPage::Log);
  ASSERT_EQ(boxes_.shown.size(), 3u);
  EXPECT_EQ(boxes_.shown[2].text,
            "The password and the password confirmation should not be blank.");
  f.EdtPwdConfirm.text = "Secret";
  f.BtnOKClick();
  ASSERT_EQ(boxes_.shown.size(), 4u);
  EXPECT_EQ(boxes_.shown[3].text, "The password and the password confirmation is not the same.");
  EXPECT_EQ(boxes_.shown[3].caption, "Error");
  EXPECT_TRUE(ini_.log.empty());
  f.EdtPwdConfirm.text = "secret";
  Show(MainPage::Log);
  EXPECT_EQ(f.ActivePage(), MainPage::Log);
}

TEST_F(MainFormTest, PageKeysStepRoundTheTabsThroughThePageChecks) {
  TFrmMain& f = Create();
  f.StepPage(1);
  EXPECT_EQ(f.ActivePage(), MainPage::Sound);
  Show(MainPage::General);
  f.StepPage(-1);
  EXPECT_EQ(f.ActivePage(), MainPage::About) << "round the first tab";
  f.StepPage(1);
  EXPECT_EQ(f.ActivePage(), MainPage::General) << "round the last tab";
  Show(MainPage::Password);
  f.ChkPassword.Click();  // protection on, blank fields
  f.StepPage(1);
  EXPECT_EQ(f.ActivePage(), MainPage::Password) << "the password rule holds the page";
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "The password and the password confirmation should not be blank.");
}

TEST_F(MainFormTest, PasswordPlaceholderMeansUnchanged) {
  Prepare("[Password]\r\nEnabled=True\r\nPassword=" + PasswordDigest("old") + "\r\n");
  TFrmMain& f = Create();
  f.BtnOKClick();
  EXPECT_EQ(Read("Password", "Password"), PasswordDigest("old"));
  for (const auto& entry : ini_.log)
    EXPECT_EQ(entry.rfind("Password/", 0), std::string::npos) << entry;

  // Typing ten asterisks as a new password is taken as unchanged, too.
  Show(MainPage::Password);
  f.EdtPwd.text = f.EdtPwdConfirm.text = "**********";
  f.BtnOKClick();
  EXPECT_EQ(Read("Password", "Password"), PasswordDigest("old"));

  f.EdtPwd.text = f.EdtPwdConfirm.text = "new";
  f.BtnOKClick();
  EXPECT_EQ(Read("Password", "Password"), PasswordDigest("new"));
  EXPECT_EQ(Read("Password", "Enabled"), "True");

  f.ChkPassword.Click();
  f.BtnOKClick();
  EXPECT_EQ(Read("Password", "Enabled"), "false");
  EXPECT_FALSE(Settings().ValueExists("Password", "Password"));
  EXPECT_EQ(f.EdtPwd.text, "");
  EXPECT_EQ(f.EdtPwdConfirm.text, "");
}

TEST_F(MainFormTest, CancelReloadsAndLeavesGuardAndMixerAlone) {
  Prepare(
      "[general]\r\nDuration=7\r\nShowSystemTray=True\r\n[Sound]\r\nEnabled=True\r\n"
      "SoundPath=C:\\a.wav\r\n");
  TFrmMain& f = Create();
  f.SpinDuration.text = "99";
  f.ChkSystemTray.Click();
  f.ChkNoChangeTime.Click();
  f.EdtLogoff.text = "Alt+L";
  f.LvwCleanup.items[3].checked = true;
  mixer_.devices = 0;
  f.BtnCancelClick();
  EXPECT_EQ(host_.hides, 1);
  EXPECT_EQ(f.SpinDuration.text, "7");
  EXPECT_TRUE(f.ChkSystemTray.Checked());
  EXPECT_FALSE(f.ChkNoChangeTime.Checked());
  EXPECT_EQ(f.EdtLogoff.text, "");
  EXPECT_FALSE(f.LvwCleanup.items[3].checked);
  EXPECT_TRUE(f.ChkEnableSound.Checked()) << "no mixer check on Cancel";
  EXPECT_FALSE(guard_.ClockGuardOn);
  EXPECT_TRUE(ini_.log.empty()) << "Cancel writes nothing";

  Prepare("[general]\r\nPreventTimeChange=True\r\n");
  f.BtnCancelClick();
  EXPECT_TRUE(f.ChkNoChangeTime.Checked());
  EXPECT_FALSE(guard_.ClockGuardOn) << "Cancel does not arm the guard";
}

TEST_F(MainFormTest, OkArmsTheClockGuardAnewOrSwitchesItOff) {
  TFrmMain& f = Create();
  f.ChkNoChangeTime.Click();
  clock_.tick = 777;
  clock_.now.minute = 30;
  f.BtnOKClick();
  EXPECT_TRUE(guard_.ClockGuardOn);
  EXPECT_EQ(guard_.ClockBaselineTick, 777u);
  EXPECT_DOUBLE_EQ(guard_.ClockBaseline, EncodeDateTime(clock_.now));
  f.ChkNoChangeTime.Click();
  f.BtnOKClick();
  EXPECT_FALSE(guard_.ClockGuardOn);
}

TEST_F(MainFormTest, FailedSaveReportsThenCancelsAndKeepsEarlierKeys) {
  Prepare("[general]\r\nDuration=5\r\n");
  TFrmMain& f = Create();
  f.SpinDuration.text = "45";
  f.ChkAbort.Click();
  f.ChkEnableLog.Click();
  f.ChkNoChangeTime.Click();
  ini_.writesBeforeRefusal = 3;  // ShowSystemTray, PreventTimeChange, Duration
  f.BtnOKClick();
  EXPECT_TRUE(guard_.ClockGuardOn) << "the guard follows the PreventTimeChange it wrote";
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "Can not save settings. You must be given \"modify\" access to the file: \"" +
                SettingsPath() + "\".");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(Read("general", "Duration"), "45") << "written before the failure";
  EXPECT_EQ(Read("general", "EnableAbort"), "");
  EXPECT_EQ(f.SpinDuration.text, "45") << "Cancel reloaded the written value";
  EXPECT_FALSE(f.ChkAbort.Checked()) << "Cancel threw the unsaved edit away";
  EXPECT_FALSE(f.ChkEnableLog.Checked());
  EXPECT_GE(host_.hides, 1);
}

TEST_F(MainFormTest, CloseIsCancelUntilExitIsRequested) {
  TFrmMain& f = Create();
  f.SpinDuration.text = "3";
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_EQ(host_.hides, 1);
  EXPECT_EQ(f.SpinDuration.text, "0");
  program_->ExitRequested = true;
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_EQ(host_.hides, 1);
}

TEST_F(MainFormTest, SmallBehavioursOfTheFields) {
  TFrmMain& f = Create();
  f.SpinDurationEnter();
  EXPECT_TRUE(f.SpinDuration.selectAllRequested);
  f.EdtHibernateMouseMove();
  EXPECT_EQ(f.TakeFocusRequest(), &f.EdtHibernate);
  EXPECT_EQ(f.TakeFocusRequest(), nullptr);
  f.EdtPwdConfirmMouseMove();
  EXPECT_EQ(f.TakeFocusRequest(), &f.EdtPwdConfirm);
}

TEST(CheckBoxState, CodeRunsTheClickHandlerOnlyOnAChange) {
  CheckBox box;
  int clicks = 0;
  box.onClick = [&] { ++clicks; };
  box.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  box.Click();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace halcyra
