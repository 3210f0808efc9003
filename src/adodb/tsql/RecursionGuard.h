#pragma once
// tsql_recursion_level(level, limit): the level of a row a recursive common table adds, or SQL
// Server's error when it goes past the recursion limit (see CommonTableExpressions.h).
struct sqlite3;

namespace adodb::tsql {

void RegisterRecursionGuard(sqlite3* db);

}  // namespace adodb::tsql
