#include "editor/WarehouseLookup.h"

#include <vector>

#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

// The two sides' conditions differ in spacing only; both are kept as the statements were
// always written, since sites' list templates receive them.
BoundSql WholeWarehouseListCondition(WarehouseSide side, const std::string& other, const std::string& scope) {
  const char* notOther = side == WarehouseSide::Out ? " and id <> ?" : " and id<>?";
  return {notOther + std::string(" ") + scope, {adodb::BoundText(other)}};
}

BoundSql ExactWarehouseCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                 const std::string& scope) {
  (void)side;
  return {" and id =? and id<>? " + scope, {adodb::BoundText(typed), adodb::BoundText(other)}};
}

BoundSql WarehousePrefixCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                  const std::string& scope) {
  const char* notOther = side == WarehouseSide::Out ? " and id <>?" : "  and id<>?";
  return {notOther + std::string(" and KM5 like ? ") + scope, {adodb::BoundText(other), adodb::BoundText(typed + "%")}};
}

namespace {

WarehouseChoice Choose(Session& session, const std::string& listSql, const BoundSql& condition) {
  const BoundSql statement = FillSelectCondition(listSql, condition);
  const std::vector<adodb::Variant> row = SelectFromList(session, statement.text, false, {"仓库"}, nullptr, statement.values);
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
