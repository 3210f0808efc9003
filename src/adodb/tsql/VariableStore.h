#pragma once
// The values of a batch's variables (DECLARE @x int = 1; SELECT ... WHERE k = @x), kept per
// connection by two SQLite functions the translation calls:
//   tsql_variable('@x')                 the variable's value, NULL before any assignment
//   tsql_assign('@x', value[, ...])     stores each value under its name; gives NULL
// Names are matched without case, as SQL Server's default collation matches them. Values are not
// part of any transaction: a rollback leaves them as they are, as it leaves a T-SQL variable. The
// translator only lets a batch read a variable it declared earlier, and every DECLARE assigns, so
// a value left from an earlier batch is never read.
//
// A statement that assigns variables (DECLARE, SET @x, SELECT @x = ...) runs as a SELECT whose
// first column is named kAssignmentColumn: its rows are no result and the caller skips them.
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace adodb::tsql {

inline constexpr std::string_view kAssignmentColumn = "tsql_assignment";

void RegisterVariableStore(sqlite3* db);

// True when the prepared statement is one of a batch's assignments, whose rows are no result.
bool AssignsVariables(sqlite3_stmt* statement);

}  // namespace adodb::tsql
