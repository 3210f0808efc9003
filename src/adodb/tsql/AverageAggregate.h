#pragma once
// tsql_avg(x): AVG as SQL Server computes it, as an aggregate and over a window. The mean keeps
// the type of the values: whole numbers average to a whole number, truncated toward zero
// (AVG of 1 and 2 is 1), and any fractional value makes the mean a decimal. NULLs are left out;
// no value gives NULL; text is SQL Server's error.
struct sqlite3;

namespace adodb::tsql {

void RegisterAverageAggregate(sqlite3* db);

}  // namespace adodb::tsql
