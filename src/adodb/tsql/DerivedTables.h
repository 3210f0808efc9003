#pragma once
// A column list on a derived table, (SELECT ...) AS d (a, b), names the select's columns in
// order. SQLite has no such list on a subquery but has one on a common table, and takes a WITH
// inside a subquery: the derived table becomes
//   (WITH tsql_derived(a, b) AS (SELECT ...) SELECT * FROM tsql_derived) AS d
// whose columns keep the types and collations of the select's own. A count of names other than
// the select's columns is SQLite's error, as it is SQL Server's.
#include <string>
#include <vector>

namespace adodb::tsql {

// The subquery text (without its parentheses) for `query` (translated) under `columns` (as written).
std::string DerivedTableColumns(const std::string& query, const std::vector<std::string>& columns);

}  // namespace adodb::tsql
