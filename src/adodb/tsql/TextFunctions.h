#pragma once
// Text functions with SQL Server's semantics, counting characters (not bytes) of UTF-8 text:
//   tsql_concat(a, b, ...)        CONCAT: NULL counts as empty text, numbers written as CAST(x AS
//                                 varchar) writes them (2.5, 3 rather than 3.0); never NULL
//   tsql_replace(s, find, with)   REPLACE: finds without case, as the default collation compares
//   tsql_replicate(s, n)          REPLICATE (and SPACE): NULL for a negative count
//   tsql_reverse(s)               REVERSE
//   tsql_stuff(s, start, n, ins)  STUFF: NULL when start is outside the text or n is negative
//   tsql_upper(s), tsql_lower(s)  UPPER, LOWER: letters of every script that has case, as the
//                                 collation compares them (é, Ä, full-width ａ), not ASCII alone
struct sqlite3;

namespace adodb::tsql {

void RegisterTextFunctions(sqlite3* db);

}  // namespace adodb::tsql
