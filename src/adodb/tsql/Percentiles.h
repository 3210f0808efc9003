#pragma once
// PERCENTILE_CONT(p) and PERCENTILE_DISC(p) WITHIN GROUP (ORDER BY x [ASC|DESC]) OVER ([PARTITION
// BY ...]): the window aggregates tsql_percentile_cont(p, x, descending) and
// tsql_percentile_disc(p, x, descending) over the whole partition (SQL Server allows neither an
// ORDER BY nor a frame in their OVER clause). NULLs are left out, as SQL Server leaves them out.
//   CONT  interpolates between the two values around the row number 1 + p * (n - 1), a float
//   DISC  the first value, in the ORDER BY's order, whose cumulative share reaches p
// p outside 0 to 1 is SQL Server's error; a partition of NULLs only gives NULL.
struct sqlite3;

namespace adodb::tsql {

void RegisterPercentiles(sqlite3* db);

}  // namespace adodb::tsql
