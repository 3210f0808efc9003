#include "db/DecimalColumns.h"

#include <cctype>
#include <cstdio>

#include "adodb/TextCompare.h"

namespace storeadjust::db {
namespace {

constexpr const char* kNumericOverflow = "Arithmetic overflow error converting numeric to data type numeric.";
constexpr const char* kMoneyOverflow = "Arithmetic overflow error converting expression to data type money.";

std::string Replaced(std::string pattern, const std::string& value) {
  for (std::size_t at = pattern.find("{}"); at != std::string::npos; at = pattern.find("{}", at + value.size())) {
    pattern.replace(at, 2, value);
  }
  return pattern;
}

// "(18,4)" after the type name; precision 18 and scale 0 when it is left out, as the server takes it.
DecimalDeclaration DecimalOfPrecision(std::string_view arguments) {
  int precision = 18, scale = 0;
  const std::string text(arguments);
  std::sscanf(text.c_str(), " ( %d , %d", &precision, &scale);
  DecimalDeclaration declaration;
  declaration.scale = scale;
  // Not abs(): it overflows on the smallest 64-bit integer, which decimal(19,0) holds.
  const std::string limit = "1e" + std::to_string(precision - scale);
  declaration.outsideRange = "({} >= " + limit + " or {} <= -" + limit + ")";
  declaration.overflowMessage = kNumericOverflow;
  return declaration;
}

// Where SQLite's round() is exact: it writes the value with 16 significant digits, so a larger
// value (123456789012345.67 at two places came back as 123456789012345.5) is kept as it was
// bound, already at its scale, and a 64-bit whole number is never made a double.
std::string RoundableRange(int scale) {
  const std::string limit = "1e" + std::to_string(15 - scale);
  return "({} < " + limit + " and {} > -" + limit + ")";
}

}  // namespace

std::optional<DecimalDeclaration> DecimalDeclarationOf(std::string_view declaredType) {
  const std::string_view type = adodb::Trimmed(declaredType);
  if (adodb::SameName(type, "money")) {
    return DecimalDeclaration{4, "({} > 922337203685477.5807 or {} < -922337203685477.5808)", kMoneyOverflow};
  }
  if (adodb::SameName(type, "smallmoney")) {
    return DecimalDeclaration{4, "({} > 214748.3647 or {} < -214748.3648)", kMoneyOverflow};
  }
  for (std::string_view name : {"decimal", "numeric"}) {
    if (adodb::StartsWithName(type, name)) return DecimalOfPrecision(type.substr(name.size()));
  }
  return std::nullopt;
}

// After the row is written, so the value is the one the column's affinity made of it; updating
// the row again fires no trigger (recursive triggers are off).
std::vector<std::string> StoredDecimalTriggers(const TableDefinition& table) {
  std::vector<std::string> triggers;
  for (const auto& column : table.columns) {
    const auto declaration = DecimalDeclarationOf(column.type);
    if (!declaration) continue;
    const std::string value = std::string("new.") + column.name;
    const std::string roundable = Replaced(RoundableRange(declaration->scale), value);
    const std::string rounded = "round(" + value + ", " + std::to_string(declaration->scale) + ")";
    const std::string when = " when typeof(" + value + ") in ('integer', 'real') and ((" + roundable + " and " + value +
                             " <> " + rounded + ") or " + Replaced(declaration->outsideRange, value) + ")";
    const std::string kept = "(case when " + roundable + " then " + rounded + " else " + value + " end)";
    const std::string body = " begin select raise(abort, '" + declaration->overflowMessage + "') where " +
                             Replaced(declaration->outsideRange, kept) + "; update " + table.name + " set " +
                             column.name + " = " + kept + " where rowid = new.rowid; end";
    const std::string name = std::string(table.name) + "_" + column.name + "_declared_scale";
    triggers.push_back("create trigger " + name + "_on_insert after insert on " + table.name + when + body);
    triggers.push_back("create trigger " + name + "_on_update after update of " + column.name + " on " + table.name +
                       when + body);
  }
  return triggers;
}

}  // namespace storeadjust::db
