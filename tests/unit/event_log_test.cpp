#include "actions/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/portable/portable_text_files.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

const LocalTime kMorning{2026, 3, 2, 3, 9, 5, 7, 0};

TEST(EventLog, LineFormat) {
  EXPECT_EQ(EventLine(kMorning, ":", "Power off"), "2026-03-03 09:05:07    Power off\r\n");
  EXPECT_EQ(EventLine({2026, 12, 1, 31, 23, 59, 9, 999}, ".", "Log off"),
            "2026-12-31 23.59.09    Log off\r\n");
  EXPECT_EQ(EventLine(kMorning, ":", "Fly away"), "2026-03-03 09:05:07    Fly away\r\n")
      << "a word from a hand-edited timer is written unchanged";
}

class EventLogFileTest : public testing::Test {
 protected:
  EventLogFileTest() { os_.commonAppData = (folder_.Path() / "root").string(); }
  void SetUp() override {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
  }
  std::string Log() const { return *os_.commonAppData + "\\Halcyra\\Log.txt"; }
  std::string Content() const {
    std::ifstream in(Log(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  test::TempFolder folder_;
  test::FakeOsInfo os_;
  PortableTextFiles files_;
  test::FixedRegionalSettings regional_;
};

TEST_F(EventLogFileTest, FirstLineCreatesTheFileLaterLinesAppend) {
  ASSERT_FALSE(files_.Exists(Log()));
  AppendEventLine({os_, files_, regional_}, kMorning, "Reboot");
  EXPECT_EQ(Content(), "2026-03-03 09:05:07    Reboot\r\n");
  regional_.format.timeSeparator = ".";
  AppendEventLine({os_, files_, regional_}, kMorning, "Suspend");
  EXPECT_EQ(Content(), "2026-03-03 09:05:07    Reboot\r\n2026-03-03 09.05.07    Suspend\r\n");
  // A hand-edited word as the settings file held it: text of the code page in the log too.
  AppendEventLine({os_, files_, regional_}, kMorning, "Sh\xC3\xBCtdown");
  EXPECT_EQ(Content().substr(Content().rfind("    ")), "    Sh\xFCtdown\r\n");
}

TEST_F(EventLogFileTest, UnwritableLogRaises) {
  os_.commonAppData = (folder_.Path() / "missing" / "deeper").string();
  EXPECT_THROW(AppendEventLine({os_, files_, regional_}, kMorning, "Reboot"), LogWriteError);
}

}  // namespace
}  // namespace halcyra
