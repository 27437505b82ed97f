#include "core/date_time.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  LocalTime t;
  t.year = static_cast<std::uint16_t>(y);
  t.month = static_cast<std::uint16_t>(mo);
  t.day = static_cast<std::uint16_t>(d);
  t.hour = static_cast<std::uint16_t>(h);
  t.minute = static_cast<std::uint16_t>(mi);
  t.second = static_cast<std::uint16_t>(s);
  t.milliseconds = static_cast<std::uint16_t>(ms);
  return t;
}

TEST(DateTime, CountsDaysFrom30December1899) {
  EXPECT_EQ(DaysFromCivil(1899, 12, 30), 0);
  EXPECT_EQ(DaysFromCivil(1900, 1, 1), 2);
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 25569);
  EXPECT_EQ(DaysFromCivil(2026, 3, 3), 46084);
  EXPECT_EQ(DayOfWeekOfDays(0), 6u) << "30 December 1899 was a Saturday";
  EXPECT_EQ(DayOfWeekOfDays(DaysFromCivil(2026, 12, 7)), 1u) << "a Monday";
  EXPECT_DOUBLE_EQ(EncodeDateTime(At(1899, 12, 30, 12)), 0.5);
}

TEST(DateTime, DifferenceTimes86400IsSeconds) {
  const DateTime a = EncodeDateTime(At(2026, 3, 28, 23, 59, 58, 500));
  const DateTime b = EncodeDateTime(At(2026, 3, 29, 0, 0, 3, 0));
  EXPECT_NEAR((b - a) * kSecondsPerDay, 4.5, 1e-6);
}

TEST(DateTime, DecodeIsTheInverseToTheMillisecond) {
  for (const LocalTime t : {At(2026, 3, 3, 9, 5, 7, 250), At(2024, 2, 29, 23, 59, 59, 999),
                            At(2000, 1, 1), At(1900, 3, 1, 12, 0, 0, 1)}) {
    const LocalTime back = DecodeDateTime(EncodeDateTime(t));
    EXPECT_EQ(back.year, t.year);
    EXPECT_EQ(back.month, t.month);
    EXPECT_EQ(back.day, t.day);
    EXPECT_EQ(back.hour, t.hour);
    EXPECT_EQ(back.minute, t.minute);
    EXPECT_EQ(back.second, t.second);
    EXPECT_EQ(back.milliseconds, t.milliseconds);
  }
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(At(2026, 12, 6))).dayOfWeek, 0u);
}

TEST(DateTime, TextLeavesTheTimeOffAtMidnight) {
  RegionalFormat us;
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3, 9, 5, 7)), us), "3/3/2026 9:05:07 AM");
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3, 21, 5, 7)), us), "3/3/2026 9:05:07 PM");
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3, 0, 0, 1)), us), "3/3/2026 12:00:01 AM");
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3, 12, 30)), us), "3/3/2026 12:30:00 PM");
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3)), us), "3/3/2026");

  RegionalFormat iso{"yyyy-MM-dd", "HH'h'mm:ss", ":", "", ""};
  EXPECT_EQ(DateTimeToText(EncodeDateTime(At(2026, 3, 3, 9, 5, 7)), iso), "2026-03-03 09h05:07");
}

TEST(DateTime, TextReadsBackInEveryDayOrder) {
  const DateTime value = EncodeDateTime(At(2026, 11, 4, 17, 30, 9));
  const RegionalFormat formats[] = {
      {"M/d/yyyy", "h:mm:ss tt", ":", "AM", "PM"},
      {"dd.MM.yyyy", "HH:mm:ss", ":", "", ""},
      {"yyyy-MM-dd", "HH.mm.ss", ".", "", ""},
      {"d/M/yy", "tt hh:mm:ss", ":", "am", "pm"},
  };
  for (const RegionalFormat& f : formats) {
    const std::string text = DateTimeToText(value, f);
    const auto back = TextToDateTime(text, f);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_NEAR(*back, value, 1e-9) << text;
  }
}

TEST(DateTime, TextThatIsNoDateTimeIsRefused) {
  RegionalFormat us;
  for (const char* text : {"", "  ", "yesterday", "13/1/2026", "2/30/2026", "1/1/2026 25:00:00",
                           "1/1/2026 10:61", "1/1/2026 10:00:00 XM", "1/1/2026 junk", "1/1"}) {
    EXPECT_FALSE(TextToDateTime(text, us).has_value()) << text;
  }
  ASSERT_TRUE(TextToDateTime("9:05:07 AM", us).has_value());
  EXPECT_NEAR(*TextToDateTime("9:05:07 AM", us), (9 * 3600 + 5 * 60 + 7) / kSecondsPerDay, 1e-12);
  EXPECT_NEAR(TextToDateTime("2/29/2028 12:30 AM", us).value_or(0),
              EncodeDateTime(At(2028, 2, 29, 0, 30)), 1e-9);
  EXPECT_NEAR(*TextToDateTime("12/24/2026 23:15", us), EncodeDateTime(At(2026, 12, 24, 23, 15)),
              1e-9);
}

}  // namespace
}  // namespace halcyra
