#pragma once
// Registers on a SQLite connection the functions and collation that translated statements rely
// on (SQL Server's '+', isnull, len, charindex, getdate, the TSQL collation that compares text
// case-insensitively and blind to trailing blanks, ...), and makes a double-quoted name always a
// name: one that names no column is an error, never a string literal.
struct sqlite3;

namespace adodb::tsql {

void RegisterSqliteFunctions(sqlite3* db);

}  // namespace adodb::tsql
