#include "editor/GoodsLookup.h"

#include <vector>

#include "host/DataHelpers.h"
#include "host/LenientValues.h"
#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

std::string GoodsBaseStatement(const std::string& goodsSelectSql, const std::string& outWarehouse,
                               bool showZeroStock, const std::string& scope) {
  const std::string inStock = showZeroStock ? "" : " and (b.sjsl > 0 or b.sjlsje<>0)";
  const std::string condition = " and b.fperiod = 0 and b.fyear=0  and b.stockid ='" + QuoteSql(outWarehouse) + "'" +
                                inStock + " and isnull(a.hs_tag,0)=0 [Where条件] " + scope;
  return ReplaceAll(ReplaceAll(goodsSelectSql, "[选择条件]", condition), "[客户编号]", "''");
}

std::string WithGoodsCondition(const std::string& baseStatement, const std::string& condition) {
  return ReplaceAll(ReplaceAll(baseStatement, "[Where条件]", condition), "[Where条件]", " ");
}

std::string ExactGoodsCondition(const std::string& hh) {
  return " and a.hh ='" + QuoteSql(hh) + "' and isnull(a.hs_tag,0)=0 ";
}

std::string GoodsPatternCondition(const std::string& typed, bool matchMnemonicAnywhere) {
  if (typed == "*") return " ";
  const bool starFirst = !typed.empty() && typed.front() == '*';
  const bool starLast = !typed.empty() && typed.back() == '*';
  if (starFirst && starLast) return " and a.hh like '%" + QuoteSql(typed.substr(1, typed.size() - 2)) + "%'";
  if (starFirst) return " and a.hh like '%" + QuoteSql(typed.substr(1)) + "'";
  if (starLast) return " and a.hh like '" + QuoteSql(typed.substr(0, typed.size() - 1)) + "%'";
  if (matchMnemonicAnywhere) return " and a.pm_zjm like '%" + QuoteSql(typed) + "%'";
  return " and a.pm_zjm like '" + QuoteSql(typed) + "%'";
}

namespace {

std::optional<GoodsPick> PickFrom(Session& session, const std::string& statement, bool exact,
                                  long* rowsListed = nullptr) {
  const std::vector<adodb::Variant> row = SelectFromList(session, statement, false, {"商品"}, rowsListed);
  if (row.size() < 2 || NumberOrZero(row[0]) <= 0) return std::nullopt;
  return GoodsPick{row[1].TextOrEmpty(), exact};
}

}  // namespace

std::optional<GoodsPick> FindTypedGoods(Session& session, const std::string& baseStatement, const std::string& typed,
                                        bool matchMnemonicAnywhere, bool* nothingMatched) {
  if (nothingMatched) *nothingMatched = false;
  if (typed != "*") {
    if (auto exact = PickFrom(session, WithGoodsCondition(baseStatement, ExactGoodsCondition(typed)), true)) return exact;
  }
  long listed = 0;
  auto pick = PickFrom(session, WithGoodsCondition(baseStatement, GoodsPatternCondition(typed, matchMnemonicAnywhere)),
                       false, &listed);
  if (nothingMatched) *nothingMatched = listed == 0;
  return pick;
}

std::optional<GoodsPick> FindGoodsFromList(Session& session, const std::string& baseStatement) {
  return PickFrom(session, WithGoodsCondition(baseStatement, ""), false);
}

}  // namespace storeadjust
