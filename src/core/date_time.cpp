#include "core/date_time.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace halcyra {
namespace {

constexpr long long kUnixEpochInDays = 25569;  // 1 January 1970 counted from 30 December 1899
constexpr double kMillisecondsPerDay = 86400000.0;

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(int year, unsigned month) {
  static constexpr std::array<unsigned, 12> kDays = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string Padded(unsigned value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*u", width, value);
  return buffer;
}

// Walks a Windows date or time pattern: calls onField(letter, runLength) for each run of a
// pattern letter and onLiteral(text) for everything else; '...' quotes literal text.
template <typename Field, typename Literal>
void WalkPattern(const std::string& pattern, const char* letters, Field onField,
                 Literal onLiteral) {
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'') {
      std::string literal;
      ++i;
      while (i < pattern.size()) {
        if (pattern[i] == '\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            literal += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        literal += pattern[i++];
      }
      onLiteral(literal);
    } else if (std::string_view(letters).find(c) != std::string_view::npos) {
      std::size_t run = 1;
      while (i + run < pattern.size() && pattern[i + run] == c) ++run;
      onField(c, run);
      i += run;
    } else {
      onLiteral(std::string(1, c));
      ++i;
    }
  }
}

class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::optional<unsigned> Number(int* digits = nullptr) {
    std::size_t start = pos_;
    unsigned value = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])) &&
           pos_ - start < 9) {
      value = value * 10 + static_cast<unsigned>(text_[pos_] - '0');
      ++pos_;
    }
    if (pos_ == start) return std::nullopt;
    if (digits) *digits = static_cast<int>(pos_ - start);
    return value;
  }
  bool Consume(const std::string& token, bool ignoreCase = false) {
    if (token.empty() || text_.size() - pos_ < token.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
      char a = text_[pos_ + i];
      char b = token[i];
      if (ignoreCase) {
        a = static_cast<char>(std::toupper(static_cast<unsigned char>(a)));
        b = static_cast<char>(std::toupper(static_cast<unsigned char>(b)));
      }
      if (a != b) return false;
    }
    pos_ += token.size();
    return true;
  }
  std::size_t Position() const { return pos_; }
  void Rewind(std::size_t pos) { pos_ = pos; }

 private:
  const std::string& text_;
  std::size_t pos_ = 0;
};

// The order of day, month and year in the short-date pattern and its separator.
struct DateLayout {
  std::string order;  // e.g. "Mdy"
  std::string separator = "/";
};

DateLayout LayoutOf(const std::string& shortDate) {
  DateLayout layout;
  bool haveSeparator = false;
  WalkPattern(
      shortDate, "dMyg",
      [&](char letter, std::size_t) {
        if (letter != 'g' && layout.order.find(letter) == std::string::npos) layout.order += letter;
      },
      [&](const std::string& literal) {
        if (!haveSeparator && !layout.order.empty() && literal != " ") {
          layout.separator = literal;
          haveSeparator = true;
        }
      });
  if (layout.order.size() != 3) layout.order = "Mdy";
  return layout;
}

struct TimeOfDay {
  unsigned hour = 0, minute = 0, second = 0, milliseconds = 0;
};

bool ScanMeridiem(Scanner& in, const RegionalFormat& fmt, int& meridiem) {
  if (in.Consume(fmt.am, true) || in.Consume("AM", true)) {
    meridiem = 0;
    return true;
  }
  if (in.Consume(fmt.pm, true) || in.Consume("PM", true)) {
    meridiem = 1;
    return true;
  }
  return false;
}

std::optional<TimeOfDay> ScanTime(Scanner& in, const RegionalFormat& fmt) {
  int meridiem = -1;
  in.SkipBlanks();
  if (ScanMeridiem(in, fmt, meridiem)) in.SkipBlanks();
  TimeOfDay t;
  auto hour = in.Number();
  if (!hour || !in.Consume(fmt.timeSeparator)) return std::nullopt;
  auto minute = in.Number();
  if (!minute) return std::nullopt;
  t.hour = *hour;
  t.minute = *minute;
  if (in.Consume(fmt.timeSeparator)) {
    auto second = in.Number();
    if (!second) return std::nullopt;
    t.second = *second;
    if (in.Consume(".")) {
      int digits = 0;
      auto fraction = in.Number(&digits);
      if (!fraction || digits > 3) return std::nullopt;
      t.milliseconds = *fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
    }
  }
  in.SkipBlanks();
  if (meridiem < 0) ScanMeridiem(in, fmt, meridiem);
  if (meridiem >= 0) {
    if (t.hour < 1 || t.hour > 12) return std::nullopt;
    t.hour = t.hour % 12 + (meridiem == 1 ? 12 : 0);
  }
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

}  // namespace

std::optional<int> DayNumber(std::string_view name) {
  for (std::size_t i = 0; i < kDayNames.size(); ++i)
    if (name == kDayNames[i]) return static_cast<int>(i);
  return std::nullopt;
}

long long DaysFromCivil(int year, unsigned month, unsigned day) {
  // Howard Hinnant's days_from_civil, shifted to the 30 December 1899 epoch.
  const int y = static_cast<int>(month) <= 2 ? year - 1 : year;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468 + kUnixEpochInDays;
}

unsigned DayOfWeekOfDays(long long days) {
  // Day 0, 30 December 1899, was a Saturday.
  return static_cast<unsigned>(((days + 6) % 7 + 7) % 7);
}

DateTime EncodeDateTime(const LocalTime& t) {
  const double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day));
  const double fraction =
      (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.milliseconds) /
      kMillisecondsPerDay;
  return days >= 0 ? days + fraction : days - fraction;
}

LocalTime DecodeDateTime(DateTime value) {
  long long days = static_cast<long long>(std::trunc(value));
  long long ms = std::llround(std::fabs(value - static_cast<double>(days)) * kMillisecondsPerDay);
  if (ms >= static_cast<long long>(kMillisecondsPerDay)) {
    ms -= static_cast<long long>(kMillisecondsPerDay);
    days += value >= 0 ? 1 : -1;
  }
  // civil_from_days, the inverse of DaysFromCivil.
  const long long z = days - kUnixEpochInDays + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const long long year = static_cast<long long>(yoe) + era * 400 + (month <= 2 ? 1 : 0);

  LocalTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.dayOfWeek = static_cast<std::uint16_t>(DayOfWeekOfDays(days));
  t.hour = static_cast<std::uint16_t>(ms / 3600000);
  t.minute = static_cast<std::uint16_t>(ms / 60000 % 60);
  t.second = static_cast<std::uint16_t>(ms / 1000 % 60);
  t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
  return t;
}

std::string FormatDate(const LocalTime& t, const std::string& pattern, const RegionalFormat&) {
  std::string out;
  WalkPattern(
      pattern, "dMyg",
      [&](char letter, std::size_t run) {
        switch (letter) {
          case 'd':
            if (run == 1)
              out += std::to_string(t.day);
            else if (run == 2)
              out += Padded(t.day, 2);
            else if (run == 3)
              out += std::string(kDayNames[t.dayOfWeek % 7]).substr(0, 3);
            else
              out += kDayNames[t.dayOfWeek % 7];
            break;
          case 'M': {
            const unsigned m = t.month >= 1 && t.month <= 12 ? t.month : 1;
            if (run == 1)
              out += std::to_string(t.month);
            else if (run == 2)
              out += Padded(t.month, 2);
            else if (run == 3)
              out += std::string(kMonthNames[m - 1]).substr(0, 3);
            else
              out += kMonthNames[m - 1];
            break;
          }
          case 'y':
            if (run == 1)
              out += std::to_string(t.year % 100);
            else if (run == 2)
              out += Padded(t.year % 100, 2);
            else
              out += Padded(t.year, 4);
            break;
          default:  // era: "A.D." everywhere this program runs; left out
            break;
        }
      },
      [&](const std::string& literal) { out += literal; });
  return out;
}

std::string FormatTime(const LocalTime& t, const std::string& pattern, const RegionalFormat& fmt) {
  std::string out;
  const unsigned hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  WalkPattern(
      pattern, "hHmst",
      [&](char letter, std::size_t run) {
        const int width = run >= 2 ? 2 : 1;
        switch (letter) {
          case 'h':
            out += Padded(hour12, width);
            break;
          case 'H':
            out += Padded(t.hour, width);
            break;
          case 'm':
            out += Padded(t.minute, width);
            break;
          case 's':
            out += Padded(t.second, width);
            break;
          default: {
            const std::string& meridiem = t.hour < 12 ? fmt.am : fmt.pm;
            out += run == 1 ? meridiem.substr(0, 1) : meridiem;
          }
        }
      },
      [&](const std::string& literal) { out += literal; });
  return out;
}

std::string DateTimeToText(DateTime value, const RegionalFormat& fmt) {
  const LocalTime t = DecodeDateTime(value);
  std::string text = FormatDate(t, fmt.shortDate, fmt);
  if (t.hour != 0 || t.minute != 0 || t.second != 0 || t.milliseconds != 0)
    text += " " + FormatTime(t, fmt.longTime, fmt);
  return text;
}

std::optional<DateTime> TextToDateTime(const std::string& text, const RegionalFormat& fmt) {
  Scanner in(text);
  in.SkipBlanks();
  if (in.AtEnd()) return std::nullopt;

  LocalTime t;
  bool haveDate = false;
  const std::size_t start = in.Position();
  const DateLayout layout = LayoutOf(fmt.shortDate);
  std::array<unsigned, 3> parts{};
  std::array<int, 3> digits{};
  bool datePartsRead = true;
  for (int i = 0; i < 3 && datePartsRead; ++i) {
    if (i > 0 && !in.Consume(layout.separator)) datePartsRead = false;
    if (datePartsRead) {
      auto n = in.Number(&digits[i]);
      if (!n)
        datePartsRead = false;
      else
        parts[i] = *n;
    }
  }
  if (datePartsRead) {
    unsigned day = 0, month = 0;
    int year = 0, yearDigits = 0;
    for (int i = 0; i < 3; ++i) {
      switch (layout.order[i]) {
        case 'd':
          day = parts[i];
          break;
        case 'M':
          month = parts[i];
          break;
        default:
          year = static_cast<int>(parts[i]);
          yearDigits = digits[i];
      }
    }
    if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
      return std::nullopt;
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint16_t>(month);
    t.day = static_cast<std::uint16_t>(day);
    haveDate = true;
  } else {
    in.Rewind(start);
  }

  in.SkipBlanks();
  if (!in.AtEnd()) {
    auto time = ScanTime(in, fmt);
    in.SkipBlanks();
    if (!time || !in.AtEnd()) return std::nullopt;
    t.hour = static_cast<std::uint16_t>(time->hour);
    t.minute = static_cast<std::uint16_t>(time->minute);
    t.second = static_cast<std::uint16_t>(time->second);
    t.milliseconds = static_cast<std::uint16_t>(time->milliseconds);
  } else if (!haveDate) {
    return std::nullopt;
  }
  if (!haveDate) {
    return (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.milliseconds) /
           kMillisecondsPerDay;
  }
  return EncodeDateTime(t);
}

}  // namespace halcyra
