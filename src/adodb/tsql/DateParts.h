#pragma once
// The date parts DATEPART, DATENAME, DATEADD and DATEDIFF take, under every spelling SQL Server
// accepts (year, yy, yyyy ...), and the moment arithmetic behind them: a datetime as milliseconds
// since 1900-01-01, which is how SQL Server counts days for numbers used as dates.
#include <cstdint>
#include <optional>
#include <string_view>

#include "adodb/tsql/DateText.h"

namespace adodb::tsql {

enum class DatePart { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, IsoWeek, Hour, Minute, Second, Millisecond };

// The part a word names, case-insensitively; nullopt for a word that names none.
std::optional<DatePart> DatePartNamed(std::string_view word);
// The part's full name, as the translation passes it to the SQLite functions.
std::string_view DatePartName(DatePart part);

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// Milliseconds since 1900-01-01 00:00:00; negative before it.
std::int64_t MomentOf(const DateTime& value);
DateTime DateTimeAt(std::int64_t moment);
// The value as datetime holds it, in 1/300 s: milliseconds end in 0, 3 or 7, rounded to the
// nearest (.995 to .998 are .997, .999 is the next second, so '23:59:59.999' is the next day).
DateTime InDatetimeTicks(const DateTime& value);
// False for a moment outside datetime's range, 1753-01-01 to 9999-12-31 23:59:59.999.
bool InDateTimeRange(std::int64_t moment);
int DaysInMonth(int year, int month);

// DATEADD: the moment `amount` parts later; months and years keep the day, cut to the month's end.
std::int64_t AddDatePart(DatePart part, std::int64_t amount, std::int64_t moment);
// DATEDIFF: the part's boundaries crossed from `start` to `end` (weeks start on Sundays).
std::int64_t DatePartBoundaries(DatePart part, std::int64_t start, std::int64_t end);
// DATEPART: the part's number in the moment (weekday: Sunday is 1).
std::int64_t DatePartValue(DatePart part, std::int64_t moment);

}  // namespace adodb::tsql
