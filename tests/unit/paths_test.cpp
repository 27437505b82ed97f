#include "app/paths.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace halcyra {
namespace {

using test::FakeOsInfo;

FakeOsInfo Os(unsigned major, unsigned minor) {
  FakeOsInfo os;
  os.version = {major, minor};
  return os;
}

TEST(EditionWord, FollowsTheVersionTable) {
  struct Row {
    unsigned major, minor;
    const char* word;
  };
  const Row rows[] = {{10, 0, "Vista"},   {6, 1, "Vista"},  {6, 0, "Vista"},  {5, 2, "NewWinNT"},
                      {5, 0, "NewWinNT"}, {4, 10, "Win9x"}, {4, 90, "Win9x"}, {4, 0, "OldWinNt"},
                      {4, 1, ""},         {3, 51, ""},      {0, 0, ""}};
  for (const Row& row : rows) {
    EXPECT_EQ(GetOSEdition(Os(row.major, row.minor)), row.word) << row.major << "." << row.minor;
  }
}

// One platform object for every row: the folder is asked for afresh each time, never kept.
TEST(DataFolder, KnownVersionsAskTheShell) {
  struct Row {
    OsVersion version;
    std::optional<std::string> shell;
    std::string folder;
  };
  const Row rows[] = {
      {{10, 0}, "C:\\ProgramData", "C:\\ProgramData\\Halcyra"},
      {{6, 1}, "E:\\Shared", "E:\\Shared\\Halcyra"},
      {{5, 1}, "D:\\", "D:\\Halcyra"},  // no double backslash at a root
      {{4, 90}, "C:\\ProgramData", "C:\\ProgramData\\Halcyra"},
      {{4, 0}, "C:\\ProgramData", "C:\\ProgramData\\Halcyra"},
      {{6, 0}, std::nullopt, ""},  // the shell fails
      {{3, 51}, "C:\\ProgramData", ""},
      {{4, 1}, "C:\\ProgramData", ""},
  };
  FakeOsInfo os;
  for (const Row& row : rows) {
    os.version = row.version;
    os.commonAppData = row.shell;
    EXPECT_EQ(GetDataFolder(os), row.folder) << row.version.major << "." << row.version.minor;
    EXPECT_EQ(GetSettingsPath(os), row.folder.empty() ? "" : row.folder + "\\Halcyra.ini");
  }
}

}  // namespace
}  // namespace halcyra
