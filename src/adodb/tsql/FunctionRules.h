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

// A function call other than CAST, CONVERT and the date-part functions. `name` is as written.
std::string RewriteFunctionCall(std::string_view name, const std::vector<std::string>& args);

// A T-SQL data type as written in CAST/CONVERT: varchar(20), int, decimal(18,2), money ...
struct SqlType {
  std::string name;              // lower case
  std::vector<std::string> size;  // the numbers (or "max") in parentheses
};

// CAST(value AS type) and CONVERT(type, value[, style]).
std::string RewriteConversion(const SqlType& type, const std::string& value, std::optional<std::string> style);

// TRIM(characters FROM text): the characters taken off both ends.
std::string RewriteTrimFrom(const std::string& characters, const std::string& text);

// The conversion that reads text as the value `emitted` is, when that is a call whose result is a
// date ("tsql_date": CAST AS date, EOMONTH, DATEFROMPARTS) or a datetime ("tsql_datetime": CAST AS
// datetime, DATEADD, GETDATE); empty for anything else. The server converts text compared with
// such a value to its type, and writes a datetime as text in its own default way.
std::string_view DateConversionFor(std::string_view emitted);

// A bare word SQLite would read as a value where SQL Server reads something else: TRUE, FALSE,
// CURRENT_DATE and CURRENT_TIME are column names in T-SQL, CURRENT_TIMESTAMP is local GETDATE(),
// not SQLite's UTC time. nullopt for every other word.
std::optional<std::string> RewriteKeywordValue(std::string_view word);

}  // namespace adodb::tsql
