#pragma once
// tsql_concat(a, b, ...): CONCAT as SQL Server computes it: NULL counts as empty text and numbers
// are written as CAST(x AS varchar) writes them (2.5, 3 rather than 3.0), so CONCAT is never NULL.
struct sqlite3;

namespace adodb::tsql {

void RegisterTextFunctions(sqlite3* db);

}  // namespace adodb::tsql
