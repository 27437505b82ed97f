// The Sound page of the built program, in a run that gives Wine an audio device.
#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
constexpr int kSoundPage = 3;

TEST(SoundPageWithDevice, PreviewTogglesAndAMissingFileIsReported) {
  const std::string wave = DataFile("alarm.wav");
  WriteFileText(wave, "RIFF");
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\n[Sound]\r\n"
                "Enabled=True\r\nSoundPath=" +
                    wave + "\r\n");
  AppProcess app;
  HWND main = ShowMainWindow(app);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), kSoundPage), kSoundPage);
  HWND preview = Control(main, ids::kBtnPreview);
  ASSERT_TRUE(IsWindowEnabled(preview)) << "a mixer device keeps the alarm on";
  EXPECT_EQ(WindowText(preview), "Preview");
  ClickDialogButton(main, ids::kBtnPreview);
  EXPECT_TRUE(WaitUntil([preview] { return WindowText(preview) == "Stop"; }, 2s));
  ClickDialogButton(main, ids::kBtnPreview);
  EXPECT_TRUE(WaitUntil([preview] { return WindowText(preview) == "Preview"; }, 2s));

  SetText(Control(main, ids::kEdtSoundPath), DataFile("missing.wav"));
  ClickDialogButton(main, ids::kBtnPreview);
  EXPECT_EQ(AnswerMessageBox(app, IDOK), (BoxSaid{"Error", "The sound file does not exist."}));
  RemoveFile(wave);
}

// Browse opens the system's open-file dialog (a library loaded for it alone); the file chosen
// there becomes the alarm.
TEST(SoundPageWithDevice, BrowseChoosesTheAlarmFile) {
  const std::string wave = DataFile("chosen.wav");
  WriteFileText(wave, "RIFF");
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\n[Sound]\r\nEnabled=True\r\n");
  AppProcess app;
  HWND main = ShowMainWindow(app);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(SelectTab(Control(main, ids::kPageControl), kSoundPage), kSoundPage);
  ClickDialogButton(main, ids::kBtnBrowse);
  HWND dialog = FindWindowOf(app, "#32770", "Select sound file");
  ASSERT_NE(dialog, nullptr);
  // The file name field: a combo box in the Explorer-style dialog, an edit in the old one.
  HWND name = GetDlgItem(dialog, cmb13);
  if (!name) name = GetDlgItem(dialog, edt1);
  ASSERT_NE(name, nullptr);
  SetText(name, wave);
  ClickDialogButton(dialog, IDOK);
  HWND path = Control(main, ids::kEdtSoundPath);
  EXPECT_TRUE(WaitUntil([path, &wave] { return WindowText(path) == wave; }, 5s))
      << WindowText(path);
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kBtnPreview)));
  RemoveFile(wave);
}

}  // namespace
}  // namespace halcyra::e2e
