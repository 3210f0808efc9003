#pragma once
// #temp and ##temp tables, SELECT ... INTO and the tables a statement creates. A #name is a
// parameter to SQLite, so it is always written quoted; the table lives in the connection's temp
// schema, where SQLite looks first, so later statements of the same connection find it under the
// same name. A ##global table is the connection's too: one embedded connection has no others.
#include <string>
#include <string_view>

namespace adodb::tsql {

// #t or ##t (bare, unquoted).
bool IsTempTableName(std::string_view bare);

// "CREATE TEMP TABLE name AS " or "CREATE TABLE name AS ", to put before the query of SELECT ... INTO.
std::string CreateTableAs(const std::string& emittedName, std::string_view bareName);

// char, varchar, nchar, nvarchar, text, ntext: columns of these types compare as the server
// compares text, so a created table gives them the server's collation unless one is named.
bool IsTextTypeName(std::string_view word);

}  // namespace adodb::tsql
