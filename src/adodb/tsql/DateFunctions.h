#pragma once
// The SQLite functions behind DATEPART, DATENAME, DATEADD, DATEDIFF, EOMONTH, DATEFROMPARTS and
// ISDATE (see DateParts.h for the arithmetic). Dates arrive as SQL Server would convert them to
// datetime: text in a form it reads (DateText.h) or a number of days since 1900-01-01.
//   tsql_dateadd(part, number, date)    the stored datetime form
//   tsql_datediff(part, start, end)     boundaries crossed, an int (tsql_datediff_big: a bigint)
//   tsql_datepart(part, date)           an int;  tsql_datename(part, date): text
//   tsql_eomonth(date[, months])        'YYYY-MM-DD'
//   tsql_datefromparts(y, m, d)         'YYYY-MM-DD'
//   tsql_isdate(value)                  1 or 0
//   tsql_default_style(value)           CONVERT to text in style 0 or 100, 'Mar  5 2024  1:04PM'
// `part` is a full part name (DatePartName). NULL in gives NULL out, as in SQL Server.
struct sqlite3;

namespace adodb::tsql {

void RegisterDateFunctions(sqlite3* db);

}  // namespace adodb::tsql
