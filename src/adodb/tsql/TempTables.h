#pragma once
// #temp and ##temp tables, SELECT ... INTO and the tables a statement creates. A #name is a
// parameter to SQLite, so it is always written quoted; the table lives in the connection's temp
// schema, where SQLite looks first, so later statements of the same connection find it under the
// same name. A ##global table is the connection's too: one embedded connection has no others.
#include <string>
#include <string_view>

struct sqlite3;

namespace adodb::tsql {

// #t or ##t (bare, unquoted).
bool IsTempTableName(std::string_view bare);

// "CREATE TEMP TABLE name AS " or "CREATE TABLE name AS ", to put before the query of SELECT ... INTO.
std::string CreateTableAs(const std::string& emittedName, std::string_view bareName);

// The statements that follow CREATE TEMP TABLE "#t" AS SELECT ...: SQLite's CREATE TABLE AS gives
// its columns no collation, so the rows are moved into a table like it whose text columns (and
// those of no type, an expression's) compare as the server compares text, as a temp table's
// columns do on the server, and that table takes the name. Starts with "; ".
std::string CollateTempTableAs(const std::string& emittedName, std::string_view bareName);

// Registers tsql_collated_copy('#t'), which makes the empty table the steps above fill; SQLite's
// result code.
int RegisterCollatedCopy(sqlite3* db);

// char, varchar, nchar, nvarchar, text, ntext: columns of these types compare as the server
// compares text, so a created table gives them the server's collation unless one is named.
bool IsTextTypeName(std::string_view word);

}  // namespace adodb::tsql
