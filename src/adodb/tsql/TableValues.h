#pragma once
// FROM (VALUES (...), (...)) AS v(a, b): SQLite has the VALUES table but names its columns
// column1, column2 ...; the column names T-SQL gives after the alias become a select over it.
#include <string>
#include <vector>

namespace adodb::tsql {

// "(SELECT column1 AS a, ... FROM (VALUES rows))", rows each "(...)" already translated.
std::string ValuesTable(const std::vector<std::string>& rows, const std::vector<std::string>& columns);

}  // namespace adodb::tsql
