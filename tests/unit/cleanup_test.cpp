#include "actions/cleanup.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/temp_folder_guard.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

// Records each task; a task can change the settings file under the run.
class RecordingTasks final : public CleanupTasks {
 public:
  std::vector<std::string> ran;
  std::function<void(const std::string&)> onTask;
  void EmptyRecycleBin() override { Ran("RecycleBin"); }
  void ClearTempFolder() override { Ran("TempFolder"); }
  void ClearIECache() override { Ran("IEcache"); }
  void ClearIECookies() override { Ran("IEcookie"); }
  void ClearIEHistory() override { Ran("IEhistory"); }
  void ClearTypedURLs() override { Ran("IEAutoComplete"); }
  void ClearRecentDocuments() override { Ran("RecentDocument"); }

 private:
  void Ran(const std::string& task) {
    ran.push_back(task);
    if (onTask) onTask(task);
  }
};

class CleanupTest : public testing::Test {
 protected:
  SettingsFile File() { return SettingsFile(ini_, folder_.File("Halcyra.ini"), {}); }
  test::TempFolder folder_;
  PortableIniProfile ini_;
  RecordingTasks tasks_;
};

TEST_F(CleanupTest, AllFlagsOffRunsNothing) {
  folder_.WriteFile("Halcyra.ini", "[CleanUp]\r\nRecycleBin=true\r\nTempFolder=false\r\n");
  RunCleanupTasks(File(), tasks_);
  EXPECT_TRUE(tasks_.ran.empty());
}

TEST_F(CleanupTest, TasksRunInTheirFixedOrderByTheirOwnFlags) {
  folder_.WriteFile("Halcyra.ini",
                    "[CleanUp]\r\nRecentDocument=True\r\nIEcookie=True\r\nRecycleBin=True\r\n");
  RunCleanupTasks(File(), tasks_);
  EXPECT_EQ(tasks_.ran, (std::vector<std::string>{"RecycleBin", "IEcookie", "RecentDocument"}));

  tasks_.ran.clear();
  folder_.WriteFile("Halcyra.ini", "[CleanUp]\r\nIEcookie=True\r\n");
  RunCleanupTasks(File(), tasks_);
  EXPECT_EQ(tasks_.ran, std::vector<std::string>{"IEcookie"});
}

TEST_F(CleanupTest, EachFlagIsReadJustBeforeItsTask) {
  folder_.WriteFile("Halcyra.ini", "[CleanUp]\r\nRecycleBin=True\r\n");
  tasks_.onTask = [this](const std::string& task) {
    if (task == "RecycleBin") File().WriteString("CleanUp", "RecentDocument", "True");
  };
  RunCleanupTasks(File(), tasks_);
  EXPECT_EQ(tasks_.ran, (std::vector<std::string>{"RecycleBin", "RecentDocument"}));
}

// What the system may name as the temporary folder, and what the clean-up then does with it.
TEST(TempFolderGuard, OnlyARealTemporaryFolderIsEmptied) {
  const std::vector<std::string> kept = {"C:\\Windows",
                                         "C:\\Windows\\system32",
                                         "C:\\Users\\ann",
                                         "C:\\Users\\ann\\Documents",
                                         "C:\\Users\\ann\\AppData\\Roaming",
                                         "C:\\Program Files",
                                         "D:\\Data\\Pictures"};
  for (const char* temp :
       {"C:\\Users\\ann\\AppData\\Local\\Temp", "C:\\Users\\ann\\AppData\\Local\\Temp\\",
        "C:\\Temp", "c:/temp", "c:\\windows\\temp", "\\\\server\\share\\temp"})
    EXPECT_TRUE(IsClearableTempFolder(temp, kept)) << temp;
  for (const char* refused :
       {"C:\\Users\\ann\\",    // the fallback without TMP and TEMP: the profile
        "c:/users/ANN",        // the same, spelled otherwise
        "C:\\Users\\ann ",     // the same: Windows drops a trailing blank
        "C:\\Windows\\",       // the next fallback
        "C:\\", "C:", "D:\\",  // drive roots, with a protected folder or
        "E:\\",                // without
        "C:\\Users",           // above a protected folder
        "D:\\Data",            // above one on another drive
        "C:\\Users\\ann\\AppData\\Roaming", "C:\\Program Files\\", "\\\\server\\share",
        "\\\\server", "\\\\?\\C:\\Temp",  // share roots, device paths
        "", "   ", "Temp", "\\Temp"})     // nothing, or no full path
    EXPECT_FALSE(IsClearableTempFolder(refused, kept)) << refused;
  EXPECT_FALSE(IsClearableTempFolder("C:Temp", kept)) << "the current folder of drive C:";
}

}  // namespace
}  // namespace halcyra
