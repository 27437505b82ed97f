#include "schedule/timer_record.h"

#include <gtest/gtest.h>

#include "schedule/timer_list.h"

namespace halcyra {
namespace {

TEST(ParseTimerEntry, SplitsTheFourFields) {
  const TTimerRecord r = ParseTimerEntry("Night=enabled,Power off,23:30,Weekday");
  EXPECT_EQ(r.Title, "Night");
  EXPECT_TRUE(r.Enabled);
  EXPECT_EQ(r.ShutEvent, "Power off");
  EXPECT_EQ(r.Time, "23:30");
  EXPECT_EQ(r.Frequency, "Weekday");
  EXPECT_EQ(r.WakeTimer, nullptr);
}

TEST(ParseTimerEntry, NeverFailsAndValidatesNothing) {
  const TTimerRecord capital = ParseTimerEntry("A=Enabled,Reboot,12:00,Friday");
  EXPECT_FALSE(capital.Enabled) << "the state word is compared exactly";
  EXPECT_FALSE(ParseTimerEntry("A= enabled,Reboot,12:00,Friday").Enabled) << "no trimming";

  const TTimerRecord noSeparators = ParseTimerEntry("Lonely");
  EXPECT_EQ(noSeparators.Title, "Lonely");
  EXPECT_FALSE(noSeparators.Enabled);
  EXPECT_EQ(noSeparators.ShutEvent, "");
  EXPECT_EQ(noSeparators.Time, "");
  EXPECT_EQ(noSeparators.Frequency, "");

  const TTimerRecord shortOne = ParseTimerEntry("B=enabled,Reboot");
  EXPECT_EQ(shortOne.ShutEvent, "Reboot");
  EXPECT_EQ(shortOne.Time, "");
  EXPECT_EQ(shortOne.Frequency, "");

  const TTimerRecord extra = ParseTimerEntry("C=a=b,Fly away,7:5,Daily,again");
  EXPECT_EQ(extra.Title, "C");
  EXPECT_FALSE(extra.Enabled);
  EXPECT_EQ(extra.ShutEvent, "Fly away");
  EXPECT_EQ(extra.Time, "7:5");
  EXPECT_EQ(extra.Frequency, "Daily,again") << "everything after the third comma";
  EXPECT_FALSE(ParseTimerEntry("D=enabled,Reboot ,12:00,Daily").Event)
      << "an event word is compared exactly, blanks and all";

  EXPECT_EQ(ParseTimerEntry("=enabled,Shutdown,10:00,Once").Title, "");
}

TEST(FormatTimerEntry, JoinsTheFieldsWithoutBlanks) {
  EXPECT_EQ(FormatTimerEntry(true, "Power off", "23", "30", "Weekday"),
            "enabled,Power off,23:30,Weekday");
  EXPECT_EQ(FormatTimerEntry(false, "Log off", "07", "05", "Sunday"),
            "disabled,Log off,07:05,Sunday");
}

TEST(TimeOfDay, ParsesDecimalHourAndMinuteOnly) {
  EXPECT_EQ(ParseTimeOfDay("07:05"), std::make_pair(7, 5));
  EXPECT_EQ(ParseTimeOfDay("7:5"), std::make_pair(7, 5));
  EXPECT_EQ(ParseTimeOfDay(" 7: 5"), std::make_pair(7, 5))
      << "blanks before each number are skipped";
  EXPECT_EQ(ParseTimeOfDay("23:59:10"), std::nullopt) << "the minute is \"59:10\"";
  for (const char* bad : {"", "7", "07:", ":05", "ab:cd", "0x1:05", "12:3a", "1 2:00"})
    EXPECT_EQ(ParseTimeOfDay(bad), std::nullopt) << bad;
}

TEST(TimerList, RowsShowTheStoredTexts) {
  const ListRow row = TimerRow(ParseTimerEntry("T=disabled,Reboot,12:00,Friday"));
  EXPECT_EQ(row.caption, "T");
  EXPECT_EQ(row.subItems, (std::vector<std::string>{"Disabled", "Reboot", "12:00", "Friday"}));
  EXPECT_EQ(TimerRow(ParseTimerEntry("U=enabled,x,1:2,y")).subItems[0], "Enabled");
}

TEST(TimerList, SortsByActivationTimeAsText) {
  std::vector<TTimerRecord> timers;
  for (const char* line : {"a=enabled,Shutdown,23:59,Daily", "b=enabled,Shutdown,7:5,Daily",
                           "c=enabled,Shutdown,00:05,Daily", "d=enabled,Shutdown,23:30,Daily",
                           "e=enabled,Shutdown,09:15,Daily"})
    timers.push_back(ParseTimerEntry(line));
  ListView list;
  FillTimerList(list, timers, kTimerSortColumn);
  std::vector<std::string> order;
  for (const ListRow& row : list.rows) order.push_back(row.caption);
  EXPECT_EQ(order, (std::vector<std::string>{"c", "e", "d", "a", "b"}))
      << "\"7:5\" sorts after \"23:30\" because the comparison is textual";
}

TEST(TimerList, CompareFoldsLettersAndUsesTheChosenColumn) {
  const ListRow a{"alpha", {"Enabled", "reboot", "10:00", "Daily"}, false};
  const ListRow b{"Beta", {"Disabled", "Reboot", "09:00", "daily"}, false};
  EXPECT_LT(LvwTimerCompare(a, b, 0), 0);
  EXPECT_GT(LvwTimerCompare(a, b, 1), 0);
  EXPECT_EQ(LvwTimerCompare(a, b, 2), 0);
  EXPECT_GT(LvwTimerCompare(a, b, 3), 0);
  EXPECT_EQ(LvwTimerCompare(a, b, 4), 0);
  // Folding to upper case puts "_" (0x5F) after the letters.
  const ListRow underscore{"_x", {}, false};
  const ListRow letter{"z", {}, false};
  EXPECT_GT(LvwTimerCompare(underscore, letter, 0), 0);
}

}  // namespace
}  // namespace halcyra
