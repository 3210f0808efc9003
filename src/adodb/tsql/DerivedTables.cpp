#include "adodb/tsql/DerivedTables.h"

namespace adodb::tsql {

std::string DerivedTableColumns(const std::string& query, const std::vector<std::string>& columns) {
  std::string list;
  for (const std::string& column : columns) list += (list.empty() ? "" : ", ") + column;
  return "WITH tsql_derived(" + list + ") AS (" + query + ") SELECT * FROM tsql_derived";
}

}  // namespace adodb::tsql
