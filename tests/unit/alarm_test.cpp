// The countdown's alarm steps and the Sound and Log pages of the main window.
#include "actions/alarm.h"

#include <gtest/gtest.h>

#include <map>

#include "core/drive_path.h"
#include "core/sound_path.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

class AlarmTest : public test::MainFormTest {
 protected:
  // A wave file that exists, and a path that does not.
  std::string Wave() {
    const std::string path = (folder_.Path() / "alarm.wav").string();
    std::ofstream(path) << "RIFF";
    return path;
  }
  std::string Missing() const { return (folder_.Path() / "missing.wav").string(); }
  AlarmServices Alarm() { return {mixer_, player_}; }
};

TEST_F(AlarmTest, StartAlarmAppliesTheVolumeAndPlays) {
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() +
          "\r\nloop=True\r\nSetVolume=True\r\nVolume=65280\r\n");
  mixer_.volume = 1000;
  AlarmState state;
  StartAlarm(LoadSoundSettings(Settings()), Alarm(), state);
  EXPECT_TRUE(state.AlarmStarted);
  EXPECT_EQ(state.SavedVolume, 1000);
  EXPECT_EQ(mixer_.volume, 65280);
  EXPECT_EQ(player_.calls, std::vector<std::string>{"play " + Wave() + " 9"});
  StopAlarm(LoadSoundSettings(Settings()), Alarm());
  EXPECT_EQ(player_.calls.back(), "stop 9");
}

TEST_F(AlarmTest, StartAlarmWithoutFileOrWhenOffChangesNothing) {
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Missing() +
          "\r\nSetVolume=True\r\nVolume=256\r\n");
  mixer_.volume = 1000;
  AlarmState state;
  StartAlarm(LoadSoundSettings(Settings()), Alarm(), state);
  EXPECT_TRUE(state.AlarmStarted) << "started, so that the end sequence stops it";
  EXPECT_EQ(state.SavedVolume, 0);
  EXPECT_EQ(mixer_.volume, 1000);
  EXPECT_TRUE(player_.calls.empty());

  Prepare("[Sound]\r\nEnabled=true\r\nSoundPath=" + Wave() + "\r\n");
  AlarmState off;
  StartAlarm(LoadSoundSettings(Settings()), Alarm(), off);
  EXPECT_FALSE(off.AlarmStarted);
  EXPECT_TRUE(player_.calls.empty());

  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() + "\r\nSetVolume=False\r\n");
  AlarmState once;
  StartAlarm(LoadSoundSettings(Settings()), Alarm(), once);
  EXPECT_EQ(player_.calls, std::vector<std::string>{"play " + Wave() + " 1"});
  EXPECT_EQ(mixer_.setCalls.size(), 0u);
}

class SoundPageTest : public AlarmTest {
 protected:
  TFrmMain& Page(bool setVolume) {
    Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() +
            (setVolume ? "\r\nSetVolume=True" : "") + "\r\nVolume=25600\r\n");
    return Create();
  }
};

TEST_F(SoundPageTest, PreviewTogglesAndRestoresTheSavedVolume) {
  mixer_.volume = 30000;
  TFrmMain& f = Page(true);
  EXPECT_EQ(f.BtnPreview.caption, "Preview");
  f.BtnPreviewClick();
  EXPECT_EQ(f.BtnPreview.caption, "Stop");
  EXPECT_EQ(f.PreviewSavedVolume, 30000);
  EXPECT_EQ(mixer_.volume, 25600);
  EXPECT_EQ(player_.calls, std::vector<std::string>{"play " + Wave() + " 1"});
  f.TckBarVolume.position = 255;
  f.TckBarVolumeChange();
  EXPECT_EQ(mixer_.volume, 65280) << "heard at once while the preview plays";
  f.BtnPreviewClick();
  EXPECT_EQ(f.BtnPreview.caption, "Preview");
  EXPECT_EQ(mixer_.volume, 30000);
  EXPECT_EQ(player_.calls.back(), "stop 1");
  EXPECT_EQ(f.PreviewSavedVolume, 30000) << "keeps its value";
}

TEST_F(SoundPageTest, TrackBarWithoutPreviewLeavesTheVolumeAlone) {
  mixer_.volume = 30000;
  TFrmMain& f = Page(true);
  f.TckBarVolume.position = 10;
  f.TckBarVolumeChange();
  f.ChkSetVolume.Click();
  f.ChkSetVolume.Click();
  EXPECT_TRUE(mixer_.setCalls.empty());
}

TEST_F(SoundPageTest, SavedVolumeOfZeroIsNeverPutBack) {
  mixer_.volume = 0;
  TFrmMain& f = Page(true);
  f.BtnPreviewClick();
  f.BtnPreviewClick();
  EXPECT_EQ(mixer_.setCalls, std::vector<std::uint16_t>{25600});
}

TEST_F(SoundPageTest, UncheckingSetVolumeDuringAPreviewRestoresAndRecheckingSavesAnew) {
  mixer_.volume = 30000;
  TFrmMain& f = Page(true);
  f.BtnPreviewClick();
  f.ChkSetVolume.Click();
  EXPECT_FALSE(f.TckBarVolume.enabled);
  EXPECT_EQ(mixer_.volume, 30000);
  mixer_.volume = 12345;
  f.ChkSetVolume.Click();
  EXPECT_EQ(f.PreviewSavedVolume, 12345);
  EXPECT_EQ(mixer_.volume, 25600);
}

TEST_F(SoundPageTest, PreviewWithoutSetVolumeStillRestoresAnEarlierSavedLevel) {
  mixer_.volume = 30000;
  TFrmMain& f = Page(true);
  f.BtnPreviewClick();
  f.BtnPreviewClick();
  f.ChkSetVolume.Click();
  mixer_.volume = 5000;
  f.BtnPreviewClick();
  EXPECT_EQ(mixer_.volume, 5000) << "nothing saved, nothing set";
  f.BtnPreviewClick();
  EXPECT_EQ(mixer_.volume, 30000);
}

TEST_F(SoundPageTest, BrowseDuringAPreviewStopsItWithoutRestoring) {
  mixer_.volume = 30000;
  TFrmMain& f = Page(true);
  f.ChkLoop.Click();
  f.BtnPreviewClick();
  dialogs_.answer = "C:\\other.wav";
  f.BtnBrowseClick();
  EXPECT_EQ(player_.calls.back(), "stop 9");
  EXPECT_EQ(f.BtnPreview.caption, "Preview");
  EXPECT_EQ(mixer_.volume, 25600);
  EXPECT_EQ(f.EdtSoundPath.text, "C:\\other.wav");
  EXPECT_TRUE(f.BtnPreview.enabled);
  EXPECT_EQ(dialogs_.asked, std::vector<std::string>{"Select sound file|Sound file(*.wav)|*.wav"});
}

TEST_F(SoundPageTest, CancelledBrowseDisablesPreviewOnlyWithoutAFile) {
  TFrmMain& f = Page(false);
  f.BtnBrowseClick();
  EXPECT_EQ(f.EdtSoundPath.text, Wave());
  EXPECT_TRUE(f.BtnPreview.enabled);
  f.EdtSoundPath.text.clear();
  f.BtnBrowseClick();
  EXPECT_FALSE(f.BtnPreview.enabled);
}

TEST_F(SoundPageTest, PreviewOfAMissingFileSaysSo) {
  TFrmMain& f = Page(false);
  f.BtnPreviewClick();
  f.EdtSoundPath.text = Missing();
  f.BtnPreviewClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The sound file does not exist.");
  EXPECT_EQ(boxes_.shown[0].caption, "Error");
  EXPECT_EQ(boxes_.shown[0].style, 0x40u);
  EXPECT_EQ(f.BtnPreview.caption, "Stop") << "a running preview keeps playing";
}

TEST_F(SoundPageTest, UncheckingTheAlarmLeavesAPreviewPlaying) {
  TFrmMain& f = Page(false);
  f.BtnPreviewClick();
  f.ChkEnableSound.Click();
  EXPECT_EQ(f.BtnPreview.caption, "Stop");
  EXPECT_EQ(player_.calls.size(), 1u);
}

TEST_F(SoundPageTest, ASoundOnAnotherComputerCountsAsMissing) {
  const auto mapped = [](char drive) { return drive == 'Z' || drive == 'z'; };
  for (const char* local : {"C:\\Windows\\Media\\ding.wav", "d:/alarm.wav", "\\\\?\\C:\\alarm.wav"})
    EXPECT_TRUE(IsLocalDrivePath(local, mapped)) << local;
  for (const char* remote :
       {"\\\\host\\share\\a.wav", "//host/share/a.wav", "\\\\?\\UNC\\host\\share\\a.wav",
        "\\\\host@SSL\\DavWWWRoot\\a.wav", "\\\\host@SSL@8443\\a.wav", "\\\\.\\pipe\\a",
        "\\\\?\\GLOBALROOT\\Device\\Mup\\host\\a.wav", "\\??\\UNC\\host\\a.wav", "Z:\\alarm.wav",
        "z:\\alarm.wav", "C:alarm.wav", "\\alarm.wav", "alarm.wav", "C:\\", ""})
    EXPECT_FALSE(IsLocalDrivePath(remote, mapped)) << remote;

  // A local-looking path may pass a junction to an object-manager folder whose link leads to
  // a share: a name surrogate anywhere on the way is missing; a cloud placeholder is not one.
  EXPECT_EQ(
      PathComponents("C:\\Media\\Alarms/ring.wav"),
      (std::vector<std::string>{"C:\\Media", "C:\\Media\\Alarms", "C:\\Media\\Alarms/ring.wav"}));
  EXPECT_EQ(PathComponents("\\\\?\\C:\\ring.wav"), std::vector<std::string>{"\\\\?\\C:\\ring.wav"});
  const auto walk = [](std::map<std::string, std::uint32_t> tags) {
    return ReachedWithoutLinks("C:\\Media\\Alarms\\ring.wav",
                               [tags](const std::string& c) -> std::optional<std::uint32_t> {
                                 const auto found = tags.find(c);
                                 if (found == tags.end()) return 0u;
                                 if (found->second == 1) return std::nullopt;  // unreadable
                                 return found->second;
                               });
  };
  EXPECT_TRUE(walk({}));
  EXPECT_TRUE(walk({{"C:\\Media\\Alarms\\ring.wav", 0x9000001Au}})) << "a cloud placeholder";
  EXPECT_FALSE(walk({{"C:\\Media", 0xA0000003u}})) << "a junction on the way";
  EXPECT_FALSE(walk({{"C:\\Media\\Alarms\\ring.wav", 0xA000000Cu}})) << "a symbolic link";
  EXPECT_FALSE(walk({{"C:\\Media\\Alarms", 1u}})) << "a component that cannot be read";

  // A path the player does not count as local is never played, nor even looked for.
  TFrmMain& f = Page(false);
  player_.remoteFiles = {Wave()};
  f.BtnPreviewClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "The sound file does not exist.");
  Prepare("[Sound]\r\nEnabled=True\r\nSoundPath=" + Wave() + "\r\nSetVolume=True\r\n");
  AlarmState state;
  StartAlarm(LoadSoundSettings(Settings()), Alarm(), state);
  EXPECT_TRUE(player_.calls.empty());
  EXPECT_EQ(state.SavedVolume, 0) << "no volume change either";
}

TEST_F(AlarmTest, ViewLogCreatesAnEmptyLogAndOpensIt) {
  TFrmMain& f = Create();
  const std::string log = *os_.commonAppData + "\\Halcyra\\Log.txt";
  ASSERT_FALSE(files_.Exists(log));
  f.CmdViewLogClick();
  EXPECT_TRUE(files_.Exists(log));
  EXPECT_EQ(shell_.calls, std::vector<std::string>{"open|" + log + "|c:\\|1"});
}

TEST_F(AlarmTest, EmptyLogAsksAndKeepsTheFileOnNo) {
  TFrmMain& f = Create();
  const std::string log = *os_.commonAppData + "\\Halcyra\\Log.txt";
  std::ofstream(log, std::ios::binary) << "2026-03-03 09:05:07    Reboot\r\n";
  boxes_.answers = {mb::kIdNo};
  f.CmdDeleteLogClick();
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "Do you really want to delete the log file?");
  EXPECT_EQ(boxes_.shown[0].caption, "Delete log file");
  EXPECT_EQ(boxes_.shown[0].style, 0x24u);
  EXPECT_EQ(std::filesystem::file_size(log), 31u);
  boxes_.answers = {mb::kIdYes};
  f.CmdDeleteLogClick();
  EXPECT_EQ(std::filesystem::file_size(log), 0u);
  std::filesystem::remove(log);
  std::filesystem::create_directory(log);  // a log that cannot be emptied
  boxes_.answers = {mb::kIdYes};
  EXPECT_THROW(f.CmdDeleteLogClick(), std::runtime_error) << "for the general handler to show";
}

}  // namespace
}  // namespace halcyra
