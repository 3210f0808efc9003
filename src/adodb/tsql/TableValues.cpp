#include "adodb/tsql/TableValues.h"

namespace adodb::tsql {

std::string ValuesTable(const std::vector<std::string>& rows, const std::vector<std::string>& columns) {
  std::string sql = "(SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i)
    sql += (i ? ", column" : "column") + std::to_string(i + 1) + " AS " + columns[i];
  sql += " FROM (VALUES ";
  for (std::size_t i = 0; i < rows.size(); ++i) sql += (i ? ", " : "") + rows[i];
  return sql + "))";
}

}  // namespace adodb::tsql
