#include "editor/WarehouseLookup.h"

#include <vector>

#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

// The two sides' conditions differ in spacing only; both are kept as the statements were
// always written, since sites' list templates receive them.
std::string WholeWarehouseListCondition(WarehouseSide side, const std::string& other, const std::string& scope) {
  const char* notOther = side == WarehouseSide::Out ? " and id <> '" : " and id<>'";
  return notOther + QuoteSql(other) + "' " + scope;
}

std::string ExactWarehouseCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                    const std::string& scope) {
  (void)side;
  return " and id ='" + QuoteSql(typed) + "' and id<>'" + QuoteSql(other) + "' " + scope;
}

std::string WarehousePrefixCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                     const std::string& scope) {
  const char* notOther = side == WarehouseSide::Out ? " and id <>'" : "  and id<>'";
  return notOther + QuoteSql(other) + "' and KM5 like '" + QuoteSql(typed) + "%' " + scope;
}

namespace {

WarehouseChoice Choose(Session& session, const std::string& listSql, const std::string& condition) {
  const std::vector<adodb::Variant> row =
      SelectFromList(session, ReplaceAll(listSql, "[选择条件]", condition), false, {"仓库"});
  if (row.size() < 3 || row[0].AsDouble() <= 0) return {};
  return {true, row[1].TextOrEmpty(), row[2].TextOrEmpty()};
}

}  // namespace

WarehouseChoice LookUpWarehouse(Session& session, const std::string& listSql, WarehouseSide side,
                                const std::string& typed, const std::string& other, const std::string& scope) {
  if (typed.empty()) return Choose(session, listSql, WholeWarehouseListCondition(side, other, scope));
  // The exact match is taken as stored: what was typed may differ from it in case or trailing
  // blanks, which the database ignores and the same-warehouse test must not.
  WarehouseChoice exact = Choose(session, listSql, ExactWarehouseCondition(side, typed, other, scope));
  if (exact.found) return exact;
  return Choose(session, listSql, WarehousePrefixCondition(side, typed, other, scope));
}

}  // namespace storeadjust
