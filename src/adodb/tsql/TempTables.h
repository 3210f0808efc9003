#pragma once
// #temp and ##temp tables, SELECT ... INTO and the tables a statement creates. A #name is a
// parameter to SQLite, so it is always written quoted; the table lives in the connection's temp
// schema, where SQLite looks first, so later statements of the same connection find it under the
// same name. A ##global table is the connection's too: one embedded connection has no others.
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace adodb::tsql {

// #t or ##t (bare, unquoted).
bool IsTempTableName(std::string_view bare);

// SELECT ... INTO name: "SELECT tsql_select_into(...) AS tsql_assignment; INSERT INTO name query".
// The server gives the new table the query's column types, so the table is made with the type
// each column the query reads declares, its text columns
// and those of no type comparing as the server compares text; a #table's number columns are held
// by triggers of its own as CREATE TABLE #t's are (a table of the database by the connection's).
// `itemTypes` are the types the select items give where the item alone tells one (CAST, a
// literal: see the rewriter), empty entries for the rest; a column of an expression takes its
// item's, as the server types it. An entry "=sumN" or "=addN" (sum(c), c + n with n an int)
// takes the type the server gives it from the type declared for column N of `probe`, a select of
// those items' columns over the query's sources.
std::string SelectInto(const std::string& emittedName, std::string_view bareName, const std::string& query,
                       const std::vector<std::string>& itemTypes, const std::string& probe = {});

// Registers tsql_select_into('name', 'query'), which makes the empty table; SQLite's result code.
int RegisterSelectInto(sqlite3* db);

// char, varchar, nchar, nvarchar, text, ntext: columns of these types compare as the server
// compares text, so a created table gives them the server's collation unless one is named.
bool IsTextTypeName(std::string_view word);

}  // namespace adodb::tsql
