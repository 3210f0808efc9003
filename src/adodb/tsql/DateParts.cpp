#include "adodb/tsql/DateParts.h"

#include <algorithm>
#include <array>

#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

struct PartSpelling {
  std::string_view word;
  DatePart part;
};

constexpr std::array<PartSpelling, 34> kSpellings = {{
    {"year", DatePart::Year},           {"yy", DatePart::Year},          {"yyyy", DatePart::Year},
    {"quarter", DatePart::Quarter},     {"qq", DatePart::Quarter},       {"q", DatePart::Quarter},
    {"month", DatePart::Month},         {"mm", DatePart::Month},         {"m", DatePart::Month},
    {"dayofyear", DatePart::DayOfYear}, {"dy", DatePart::DayOfYear},     {"y", DatePart::DayOfYear},
    {"day", DatePart::Day},             {"dd", DatePart::Day},           {"d", DatePart::Day},
    {"week", DatePart::Week},           {"wk", DatePart::Week},          {"ww", DatePart::Week},
    {"weekday", DatePart::Weekday},     {"dw", DatePart::Weekday},       {"w", DatePart::Weekday},
    {"iso_week", DatePart::IsoWeek},    {"isowk", DatePart::IsoWeek},    {"isoww", DatePart::IsoWeek},
    {"hour", DatePart::Hour},           {"hh", DatePart::Hour},          {"minute", DatePart::Minute},
    {"mi", DatePart::Minute},           {"n", DatePart::Minute},         {"second", DatePart::Second},
    {"ss", DatePart::Second},           {"s", DatePart::Second},         {"millisecond", DatePart::Millisecond},
    {"ms", DatePart::Millisecond},
}};

constexpr std::array<std::string_view, 12> kNames = {"year", "quarter", "month",  "dayofyear", "day",    "week",
                                                     "weekday", "iso_week", "hour", "minute", "second", "millisecond"};

constexpr std::int64_t kMillisecondsPerHour = 3'600'000;
constexpr std::int64_t kMillisecondsPerMinute = 60'000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const std::int64_t kEpochDays = DaysFromCivil(1900, 1, 1);

// Days since 1900-01-01 of the first day of a year.
std::int64_t NewYearsDay(int year) { return DaysFromCivil(year, 1, 1) - kEpochDays; }

// 1900-01-01 was a Monday: Sunday-based week numbers flip between Saturday and Sunday.
std::int64_t SundayWeeks(std::int64_t days) { return FloorDiv(days + 1, 7); }

std::int64_t Days(std::int64_t moment) { return FloorDiv(moment, kMillisecondsPerDay); }

std::int64_t MonthsAdded(std::int64_t months, std::int64_t moment) {
  const DateTime value = DateTimeAt(moment);
  const std::int64_t total = value.date.year * 12LL + (value.date.month - 1) + months;
  const std::int64_t year = FloorDiv(total, 12);
  // Far outside datetime's range the result is refused anyway; keep the civil arithmetic in range.
  if (year < 1 || year > 99999) return year < 1 ? INT64_MIN / 2 : INT64_MAX / 2;
  const int month = static_cast<int>(FloorMod(total, 12)) + 1;
  const int day = std::min(value.date.day, DaysInMonth(static_cast<int>(year), month));
  const std::int64_t timeOfDay = FloorMod(moment, kMillisecondsPerDay);
  return (DaysFromCivil(year, month, day) - kEpochDays) * kMillisecondsPerDay + timeOfDay;
}

// ISO 8601: weeks start on Mondays and week 1 holds the year's first Thursday.
std::int64_t IsoWeek(std::int64_t days) {
  const std::int64_t thursday = days - FloorMod(days, 7) + 3;
  int year = 0, month = 0, day = 0;
  CivilFromDays(thursday + kEpochDays, year, month, day);
  return (thursday - NewYearsDay(year)) / 7 + 1;
}

}  // namespace

std::optional<DatePart> DatePartNamed(std::string_view word) {
  for (const PartSpelling& s : kSpellings)
    if (s.word.size() == word.size() && SameName(s.word, word)) return s.part;
  return std::nullopt;
}

std::string_view DatePartName(DatePart part) { return kNames[static_cast<std::size_t>(part)]; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::int64_t MomentOf(const DateTime& value) {
  const Date& d = value.date;
  const std::int64_t days = DaysFromCivil(d.year, d.month, d.day) - kEpochDays;
  return days * kMillisecondsPerDay + (d.hour * 3600LL + d.minute * 60LL + d.second) * 1000 + value.milliseconds;
}

DateTime InDatetimeTicks(const DateTime& value) {
  static constexpr int kToNearestTick[10] = {0, -1, 1, 0, -1, 2, 1, 0, -1, 1};
  const int step = kToNearestTick[value.milliseconds % 10];
  return step == 0 ? value : DateTimeAt(MomentOf(value) + step);
}

DateTime DateTimeAt(std::int64_t moment) {
  DateTime value;
  CivilFromDays(Days(moment) + kEpochDays, value.date.year, value.date.month, value.date.day);
  const std::int64_t ms = FloorMod(moment, kMillisecondsPerDay);
  value.date.hour = static_cast<int>(ms / kMillisecondsPerHour);
  value.date.minute = static_cast<int>(ms / kMillisecondsPerMinute % 60);
  value.date.second = static_cast<int>(ms / 1000 % 60);
  value.milliseconds = static_cast<int>(ms % 1000);
  return value;
}

bool InDateTimeRange(std::int64_t moment) {
  static const std::int64_t first = NewYearsDay(1753) * kMillisecondsPerDay;
  static const std::int64_t last = NewYearsDay(10000) * kMillisecondsPerDay - 1;
  return moment >= first && moment <= last;
}

std::int64_t AddDatePart(DatePart part, std::int64_t amount, std::int64_t moment) {
  switch (part) {
    case DatePart::Year:
      return MonthsAdded(amount * 12, moment);
    case DatePart::Quarter:
      return MonthsAdded(amount * 3, moment);
    case DatePart::Month:
      return MonthsAdded(amount, moment);
    case DatePart::Week:
      return moment + amount * 7 * kMillisecondsPerDay;
    case DatePart::Hour:
      return moment + amount * kMillisecondsPerHour;
    case DatePart::Minute:
      return moment + amount * kMillisecondsPerMinute;
    case DatePart::Second:
      return moment + amount * 1000;
    case DatePart::Millisecond:
      return moment + amount;
    default:  // dayofyear, day and weekday all add days
      return moment + amount * kMillisecondsPerDay;
  }
}

std::int64_t DatePartBoundaries(DatePart part, std::int64_t start, std::int64_t end) {
  const auto months = [](std::int64_t moment, int perPart) {
    const DateTime value = DateTimeAt(moment);
    return value.date.year * (12 / perPart) + (value.date.month - 1) / perPart;
  };
  switch (part) {
    case DatePart::Year:
      return months(end, 12) - months(start, 12);
    case DatePart::Quarter:
      return months(end, 3) - months(start, 3);
    case DatePart::Month:
      return months(end, 1) - months(start, 1);
    case DatePart::Week:
      return SundayWeeks(Days(end)) - SundayWeeks(Days(start));
    case DatePart::Hour:
      return FloorDiv(end, kMillisecondsPerHour) - FloorDiv(start, kMillisecondsPerHour);
    case DatePart::Minute:
      return FloorDiv(end, kMillisecondsPerMinute) - FloorDiv(start, kMillisecondsPerMinute);
    case DatePart::Second:
      return FloorDiv(end, 1000) - FloorDiv(start, 1000);
    case DatePart::Millisecond:
      return end - start;
    default:  // dayofyear, day and weekday all count midnights
      return Days(end) - Days(start);
  }
}

std::int64_t DatePartValue(DatePart part, std::int64_t moment) {
  const DateTime value = DateTimeAt(moment);
  const std::int64_t days = Days(moment);
  switch (part) {
    case DatePart::Year:
      return value.date.year;
    case DatePart::Quarter:
      return (value.date.month - 1) / 3 + 1;
    case DatePart::Month:
      return value.date.month;
    case DatePart::DayOfYear:
      return days - NewYearsDay(value.date.year) + 1;
    case DatePart::Day:
      return value.date.day;
    case DatePart::Week:
      return SundayWeeks(days) - SundayWeeks(NewYearsDay(value.date.year)) + 1;
    case DatePart::Weekday:
      return FloorMod(days + 1, 7) + 1;
    case DatePart::IsoWeek:
      return IsoWeek(days);
    case DatePart::Hour:
      return value.date.hour;
    case DatePart::Minute:
      return value.date.minute;
    case DatePart::Second:
      return value.date.second;
    case DatePart::Millisecond:
      return value.milliseconds;
  }
  return 0;
}

}  // namespace adodb::tsql
