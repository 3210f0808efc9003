#pragma once
// Names qualified by a schema (sales.orders, erp.sales.orders): the embedded database is one
// database with one schema, so a table is found by its own name whatever schema qualified it.
// That is sound while a batch names each table under one schema only: the same name under two
// schemas (sales.orders and dbo.orders, or orders, which is dbo.orders) is two tables on SQL
// Server and one here, and is refused naming both.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace adodb::tsql {

class SchemaNames {
 public:
  // Notes that `table` is named under `schema` (empty for an unqualified name: dbo).
  void Note(std::string_view schema, std::string_view table);

 private:
  std::vector<std::pair<std::string, std::string>> seen_;  // table, schema, as first written
};

}  // namespace adodb::tsql
