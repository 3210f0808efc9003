#pragma once
// The dialect's built-in functions and data types, as lookup tables from the T-SQL spelling to
// the SQLite expression that gives SQL Server's result (with the helpers RegisterSqliteFunctions
// installs). Arguments arrive already translated. A function, type, style or date part the
// tables do not hold throws adodb::Error::Unsupported naming it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adodb::tsql {

// A function call other than CAST, CONVERT, DATEADD and DATEDIFF. `name` is as written.
std::string RewriteFunctionCall(std::string_view name, const std::vector<std::string>& args);

// A T-SQL data type as written in CAST/CONVERT: varchar(20), int, decimal(18,2), money ...
struct SqlType {
  std::string name;              // lower case
  std::vector<std::string> size;  // the numbers (or "max") in parentheses
};

// CAST(value AS type) and CONVERT(type, value[, style]).
std::string RewriteConversion(const SqlType& type, const std::string& value, std::optional<std::string> style);

// DATEADD(part, number, date) and DATEDIFF(part, start, end); `part` is the bare word.
std::string RewriteDateAdd(std::string_view part, const std::string& number, const std::string& date);
std::string RewriteDateDiff(std::string_view part, const std::string& start, const std::string& end);

}  // namespace adodb::tsql
