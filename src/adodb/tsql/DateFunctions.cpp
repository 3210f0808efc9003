#include "adodb/tsql/DateFunctions.h"

#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "adodb/Error.h"
#include "adodb/tsql/DateParts.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {
namespace {

constexpr const char* kNumberOutOfRange = "Arithmetic overflow error converting expression to data type datetime.";
constexpr const char* kAddOverflow = "Adding a value to a 'datetime' column caused an overflow.";
constexpr const char* kDiffOverflow =
    "The datediff function resulted in an overflow. The number of dateparts separating two date/time instances is too "
    "large. Try to use datediff with a less precise datepart.";

// A value converted to datetime as SQL Server does, blank text being 1900-01-01 (the server's
// datediff(day, '', getdate()) counts days since then); nullopt with the error set when it does
// not convert.
std::optional<std::int64_t> MomentArgument(sqlite3_context* ctx, sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    const double days = sqlite3_value_double(v);
    const double ms = std::round(days * static_cast<double>(kMillisecondsPerDay));
    if (std::fabs(ms) < 1e18 && InDateTimeRange(static_cast<std::int64_t>(ms))) return static_cast<std::int64_t>(ms);
    sqlite3_result_error(ctx, kNumberOutOfRange, -1);
    return std::nullopt;
  }
  if (const std::optional<DateTime> value = ConvertedDateText(TextOf(v))) return MomentOf(*value);
  sqlite3_result_error(ctx, kTextIsNoDate, -1);
  return std::nullopt;
}

// The part name the translation wrote; an unknown one is a translator fault, reported as such.
std::optional<DatePart> PartArgument(sqlite3_context* ctx, sqlite3_value* v) {
  const std::optional<DatePart> part = DatePartNamed(TextOf(v));
  if (!part) sqlite3_result_error(ctx, "Unknown date part.", -1);
  return part;
}

// An int argument: numbers truncate toward zero, text must hold one; outside int's range is the overflow.
std::optional<std::int64_t> IntArgument(sqlite3_context* ctx, sqlite3_value* v) {
  const int type = sqlite3_value_numeric_type(v);
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
    const std::string message = "Conversion failed when converting the varchar value '" + std::string(TextOf(v)) +
                                "' to data type int.";
    sqlite3_result_error(ctx, message.c_str(), -1);
    return std::nullopt;
  }
  const double value = std::trunc(sqlite3_value_double(v));
  if (value < -2147483648.0 || value > 2147483647.0) {
    sqlite3_result_error(ctx, kIntOverflow, -1);
    return std::nullopt;
  }
  return type == SQLITE_INTEGER ? sqlite3_value_int64(v) : static_cast<std::int64_t>(value);
}

void ResultText(sqlite3_context* ctx, const std::string& text) {
  sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void ResultDate(sqlite3_context* ctx, std::int64_t moment) {
  std::string text = CanonicalDateTime(DateTimeAt(moment));
  text.resize(10);
  ResultText(ctx, text);
}

void DateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const auto part = PartArgument(ctx, argv[0]);
  if (!part) return;
  const auto amount = IntArgument(ctx, argv[1]);
  if (!amount) return;
  const auto moment = MomentArgument(ctx, argv[2]);
  if (!moment) return;
  const std::int64_t result = AddDatePart(*part, *amount, *moment);
  if (!InDateTimeRange(result)) return sqlite3_result_error(ctx, kAddOverflow, -1);
  ResultText(ctx, CanonicalDateTime(DateTimeAt(result)));
}

// DATEDIFF's count is an int, DATEDIFF_BIG's a bigint.
template <bool kBig>
void DateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const auto part = PartArgument(ctx, argv[0]);
  if (!part) return;
  const auto start = MomentArgument(ctx, argv[1]);
  if (!start) return;
  const auto end = MomentArgument(ctx, argv[2]);
  if (!end) return;
  const std::int64_t count = DatePartBoundaries(*part, *start, *end);
  if (!kBig && (count < -2147483648LL || count > 2147483647LL)) return sqlite3_result_error(ctx, kDiffOverflow, -1);
  sqlite3_result_int64(ctx, count);
}

void DatePartOf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const auto part = PartArgument(ctx, argv[0]);
  if (!part) return;
  const auto moment = MomentArgument(ctx, argv[1]);
  if (!moment) return;
  sqlite3_result_int64(ctx, DatePartValue(*part, *moment));
}

// DATENAME: months and weekdays by their English names, every other part as its number.
void DateName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const auto part = PartArgument(ctx, argv[0]);
  if (!part) return;
  const auto moment = MomentArgument(ctx, argv[1]);
  if (!moment) return;
  const std::int64_t value = DatePartValue(*part, *moment);
  if (*part == DatePart::Month) return ResultText(ctx, kMonthNames[static_cast<std::size_t>(value - 1)]);
  if (*part == DatePart::Weekday) return ResultText(ctx, kDayNames[static_cast<std::size_t>(value - 1)]);
  ResultText(ctx, std::to_string(value));
}

// EOMONTH(date[, months]): the last day of the date's month, months later.
void EndOfMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  auto moment = MomentArgument(ctx, argv[0]);
  if (!moment) return;
  std::int64_t months = 0;
  if (argc > 1) {
    const auto amount = IntArgument(ctx, argv[1]);
    if (!amount) return;
    months = *amount;
  }
  DateTime value = DateTimeAt(AddDatePart(DatePart::Month, months, *moment));
  value.date.day = DaysInMonth(value.date.year, value.date.month);
  const std::int64_t result = MomentOf(value);
  if (!InDateTimeRange(result)) return sqlite3_result_error(ctx, kAddOverflow, -1);
  ResultDate(ctx, result);
}

// DATEFROMPARTS(year, month, day): a day that does not exist is SQL Server's error, not a rollover.
void DateFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  std::int64_t parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    const auto value = IntArgument(ctx, argv[i]);
    if (!value) return;
    parts[i] = *value;
  }
  const bool valid = parts[0] >= 1 && parts[0] <= 9999 && parts[1] >= 1 && parts[1] <= 12 && parts[2] >= 1 &&
                     parts[2] <= DaysInMonth(static_cast<int>(parts[0]), static_cast<int>(parts[1]));
  if (!valid)
    return sqlite3_result_error(
        ctx, "Cannot construct data type date, some of the arguments have values which are not valid.", -1);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(parts[0]), static_cast<int>(parts[1]),
                static_cast<int>(parts[2]));
  sqlite3_result_text(ctx, text, -1, SQLITE_TRANSIENT);
}

// The int arguments of a ...FROMPARTS function; nullopt with the error set when one does not convert.
template <std::size_t N>
std::optional<std::array<std::int64_t, N>> IntArguments(sqlite3_context* ctx, sqlite3_value** argv) {
  std::array<std::int64_t, N> parts{};
  for (std::size_t i = 0; i < N; ++i) {
    const auto value = IntArgument(ctx, argv[i]);
    if (!value) return std::nullopt;
    parts[i] = *value;
  }
  return parts;
}

bool ValidTime(std::int64_t hour, std::int64_t minute, std::int64_t second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

// DATETIMEFROMPARTS(year, month, day, hour, minute, second, milliseconds): the stored datetime
// form; a part out of its range, or a year outside datetime's, is SQL Server's error.
void DateTimeFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const auto p = IntArguments<7>(ctx, argv);
  if (!p) return;
  const auto [year, month, day, hour, minute, second, ms] = *p;
  const bool valid = year >= 1753 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                     day <= DaysInMonth(static_cast<int>(year), static_cast<int>(month)) &&
                     ValidTime(hour, minute, second) && ms >= 0 && ms <= 999;
  if (!valid)
    return sqlite3_result_error(
        ctx, "Cannot construct data type datetime, some of the arguments have values which are not valid.", -1);
  DateTime value;
  value.date = Date{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                    static_cast<int>(hour), static_cast<int>(minute), static_cast<int>(second)};
  value.milliseconds = static_cast<int>(ms);
  ResultText(ctx, CanonicalDateTime(value));
}

// TIMEFROMPARTS(hour, minute, second, fractions, precision): 'HH:MM:SS' and, for a precision
// above 0, the fractions written with that many digits; fractions must fit the precision.
void TimeFromParts(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[4]) == SQLITE_NULL)
    return sqlite3_result_error(ctx, "Scale argument is not valid. Valid expressions for data type time scale argument are integer constants and integer constant expressions.", -1);
  if (AnyNull(4, argv)) return sqlite3_result_null(ctx);
  const auto p = IntArguments<5>(ctx, argv);
  if (!p) return;
  const auto [hour, minute, second, fractions, precision] = *p;
  if (precision < 0 || precision > 7)
    return sqlite3_result_error(ctx, ("Specified scale " + std::to_string(precision) + " is invalid.").c_str(), -1);
  std::int64_t limit = 1;
  for (std::int64_t i = 0; i < precision; ++i) limit *= 10;
  if (!ValidTime(hour, minute, second) || fractions < 0 || fractions >= limit)
    return sqlite3_result_error(
        ctx, "Cannot construct data type time, some of the arguments have values which are not valid.", -1);
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(hour), static_cast<int>(minute),
                static_cast<int>(second));
  std::string result = text;
  if (precision > 0) {
    std::snprintf(text, sizeof text, ".%0*lld", static_cast<int>(precision), static_cast<long long>(fractions));
    result += text;
  }
  ResultText(ctx, result);
}

// SYSDATETIMEOFFSET(): the local time with seven fraction digits and the offset from UTC,
// '2024-03-05 13:04:05.1230000 +08:00', as SQL Server writes a datetimeoffset(7).
void SysDateTimeOffset(sqlite3_context* ctx, int, sqlite3_value**) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1'000'000;
  std::tm local{};
  localtime_r(&seconds, &local);
  const long offset = local.tm_gmtoff / 60;
  char text[160];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%06lld0 %c%02ld:%02ld", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<long long>(micros), offset < 0 ? '-' : '+', std::labs(offset) / 60, std::labs(offset) % 60);
  ResultText(ctx, text);
}

// ISDATE(value): 1 for text SQL Server reads as a datetime, 0 for anything else (NULL and numbers too).
void IsDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const bool date = sqlite3_value_type(argv[0]) == SQLITE_TEXT && ParseDateText(TextOf(argv[0])).has_value();
  sqlite3_result_int(ctx, date ? 1 : 0);
}

// tsql_default_style(value): CONVERT(varchar, value, 0 or 100). A datetime in the stored form (a
// date column's 'YYYY-MM-DD' being its midnight) is written "mon dd yyyy hh:miAM", day and hour
// padded with a blank to two places, as the server writes a datetime by default; any other value
// is converted as without a style, the server ignoring a date style for text and whole numbers.
void DefaultStyle(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const std::string_view text = sqlite3_value_type(argv[0]) == SQLITE_TEXT ? TextOf(argv[0]) : std::string_view();
  const bool dateForm = text.size() == 10 || ((text.size() == 19 || text.size() == 23) && text[10] == ' ');
  const std::optional<DateTime> value =
      dateForm && text[4] == '-' && text[7] == '-' ? ParseDateText(text) : std::nullopt;
  if (!value) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) != SQLITE_FLOAT) return ResultText(ctx, std::string(TextOf(argv[0])));
    char number[32];
    return ResultText(ctx, std::string(number, static_cast<std::size_t>(std::snprintf(
                                                   number, sizeof number, "%.15g", sqlite3_value_double(argv[0])))));
  }
  const Date& d = value->date;
  const int hour = d.hour % 12 == 0 ? 12 : d.hour % 12;
  char out[32];
  const char* month = kMonthNames[static_cast<std::size_t>(d.month - 1)];
  const int n = std::snprintf(out, sizeof out, "%.3s %2d %04d %2d:%02d%s", month, d.day, d.year, hour, d.minute,
                              d.hour < 12 ? "AM" : "PM");
  ResultText(ctx, std::string(out, static_cast<std::size_t>(n)));
}

// tsql_datetime_float(d): a datetime converted to float, the days since 1900-01-01 with the time of
// day as the fraction; the server counts the time in 1/300 s, so '12:00:00.003' is one such tick.
// floor(cast(rq as float)) is the old way to drop a datetime's time, and must not meet its text.
void DateTimeFloat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::optional<std::int64_t> moment = MomentArgument(ctx, argv[0]);
  if (!moment) return;
  const std::int64_t day = *moment >= 0 ? *moment / kMillisecondsPerDay : -((-*moment + kMillisecondsPerDay - 1) / kMillisecondsPerDay);
  const double ticks = std::round(static_cast<double>(*moment - day * kMillisecondsPerDay) * 0.3);
  sqlite3_result_double(ctx, static_cast<double>(day) + ticks / 25'920'000.0);
}

struct DateFunction {
  const char* name;
  int argc;
  void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

constexpr DateFunction kDateFunctions[] = {
    {"tsql_dateadd", 3, DateAdd},     {"tsql_datediff", 3, DateDiff<false>}, {"tsql_datediff_big", 3, DateDiff<true>},    {"tsql_datepart", 2, DatePartOf},
    {"tsql_datename", 2, DateName},   {"tsql_eomonth", 1, EndOfMonth},   {"tsql_eomonth", 2, EndOfMonth},
    {"tsql_datefromparts", 3, DateFromParts}, {"tsql_isdate", 1, IsDate}, {"tsql_default_style", 1, DefaultStyle},
    {"tsql_datetime_float", 1, DateTimeFloat},
    {"tsql_datetimefromparts", 7, DateTimeFromParts}, {"tsql_timefromparts", 5, TimeFromParts},
};

}  // namespace

void RegisterDateFunctions(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (const DateFunction& f : kDateFunctions)
    if (sqlite3_create_function_v2(db, f.name, f.argc, flags, nullptr, f.fn, nullptr, nullptr, nullptr) != SQLITE_OK)
      throw Error::Provider(std::string("Registering the T-SQL date functions failed: ") + sqlite3_errmsg(db));
  // The clock is read anew for every call.
  if (sqlite3_create_function_v2(db, "tsql_sysdatetimeoffset", 0, SQLITE_UTF8, nullptr, SysDateTimeOffset, nullptr,
                                 nullptr, nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering the T-SQL date functions failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
