#pragma once
// SQLite stores a whole value of a decimal column as an integer (3648.00 money is 3648), so the
// values alone cannot tell an int column from a decimal one, where T-SQL's results differ: AVG
// of whole decimals keeps its fraction, and 3648 / 240 is 15.2 when either side is decimal but 15
// between ints. Where such a value is a column, the translation reads
// tsql_column_value(x, 'name'), which gives whole values as decimals when every table holding a
// column of that name declares it decimal, numeric, money or float, and leaves x as it is
// otherwise (no such column, whole-number types, tables that disagree). The schema is read once
// per statement.
#include <string>

struct sqlite3;

namespace adodb::tsql {

// expr read through tsql_column_value when it is a column reference; expr itself otherwise.
std::string DeclaredColumnValue(const std::string& expr);

void RegisterDeclaredColumnValue(sqlite3* db);

}  // namespace adodb::tsql
