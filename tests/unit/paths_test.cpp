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

TEST(DataFolder, Windows98UsesTheWindowsDirectory) {
  FakeOsInfo os = Os(4, 10);
  os.windowsDirectory = "C:\\WINDOWS";
  os.commonAppData = std::nullopt;  // never asked on this version
  EXPECT_EQ(GetDataFolder(os), "C:\\WINDOWS\\All Users\\Application Data\\Halcyra");
  EXPECT_EQ(GetSettingsPath(os), "C:\\WINDOWS\\All Users\\Application Data\\Halcyra\\Halcyra.ini");

  os.windowsDirectory = "C:\\";
  EXPECT_EQ(GetSettingsPath(os), "C:\\All Users\\Application Data\\Halcyra\\Halcyra.ini");
}

TEST(DataFolder, OtherKnownVersionsAskTheShell) {
  for (const OsVersion v :
       {OsVersion{10, 0}, OsVersion{6, 1}, OsVersion{5, 1}, OsVersion{4, 90}, OsVersion{4, 0}}) {
    FakeOsInfo os = Os(v.major, v.minor);
    os.windowsDirectory = "D:\\ignored";
    os.commonAppData = "C:\\ProgramData";
    EXPECT_EQ(GetDataFolder(os), "C:\\ProgramData\\Halcyra");
    EXPECT_EQ(GetSettingsPath(os), "C:\\ProgramData\\Halcyra\\Halcyra.ini");
  }
}

TEST(DataFolder, DriveRootFromTheShellGetsNoDoubleBackslash) {
  FakeOsInfo os = Os(5, 1);
  os.commonAppData = "D:\\";
  EXPECT_EQ(GetDataFolder(os), "D:\\Halcyra");
  EXPECT_EQ(GetSettingsPath(os), "D:\\Halcyra\\Halcyra.ini");
}

TEST(DataFolder, EmptyWhenTheShellFailsOrTheVersionIsUnknown) {
  FakeOsInfo failing = Os(6, 0);
  failing.commonAppData = std::nullopt;
  EXPECT_EQ(GetDataFolder(failing), "");
  EXPECT_EQ(GetSettingsPath(failing), "");

  for (const OsVersion v : {OsVersion{3, 51}, OsVersion{4, 1}}) {
    const FakeOsInfo unknown = Os(v.major, v.minor);
    EXPECT_EQ(GetDataFolder(unknown), "");
    EXPECT_EQ(GetSettingsPath(unknown), "");
  }
}

TEST(DataFolder, AsksThePlatformAfreshEachTime) {
  FakeOsInfo os = Os(10, 0);
  EXPECT_EQ(GetDataFolder(os), "C:\\ProgramData\\Halcyra");
  os.commonAppData = "E:\\Shared";
  EXPECT_EQ(GetDataFolder(os), "E:\\Shared\\Halcyra");
  os.version = {4, 10};
  EXPECT_EQ(GetOSEdition(os), "Win9x");
}

}  // namespace
}  // namespace halcyra
