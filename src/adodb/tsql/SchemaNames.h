#pragma once
// Names qualified by a schema (sales.orders, erp.sales.orders): the embedded database is one
// database with one schema, so a table is found by its own name whatever schema qualified it.
// That is sound while a batch names each table under one schema only: the same name under two
// schemas (sales.orders and dbo.orders, or orders, which is dbo.orders) is two tables on SQL
// Server and one here, and is refused naming both.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace adodb::tsql {

class SchemaNames {
 public:
  // Notes that `table` is named under `schema` (empty for an unqualified name: dbo).
  void Note(std::string_view schema, std::string_view table);

 private:
  struct Seen {
    std::string table, schema;  // as first written
  };
  // Whether `table` was seen: refused when under another schema.
  static bool Matches(const Seen& seen, std::string_view schema, std::string_view table);

  // A batch names a few tables: they are kept in place, so a statement's list takes no heap
  // block; more go to a list of their own.
  static constexpr std::size_t kInPlace = 4;
  std::array<Seen, kInPlace> first_;
  std::size_t inPlace_ = 0;
  std::vector<Seen> more_;
};

}  // namespace adodb::tsql
