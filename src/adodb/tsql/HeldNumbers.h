#pragma once
// Numbers stored as their columns' declared types hold them, as SQL Server stores them: a
// temporary trigger after each insert and update writes a value again as CAST to the column's type
// gives it (2.7 in an int column is 2, 1.005 in a decimal(18,2) is 1.01), or fails the statement
// with CAST's error when the type cannot hold it. Used for the tables of the database
// (TextLengths.h) and for the temp tables and table variables a batch makes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adodb::tsql {

struct HeldColumn {
  std::string name;
  std::string declared;  // as the table declares it: int, decimal(18,2), money ...
};

// The conversion CAST makes of `value` to a declared number type (int, smallint, tinyint, bigint,
// bit, decimal(p,s), numeric, money, smallmoney), or to datetime or date, which hold a date
// written as text in their stored form; nothing for other types.
std::optional<std::string> HeldNumber(std::string_view declared, const std::string& value);

// CREATE TEMP TRIGGER `name` AFTER INSERT (or UPDATE OF the columns) ON `target` (main."t",
// "#t") that holds the columns of `table`, SQL text ending in ';'.
std::string HeldNumbersTrigger(const std::string& name, const std::string& target, const std::string& table,
                               const std::vector<HeldColumn>& columns, bool update);

}  // namespace adodb::tsql
