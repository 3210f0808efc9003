#pragma once
// tsql_avg(x): AVG as SQL Server computes it, as an aggregate and over a window. The mean keeps
// the type of what is averaged: whole numbers average to a whole number, truncated toward zero
// (AVG of 1 and 2 is 1), and any fractional value makes it a decimal. NULLs are left out; no
// value gives NULL; text is SQL Server's error.
// When x is a column the translation averages tsql_column_value(x, 'name') instead, so whole
// values of a decimal column average as decimals (see DeclaredColumnValue.h).
struct sqlite3;

namespace adodb::tsql {

void RegisterAverageAggregate(sqlite3* db);

}  // namespace adodb::tsql
