#pragma once
// DATETRUNC(part, date): the date cut down to the start of its part, registered as
// tsql_datetrunc(part, date). Weeks start on Sundays (DATEFIRST 7), ISO weeks on Mondays;
// dayofyear cuts as day does. A value in the date form ('YYYY-MM-DD', a date column) stays a date
// and cannot be cut below a day, which is SQL Server's error for the date type; everything else is
// read as a datetime and given in the stored form. weekday is refused by the translator, as SQL
// Server refuses it.
struct sqlite3;

namespace adodb::tsql {

void RegisterDateTruncation(sqlite3* db);

}  // namespace adodb::tsql
