#include "adodb/tsql/DateTruncation.h"

#include <sqlite3.h>

#include <optional>
#include <string>

#include "adodb/Error.h"
#include "adodb/tsql/DateParts.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {
namespace {

bool IsTimePart(DatePart part) {
  return part == DatePart::Hour || part == DatePart::Minute || part == DatePart::Second || part == DatePart::Millisecond;
}

std::int64_t Unit(DatePart part) {
  switch (part) {
    case DatePart::Hour:
      return 3'600'000;
    case DatePart::Minute:
      return 60'000;
    case DatePart::Second:
      return 1'000;
    default:
      return 1;
  }
}

// Floors toward the start of time also before 1900 (negative moments).
std::int64_t FloorTo(std::int64_t moment, std::int64_t unit) {
  const std::int64_t rest = moment % unit;
  return moment - (rest < 0 ? rest + unit : rest);
}

std::int64_t Truncate(DatePart part, std::int64_t moment) {
  const std::int64_t day = FloorTo(moment, kMillisecondsPerDay);
  DateTime value = DateTimeAt(day);
  switch (part) {
    case DatePart::Year:
      value.date.month = 1;
      value.date.day = 1;
      return MomentOf(value);
    case DatePart::Quarter:
      value.date.month = (value.date.month - 1) / 3 * 3 + 1;
      value.date.day = 1;
      return MomentOf(value);
    case DatePart::Month:
      value.date.day = 1;
      return MomentOf(value);
    case DatePart::Week:
      return day - (DatePartValue(DatePart::Weekday, day) - 1) * kMillisecondsPerDay;
    case DatePart::IsoWeek:
      return day - ((DatePartValue(DatePart::Weekday, day) + 5) % 7) * kMillisecondsPerDay;
    case DatePart::DayOfYear:
    case DatePart::Day:
    case DatePart::Weekday:
      return day;
    default:
      return FloorTo(moment, Unit(part));
  }
}

void DateTrunc(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::optional<DatePart> part = DatePartNamed(TextOf(argv[0]));
  if (!part) return sqlite3_result_error(ctx, "Unknown date part.", -1);
  const bool dateOnly = sqlite3_value_type(argv[1]) == SQLITE_TEXT && TextOf(argv[1]).size() == 10;
  std::optional<DateTime> value;
  if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
    // A literal is read as datetime2, which takes blank text as 1900-01-01 as datetime does.
    value = ConvertedDateText(TextOf(argv[1]));
  } else {
    // SQL Server has no conversion of a number to the types DATETRUNC takes.
    return sqlite3_result_error(ctx, "Argument data type int is invalid for argument 2 of datetrunc function.", -1);
  }
  if (!value) return sqlite3_result_error(ctx, kTextIsNoDate, -1);
  if (dateOnly && IsTimePart(*part)) {
    const std::string message = "The datepart " + std::string(DatePartName(*part)) +
                                " is not supported by date function datetrunc for data type date.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  std::string text = CanonicalDateTime(DateTimeAt(Truncate(*part, MomentOf(*value))));
  if (dateOnly) text.resize(10);
  sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

void RegisterDateTruncation(sqlite3* db) {
  if (sqlite3_create_function_v2(db, "tsql_datetrunc", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                 DateTrunc, nullptr, nullptr, nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering DATETRUNC failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
