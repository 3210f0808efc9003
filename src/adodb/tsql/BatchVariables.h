#pragma once
// The variables of one batch as the translator sees them: DECLARE gives a name its type, every
// later statement of the batch may read or assign it. A value is read as tsql_variable('@x') and
// assigned through tsql_assign, converted to the declared type as SQL Server converts on
// assignment (see VariableStore.h for the functions, FunctionRules.h for the conversions).
// Refused: a name read or assigned before its DECLARE, one declared twice, a table variable
// read as a value, and system variables (@@ROWCOUNT, @@IDENTITY ...), whose values the embedded database does
// not keep as SQL Server does.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "adodb/tsql/FunctionRules.h"

namespace adodb::tsql {

class BatchVariables {
 public:
  // A character type without a length is one character long in a DECLARE, as in SQL Server.
  void Declare(std::string_view name, SqlType type);
  // DECLARE @t TABLE (...): the name is the batch's table, to be read where a table stands.
  void DeclareTable(std::string_view name);
  bool IsTable(std::string_view name) const;
  std::vector<std::string> TableNames() const;  // lower case, in the order declared
  // tsql_variable('@x') for a declared variable.
  std::string Read(std::string_view name) const;
  // `value` (translated) as the declared type of `name` converts it.
  std::string Converted(std::string_view name, const std::string& value) const;

 private:
  const SqlType& TypeOf(std::string_view name) const;

  std::vector<std::pair<std::string, SqlType>> declared_;  // lower-case name, type
};

// The select list that assigns each (name, converted value) in turn, left to right, its first
// column named so that the caller skips the rows (see VariableStore.h).
std::string AssignmentList(const std::vector<std::pair<std::string, std::string>>& assignments);

}  // namespace adodb::tsql
