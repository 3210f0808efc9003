#include "editor/GoodsLookup.h"

#include <vector>

#include "host/DataHelpers.h"
#include "host/LenientValues.h"
#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

BoundSql GoodsBaseStatement(const std::string& goodsSelectSql, const std::string& outWarehouse, bool showZeroStock,
                            const std::string& scope) {
  const std::string inStock = showZeroStock ? "" : " and (b.sjsl > 0 or b.sjlsje<>0)";
  const BoundSql condition{" and b.fperiod = 0 and b.fyear=0  and b.stockid =?" + inStock +
                               " and isnull(a.hs_tag,0)=0 [Where条件] " + scope,
                           {adodb::BoundText(outWarehouse)}};
  BoundSql statement = FillSelectCondition(goodsSelectSql, condition);
  statement.text = ReplaceAll(statement.text, "[客户编号]", "''");
  return statement;
}

BoundSql WithGoodsCondition(const BoundSql& baseStatement, const BoundSql& condition) {
  return FillPlaceholder(baseStatement, "[Where条件]", condition);
}

BoundSql ExactGoodsCondition(const std::string& hh) {
  return {" and a.hh =? and isnull(a.hs_tag,0)=0 ", {adodb::BoundText(hh)}};
}

namespace {

BoundSql Like(const char* column, std::string pattern) {
  return {std::string(" and ") + column + " like ?", {adodb::BoundText(std::move(pattern))}};
}

}  // namespace

BoundSql GoodsPatternCondition(const std::string& typed, bool matchMnemonicAnywhere) {
  if (typed == "*") return {" ", {}};
  const bool starFirst = !typed.empty() && typed.front() == '*';
  const bool starLast = !typed.empty() && typed.back() == '*';
  if (starFirst && starLast) return Like("a.hh", "%" + typed.substr(1, typed.size() - 2) + "%");
  if (starFirst) return Like("a.hh", "%" + typed.substr(1));
  if (starLast) return Like("a.hh", typed.substr(0, typed.size() - 1) + "%");
  if (matchMnemonicAnywhere) return Like("a.pm_zjm", "%" + typed + "%");
  return Like("a.pm_zjm", typed + "%");
}

namespace {

std::optional<GoodsPick> PickFrom(Session& session, const BoundSql& statement, bool exact,
                                  long* rowsListed = nullptr) {
  const std::vector<adodb::Variant> row =
      SelectFromList(session, statement.text, false, {"商品"}, rowsListed, statement.values);
  if (row.size() < 2 || NumberOrZero(row[0]) <= 0) return std::nullopt;
  return GoodsPick{row[1].TextOrEmpty(), exact};
}

}  // namespace

std::optional<GoodsPick> FindTypedGoods(Session& session, const BoundSql& baseStatement, const std::string& typed,
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

bool GoodsOffered(Session& session, const BoundSql& baseStatement, const std::string& hh) {
  const BoundSql statement = WithGoodsCondition(baseStatement, ExactGoodsCondition(hh));
  auto rs = OpenRsReadOnly(session, statement.text, statement.values);
  return rs && rs->RecordCount() > 0;
}

std::optional<GoodsPick> FindGoodsFromList(Session& session, const BoundSql& baseStatement) {
  return PickFrom(session, WithGoodsCondition(baseStatement, {}), false);
}

}  // namespace storeadjust
