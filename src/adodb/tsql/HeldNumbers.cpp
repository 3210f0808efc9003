#include "adodb/tsql/HeldNumbers.h"

#include <set>

#include "adodb/TextCompare.h"
#include "adodb/tsql/FunctionRules.h"
#include "adodb/tsql/QuotedName.h"

namespace adodb::tsql {

std::optional<std::string> HeldNumber(std::string_view declared, const std::string& value) {
  declared = Trimmed(declared);
  const std::size_t open = declared.find('(');
  SqlType type{LowerName(Trimmed(declared.substr(0, open))), {}};
  static const std::set<std::string> kNumbers = {"int",     "integer", "smallint", "tinyint", "bigint",
                                                 "bit",     "decimal", "numeric",  "money",   "smallmoney"};
  // A date written as text ('20240305', '2024/3/5') is stored as the server keeps a datetime, in
  // the form every datetime is compared and read in; read as text, as the column's numeric
  // affinity has made '20240305' the number 20240305 by now.
  if (type.name == "datetime" || type.name == "date")
    return open == std::string_view::npos ? std::optional("tsql_" + type.name + "(cast(" + value + " as text))") : std::nullopt;
  if (!kNumbers.contains(type.name)) return std::nullopt;
  if (open != std::string_view::npos) {
    if (!declared.ends_with(')')) return std::nullopt;
    std::string_view sizes = declared.substr(open + 1, declared.size() - open - 2);
    for (std::size_t comma; !sizes.empty(); sizes = comma == std::string_view::npos ? "" : sizes.substr(comma + 1)) {
      comma = sizes.find(',');
      const std::string size(Trimmed(sizes.substr(0, comma)));
      if (size.empty() || size.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
      type.size.push_back(size);
    }
  }
  return RewriteConversion(type, value, std::nullopt);
}

// After the row is written, as the column's affinity made its value: each value that is not what
// the server would hold (2.7 in an int column, 1.005 in a decimal(18,2)) is written again as held,
// and one the type cannot hold fails the statement. Updating the row again fires no trigger of its
// own (recursive triggers are off); an update's values left as they were are not held again.
std::string HeldNumbersTrigger(const std::string& name, const std::string& target, const std::string& table,
                               const std::vector<HeldColumn>& columns, bool update) {
  std::string when, set, updated;
  for (const HeldColumn& column : columns) {
    const std::string value = "new." + QuotedName(column.name, '"');
    const std::string held = *HeldNumber(column.declared, value);
    const std::string unchanged = value + " IS old." + QuotedName(column.name, '"');
    (when += when.empty() ? "" : " OR ") += update ? "(NOT " + unchanged + " AND " + value + " IS NOT " + held + ")"
                                                   : value + " IS NOT " + held;
    (set += set.empty() ? "" : ", ") += QuotedName(column.name, '"') + " = " +
                                        (update ? "CASE WHEN " + unchanged + " THEN " + value + " ELSE " + held + " END" : held);
    (updated += updated.empty() ? "" : ", ") += QuotedName(column.name, '"');
  }
  return "create temp trigger " + QuotedName(name, '"') + " after " + (update ? "update of " + updated : "insert") +
         " on " + target + " when " + when + " begin update " + QuotedName(table, '"') + " set " + set +
         " where rowid = new.rowid; end;";
}

}  // namespace adodb::tsql
