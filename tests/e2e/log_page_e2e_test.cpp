// The Log page of the built program under Wine: viewing and emptying the event log.
#include <gtest/gtest.h>

#include <thread>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
constexpr int kLogPage = 6;

class LogPageE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(Log());
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
    app_.emplace();
    main_ = ShowMainWindow(*app_);
    ASSERT_NE(main_, nullptr);
    ASSERT_EQ(SelectTab(Control(main_, ids::kPageControl), kLogPage), kLogPage);
  }
  static std::string Log() { return DataFile("Log.txt"); }
  static long long Size(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  std::optional<AppProcess> app_;
  HWND main_ = nullptr;
};

TEST_F(LogPageE2E, ViewCreatesAnEmptyLogAndOpensIt) {
  ClickDialogButton(main_, ids::kCmdViewLog);
  WaitUntil([this] { return FileExists(Log()); });
  EXPECT_EQ(Size(Log()), 0);
  // The file opens in the program associated with text files; close it again.
  HWND viewer = nullptr;
  WaitUntil([&viewer] { return (viewer = FindWindowA("Notepad", nullptr)) != nullptr; });
  ASSERT_NE(viewer, nullptr) << "the associated viewer shows the log";
  EXPECT_NE(WindowText(viewer).find("Log"), std::string::npos) << WindowText(viewer);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
}

TEST_F(LogPageE2E, EmptyAsksThenKeepsOrEmptiesTheFile) {
  WriteFileText(Log(), "2026-03-03 09:05:07    Reboot\r\n");
  ClickDialogButton(main_, ids::kCmdDeleteLog);
  EXPECT_EQ(AnswerMessageBox(*app_, IDNO),
            (BoxSaid{"Delete log file", "Do you really want to delete the log file?"}));
  Settle(main_);
  EXPECT_EQ(Size(Log()), 31);

  ClickDialogButton(main_, ids::kCmdDeleteLog);
  EXPECT_NE(AnswerMessageBox(*app_, IDYES), BoxSaid{});
  WaitUntil([this] { return Size(Log()) == 0; });
  EXPECT_EQ(Size(Log()), 0) << "the file stays, empty";
}

}  // namespace
}  // namespace halcyra::e2e
