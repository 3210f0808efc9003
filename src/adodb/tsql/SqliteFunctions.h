#pragma once
// Registers on a SQLite connection the functions and collation that translated statements rely
// on (SQL Server's '+', isnull, len, charindex, getdate, the TSQL collation that compares text
// case-insensitively and blind to trailing blanks, ...).
struct sqlite3;

namespace adodb::tsql {

void RegisterSqliteFunctions(sqlite3* db);

}  // namespace adodb::tsql
