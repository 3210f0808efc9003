#pragma once
// Registers on a SQLite connection the functions and collation that translated statements rely
// on (SQL Server's '+', isnull, len, charindex, getdate, the TSQL collation that compares text
// case-insensitively and blind to trailing blanks, ...), and makes a double-quoted name always a
// name: one that names no column is an error, never a string literal.
struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace adodb::tsql {

void RegisterSqliteFunctions(sqlite3* db);

// SQL Server's '+' folded left to right (tsql_add), its '-' of two values (tsql_subtract),
// SQLite's own '*' folded left to right, and SQL Server's '/' of two values (tsql_divide), as
// functions of SQLite's: the general case of the int arithmetic checked for int's range
// (DeclaredColumnValue.h).
using ScalarFunction = void (*)(sqlite3_context*, int, sqlite3_value**);
void AddValues(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void SubtractValues(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void MultiplyValues(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void DivideValues(sqlite3_context* ctx, int argc, sqlite3_value** argv);

}  // namespace adodb::tsql
