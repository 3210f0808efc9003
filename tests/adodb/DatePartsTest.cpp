// The calendar arithmetic behind DATEADD, DATEDIFF and DATEPART, checked against its own laws over
// every day of a span that holds leap years, century years and days before 1900 (negative
// moments), where a hand-picked golden case would miss an off-by-one.
#include "adodb/tsql/DateParts.h"

#include <gtest/gtest.h>

namespace {

using adodb::tsql::AddDatePart;
using adodb::tsql::DatePart;
using adodb::tsql::DatePartBoundaries;
using adodb::tsql::DatePartValue;
using adodb::tsql::DateTimeAt;
using adodb::tsql::kMillisecondsPerDay;
using adodb::tsql::MomentOf;

constexpr std::int64_t kFirstDay = -800;      // 1897-10-23
constexpr std::int64_t kLastDay = 80'000;     // 2119-01-12
constexpr std::int64_t kNoon = kMillisecondsPerDay / 2;

TEST(DateParts, EveryDayRoundTripsAndStepsItsWeekdayDayOfYearAndWeek) {
  for (std::int64_t day = kFirstDay; day < kLastDay; ++day) {
    const std::int64_t moment = day * kMillisecondsPerDay + kNoon;
    const std::int64_t next = moment + kMillisecondsPerDay;
    ASSERT_EQ(MomentOf(DateTimeAt(moment)), moment) << day;
    ASSERT_EQ(DatePartValue(DatePart::Weekday, next), DatePartValue(DatePart::Weekday, moment) % 7 + 1) << day;
    const bool newYear = DatePartValue(DatePart::DayOfYear, next) == 1;
    if (!newYear) {
      ASSERT_EQ(DatePartValue(DatePart::DayOfYear, next), DatePartValue(DatePart::DayOfYear, moment) + 1) << day;
      // The week number goes up exactly on Sundays.
      const bool sunday = DatePartValue(DatePart::Weekday, next) == 1;
      ASSERT_EQ(DatePartValue(DatePart::Week, next), DatePartValue(DatePart::Week, moment) + (sunday ? 1 : 0)) << day;
    }
    ASSERT_EQ(DatePartBoundaries(DatePart::Week, moment, next),
              DatePartValue(DatePart::Weekday, next) == 1 ? 1 : 0) << day;
    ASSERT_EQ(DatePartBoundaries(DatePart::Year, moment, next), newYear ? 1 : 0) << day;
  }
}

TEST(DateParts, MonthsAddedAreCountedBackAndNeverLeaveTheirMonth) {
  for (std::int64_t day = kFirstDay; day < kLastDay; day += 3) {
    const std::int64_t moment = day * kMillisecondsPerDay + kNoon;
    for (std::int64_t months : {-25, -1, 1, 12, 13, 48}) {
      const std::int64_t later = AddDatePart(DatePart::Month, months, moment);
      ASSERT_EQ(DatePartBoundaries(DatePart::Month, moment, later), months) << day << " + " << months;
      // The day is kept or cut to the month's end, never carried into the next month.
      const auto from = DateTimeAt(moment).date, to = DateTimeAt(later).date;
      ASSERT_TRUE(to.day == from.day || (to.day < from.day && DatePartValue(DatePart::Day, later + kMillisecondsPerDay) == 1))
          << day << " + " << months;
      ASSERT_EQ(to.hour, 12);
    }
  }
}

TEST(DateParts, TimeBoundariesAreCountedOnTheClockNotByElapsedTimeAlsoBefore1900) {
  const std::int64_t lastSecondOf1899 = -1000;  // 1899-12-31 23:59:59.000
  EXPECT_EQ(DatePartBoundaries(DatePart::Day, lastSecondOf1899, 0), 1);
  EXPECT_EQ(DatePartBoundaries(DatePart::Hour, lastSecondOf1899, 0), 1);
  EXPECT_EQ(DatePartBoundaries(DatePart::Second, lastSecondOf1899 + 999, 0), 1);
  EXPECT_EQ(DatePartBoundaries(DatePart::Minute, 0, 59'999), 0);
  EXPECT_EQ(DatePartValue(DatePart::Hour, lastSecondOf1899), 23);
  EXPECT_EQ(DatePartValue(DatePart::Year, lastSecondOf1899), 1899);
}

}  // namespace
