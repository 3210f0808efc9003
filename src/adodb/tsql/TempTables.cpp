#include "adodb/tsql/TempTables.h"

#include <algorithm>
#include <array>

#include "adodb/TextCompare.h"

namespace adodb::tsql {

bool IsTempTableName(std::string_view bare) { return !bare.empty() && bare[0] == '#'; }

std::string CreateTableAs(const std::string& emittedName, std::string_view bareName) {
  return std::string(IsTempTableName(bareName) ? "CREATE TEMP TABLE " : "CREATE TABLE ") + emittedName + " AS ";
}

bool IsTextTypeName(std::string_view word) {
  static constexpr std::array<std::string_view, 6> kTextTypes = {"char", "varchar", "nchar", "nvarchar", "text", "ntext"};
  return std::any_of(kTextTypes.begin(), kTextTypes.end(), [&](std::string_view t) { return SameName(t, word); });
}

}  // namespace adodb::tsql
