#pragma once
// Decimal and money columns of the embedded database hold what SQL Server's would: a value
// written into one is rounded to the column's declared scale (5954.4 - 2280 is held as 3674.4,
// not 3674.3999999999996, so balances built by audits and un-audits stay exact), and a value
// beyond the column's range fails the statement with the server's arithmetic-overflow words
// instead of being stored.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Schema.h"

namespace storeadjust::db {

struct DecimalDeclaration {
  int scale = 0;
  std::string outsideRange;  // SQL condition over "{}" (the value) that is true beyond the range
  std::string overflowMessage;
};

// The scale and range of "decimal(p,s)", "numeric(p,s)", "money" and "smallmoney"; nothing for
// any other declaration.
std::optional<DecimalDeclaration> DecimalDeclarationOf(std::string_view declaredType);

// The insert and update triggers of every decimal and money column of the table.
std::vector<std::string> StoredDecimalTriggers(const TableDefinition& table);

}  // namespace storeadjust::db
