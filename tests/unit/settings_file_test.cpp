#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

class SettingsFileTest : public testing::Test {
 protected:
  SettingsFile Open() { return SettingsFile(ini_, folder_.File("Halcyra.ini"), format_); }
  void Prepare(const std::string& content) { folder_.WriteFile("Halcyra.ini", content); }
  std::string Content() const { return folder_.ReadFile("Halcyra.ini"); }

  test::TempFolder folder_;
  test::RefusingIniProfile ini_;
  RegionalFormat format_;
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadAsTheDefault) {
  EXPECT_EQ(Open().ReadString("general", "Duration"), "");
  EXPECT_EQ(Open().ReadInteger("Sound", "Volume"), 0);
  EXPECT_EQ(Open().ReadDateTime("Log", "LastRebootTime"), 0.0);
  EXPECT_FALSE(Open().IsOn("general", "ShowSystemTray"));
  EXPECT_TRUE(Open().ReadSection("Timer").empty());

  Prepare("[general]\r\nDuration=5\r\n");
  EXPECT_EQ(Open().ReadString("Sound", "Duration", "x"), "x");
  EXPECT_EQ(Open().ReadString("general", "EnableAbort", "y"), "y");
  EXPECT_EQ(Open().ReadInteger("general", "Missing", 7), 7);
}

TEST_F(SettingsFileTest, NamesCompareWithoutLetterCase) {
  SettingsFile file = Open();
  file.WriteString("Sound", "Loop", "True");
  file.WriteString("general", "Duration", "12");
  EXPECT_EQ(file.ReadString("Sound", "loop"), "True");
  EXPECT_EQ(file.ReadString("SOUND", "LOOP"), "True");
  EXPECT_EQ(file.ReadString("General", "duration"), "12");

  // Titles that differ only in letter case are one key; the first spelling stays.
  file.WriteString("Timer", "Night", "enabled,Reboot,23:00,Daily");
  file.WriteString("Timer", "NIGHT", "disabled,Reboot,23:30,Daily");
  EXPECT_EQ(file.ReadSection("Timer"), std::vector<std::string>{"Night"});
  EXPECT_EQ(file.ReadString("Timer", "night"), "disabled,Reboot,23:30,Daily");
  EXPECT_TRUE(file.ValueExists("timer", "nIGHT"));
}

TEST_F(SettingsFileTest, OnlyTheExactTextTrueIsOn) {
  Prepare("[general]\r\na=True\r\nb=true\r\nc=TRUE\r\nd=1\r\ne= True \r\n");
  SettingsFile file = Open();
  EXPECT_TRUE(file.IsOn("general", "a"));
  EXPECT_FALSE(file.IsOn("general", "b"));
  EXPECT_FALSE(file.IsOn("general", "c"));
  EXPECT_FALSE(file.IsOn("general", "d"));
  EXPECT_TRUE(file.IsOn("general", "e")) << "the INI layer trims blanks around values";
  EXPECT_FALSE(file.IsOn("general", "absent"));
}

TEST_F(SettingsFileTest, IntegersReadDecimalAndZeroXHexadecimal) {
  Prepare(
      "[Sound]\r\nhex=0x8000\r\nupper=0X1f\r\nshort=0x\r\nneg=-12\r\nbad=12a\r\nempty=\r\n"
      "max=2147483647\r\nover=2147483648\r\nbits=0xFFFFFFFF\r\nlong=0x100000000\r\n");
  SettingsFile file = Open();
  EXPECT_EQ(file.ReadInteger("Sound", "hex"), 32768);
  EXPECT_EQ(file.ReadInteger("Sound", "upper"), 31);
  EXPECT_EQ(file.ReadInteger("Sound", "short", 9), 9) << "two characters are not hexadecimal";
  EXPECT_EQ(file.ReadInteger("Sound", "neg"), -12);
  EXPECT_EQ(file.ReadInteger("Sound", "bad", 5), 5);
  EXPECT_EQ(file.ReadInteger("Sound", "empty", 6), 6);
  EXPECT_EQ(file.ReadInteger("Sound", "max"), 2147483647);
  EXPECT_EQ(file.ReadInteger("Sound", "over", 4), 4);
  EXPECT_EQ(file.ReadInteger("Sound", "bits"), -1);
  EXPECT_EQ(file.ReadInteger("Sound", "long", 3), 3);

  file.WriteInteger("Sound", "Volume", 65280);
  EXPECT_EQ(file.ReadString("Sound", "Volume"), "65280");
}

TEST_F(SettingsFileTest, EveryWriteReachesTheFileAtOnce) {
  Open().WriteString("general", "Duration", "5");
  EXPECT_EQ(Content(), "[general]\r\nDuration=5\r\n");
  Open().WriteString("general", "EnableAbort", "True");
  Open().WriteString("Log", "Enabled", "false");
  Open().WriteString("general", "Duration", "30");
  EXPECT_EQ(Content(),
            "[general]\r\nDuration=30\r\nEnableAbort=True\r\n[Log]\r\nEnabled=false\r\n");
  Open().DeleteKey("general", "Duration");
  Open().DeleteKey("general", "NoSuchKey");
  Open().DeleteKey("NoSuchSection", "Duration");
  EXPECT_EQ(Content(), "[general]\r\nEnableAbort=True\r\n[Log]\r\nEnabled=false\r\n");
}

TEST_F(SettingsFileTest, NewKeysGoToTheEndOfTheirSectionBeforeBlankLines) {
  Prepare("[general]\r\nA=1\r\n\r\n[Timer]\r\nx=1\r\n");
  Open().WriteString("General", "B", "2");
  EXPECT_EQ(Content(), "[general]\r\nA=1\r\nB=2\r\n\r\n[Timer]\r\nx=1\r\n");
}

// The layer keeps what it parsed and what it wrote; another program's change, even one of the
// same size, must still be seen by the next read. What tells it is the last-write time, which
// file systems keep only to a clock tick: each change here is stamped a second later.
TEST_F(SettingsFileTest, AChangeByAnotherProgramIsSeenByTheNextRead) {
  const auto changeTo = [this](const std::string& content) {
    const std::filesystem::path path = folder_.File("Halcyra.ini");
    const auto before = std::filesystem::last_write_time(path);
    Prepare(content);
    std::filesystem::last_write_time(path, before + std::chrono::seconds(1));
  };
  Prepare("[general]\r\nDuration=5\r\n");
  SettingsFile file = Open();
  EXPECT_EQ(file.ReadString("general", "Duration"), "5");
  changeTo("[general]\r\nDuration=7\r\n");
  EXPECT_EQ(file.ReadString("general", "Duration"), "7");

  file.WriteString("general", "EnableAbort", "True");
  EXPECT_EQ(file.ReadString("general", "Duration"), "7");
  EXPECT_EQ(file.ReadSection("general"), (std::vector<std::string>{"Duration", "EnableAbort"}));
  changeTo("[general]\r\nDuration=9\r\nEnableAbort=Fals\r\n");
  EXPECT_EQ(file.ReadString("general", "EnableAbort"), "Fals");
  file.DeleteKey("general", "Duration");
  EXPECT_EQ(Content(), "[general]\r\nEnableAbort=Fals\r\n");
  EXPECT_FALSE(file.ValueExists("general", "Duration"));
  std::filesystem::remove(folder_.File("Halcyra.ini"));
  EXPECT_EQ(file.ReadString("general", "EnableAbort", "gone"), "gone");
}

TEST_F(SettingsFileTest, SectionsListInFileOrder) {
  Prepare("[Timer]\r\nb=2\r\n; a comment\r\na=1\r\nc = 3\r\n[Other]\r\nd=4\r\n");
  SettingsFile file = Open();
  EXPECT_EQ(file.ReadSection("Timer"), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(file.ReadSectionValues("timer"), (std::vector<std::string>{"b=2", "a=1", "c=3"}));
  EXPECT_TRUE(file.ValueExists("Timer", "C"));
  EXPECT_FALSE(file.ValueExists("Timer", "d"));
}

TEST_F(SettingsFileTest, ValuesComeBackAsAtMost2047Characters) {
  const std::string longValue(3000, 'v');
  Open().WriteString("Sound", "SoundPath", longValue);
  EXPECT_EQ(Open().ReadString("Sound", "SoundPath"), std::string(2047, 'v'));
  const std::string fits(2047, 'w');
  Open().WriteString("Sound", "SoundPath", fits);
  EXPECT_EQ(Open().ReadString("Sound", "SoundPath"), fits);
}

// A title the code page cannot hold turns the file into UTF-16LE with its mark, every line
// kept; its letters still compare without case, and a long value is cut by UTF-16 units without
// splitting a character.
TEST_F(SettingsFileTest, TextOutsideTheCodePageTurnsTheFileUnicode) {
  Prepare("[general]\r\nDuration=5\r\n");
  const std::string title = "Zo\xC3\xAB \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8E\x89";
  Open().WriteString("Timer", title, "enabled,Reboot,23:00,Daily");
  EXPECT_TRUE(Content().starts_with("\xFF\xFE[\0g\0e\0n\0")) << Content();
  EXPECT_EQ(Open().ReadString("general", "Duration"), "5");
  EXPECT_EQ(Open().ReadSection("Timer"), std::vector<std::string>{title});
  EXPECT_EQ(Open().ReadString("Timer", "ZO\xC3\x8B \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8E\x89"),
            "enabled,Reboot,23:00,Daily");
  std::string party;
  for (int i = 0; i < 1024; ++i) party += "\xF0\x9F\x8E\x89";
  Open().WriteString("Sound", "SoundPath", party);
  EXPECT_EQ(Open().ReadString("Sound", "SoundPath"), party.substr(0, 1023 * 4));
}

// The names, each with its zero byte, and a final zero byte share 16,384 bytes: a last name that
// makes them 16,384 is listed, one a byte longer is not (a cut name names no entry).
TEST_F(SettingsFileTest, KeyListHolds16384BytesAndNoMore) {
  for (const std::size_t total : {16384u, 16385u}) {
    SCOPED_TRACE(total);
    // Its own zero byte, then "Last" with its zero byte and the final one: 7 bytes more.
    Prepare("[Timer]\r\n" + std::string(total - 7, 'A') +
            "=enabled,Shutdown,10:00,Daily\r\nLast=enabled,Reboot,11:00,Daily\r\n");
    EXPECT_EQ(Open().ReadSection("Timer").size(), total == 16384 ? 2u : 1u);
  }
}

TEST_F(SettingsFileTest, QuotesAroundAValueAreDroppedOnReading) {
  Prepare("[Sound]\r\nSoundPath=\"C:\\a b.wav\"\r\nOne='x'\r\nHalf=\"y\r\n");
  SettingsFile file = Open();
  EXPECT_EQ(file.ReadString("Sound", "SoundPath"), "C:\\a b.wav");
  EXPECT_EQ(file.ReadString("Sound", "One"), "x");
  EXPECT_EQ(file.ReadString("Sound", "Half"), "\"y");
}

TEST_F(SettingsFileTest, RefusedWriteRaisesUnableToWrite) {
  Prepare("[general]\r\nDuration=5\r\n");
  ini_.refuseWrites = true;
  SettingsFile file = Open();
  try {
    file.WriteString("general", "Duration", "9");
    FAIL() << "no error";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + folder_.File("Halcyra.ini"));
  }
  EXPECT_THROW(file.WriteInteger("Sound", "Volume", 1), SettingsWriteError);
  EXPECT_NO_THROW(file.DeleteKey("general", "Duration"));
  EXPECT_EQ(Content(), "[general]\r\nDuration=5\r\n");
}

TEST_F(SettingsFileTest, WriteIntoAMissingFolderIsRefused) {
  SettingsFile file(ini_, folder_.File("no-such-folder/Halcyra.ini"), format_);
  EXPECT_THROW(file.WriteString("general", "AppPath", "x"), SettingsWriteError);
}

TEST_F(SettingsFileTest, DateTimesUseTheRegionalFormat) {
  const DateTime reboot = EncodeDateTime({2026, 3, 0, 3, 9, 5, 7, 0});
  Open().WriteDateTime("Log", "LastRebootTime", reboot);
  EXPECT_EQ(Open().ReadString("Log", "LastRebootTime"), "3/3/2026 9:05:07 AM");
  EXPECT_DOUBLE_EQ(Open().ReadDateTime("Log", "LastRebootTime"), reboot);

  const DateTime midnight = EncodeDateTime({2026, 12, 0, 24, 0, 0, 0, 0});
  Open().WriteDateTime("Log", "LastRebootTime", midnight);
  EXPECT_EQ(Open().ReadString("Log", "LastRebootTime"), "12/24/2026");
  EXPECT_DOUBLE_EQ(Open().ReadDateTime("Log", "LastRebootTime"), midnight);

  format_.shortDate = "dd.MM.yyyy";
  format_.longTime = "HH:mm:ss";
  Open().WriteDateTime("Log", "LastRebootTime", reboot);
  EXPECT_EQ(Open().ReadString("Log", "LastRebootTime"), "03.03.2026 09:05:07");
  EXPECT_DOUBLE_EQ(Open().ReadDateTime("Log", "LastRebootTime"), reboot);

  Open().WriteString("Log", "LastRebootTime", "yesterday");
  EXPECT_EQ(Open().ReadDateTime("Log", "LastRebootTime", 1.5), 1.5);
}

}  // namespace
}  // namespace halcyra
