#pragma once
// SQL Server's reading of a date written as text, under its default settings (us_english, date
// format mdy, two-digit years up to 49 in this century), and the one form the embedded database
// stores a datetime in. Accepted:
//   2024-03-05T13:04:05[.123]                      ISO 8601
//   20240305 [time], 240305 [time]                 unseparated
//   2024-3-5, 2024/03/05, 2024.3.5 [time]          year first
//   3/5/2024, 3-5-24, 3.5.2024 [time]              month/day/year
//   Mar 5 2024, March 5, 2024, 5 Mar 2024 [time]   month by name
//   13:04[:05[.123]] [AM|PM] alone                 on 1900-01-01
// where a time is hh:mm[:ss[.fff]] with an optional AM or PM. A date that does not exist
// (2024-02-30) or text of another shape is not a date.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "adodb/Date.h"

namespace adodb::tsql {

// The names SQL Server gives months and weekdays under us_english (Sunday first).
inline constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                            "May",     "June",     "July",      "August",
                                                            "September", "October", "November", "December"};
inline constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                         "Thursday", "Friday", "Saturday"};

struct DateTime {
  Date date;
  int milliseconds = 0;
};

std::optional<DateTime> ParseDateText(std::string_view text);

// Text converted to datetime: as ParseDateText reads it, and blank text ('', '  ') as
// 1900-01-01 00:00:00, which the server converts it to though it is no date (ISDATE('') is 0).
std::optional<DateTime> ConvertedDateText(std::string_view text);

// "YYYY-MM-DD HH:MM:SS", and ".fff" when the milliseconds are not zero: text order is time order.
std::string CanonicalDateTime(const DateTime& value);

}  // namespace adodb::tsql
