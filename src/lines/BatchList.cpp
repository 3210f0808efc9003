#include "lines/BatchList.h"

#include <functional>
#include <utility>

#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/SelectTemplates.h"
// Only for BatchListStatement: the list dialog (host/SelectDialog) takes no values yet.
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

constexpr const char* kConditionToken = "[选择条件]";

// How the goods and the warehouse stand in the statement: a ? mark or a quoted literal.
using ValueWriter = std::function<std::string(const std::string&)>;

std::string BuiltInList(const std::string& goods, const std::string& warehouse, bool showZeroStock) {
  const std::string list =
      "select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh =";
  return list + goods + (showZeroStock ? " and stockid =" : " and sl > 0 and stockid =") + warehouse;
}

std::string TemplateCondition(const std::string& goods, const std::string& warehouse, bool showZeroStock) {
  return showZeroStock ? " where hh =" + goods + " and stockid =" + warehouse + " "
                       : " where hh =" + goods + " AND sl > 0  and stockid =" + warehouse + " ";
}

// The goods then the warehouse as `write` puts them in the statement, written in that order
// (a call's arguments are worked out in no set order).
std::pair<std::string, std::string> Written(const ValueWriter& write, const std::string& hh,
                                            const std::string& outWarehouse) {
  std::string goods = write(hh);
  return {std::move(goods), write(outWarehouse)};
}

// The statement, with each place a value stands written by `write`, left to right.
std::string Statement(const std::string& batchSelectSql, const std::string& hh, const std::string& outWarehouse,
                      bool showZeroStock, double unitCoefficient, const ValueWriter& write) {
  if (adodb::Trimmed(batchSelectSql).empty()) {
    const auto [goods, warehouse] = Written(write, hh, outWarehouse);
    return BuiltInList(goods, warehouse, showZeroStock);
  }
  std::string statement = batchSelectSql;
  for (std::size_t at = statement.find(kConditionToken); at != std::string::npos;
       at = statement.find(kConditionToken, at)) {
    const auto [goods, warehouse] = Written(write, hh, outWarehouse);
    const std::string condition = TemplateCondition(goods, warehouse, showZeroStock);
    statement.replace(at, std::string(kConditionToken).size(), condition);
    at += condition.size();
  }
  const std::string coefficient = unitCoefficient == 0 ? "1" : adodb::FormatNumber(unitCoefficient);
  return ReplaceAll(std::move(statement), "[系数]", coefficient);
}

}  // namespace

BatchListQuery BoundBatchList(const std::string& batchSelectSql, const std::string& hh, const std::string& outWarehouse,
                              bool showZeroStock, double unitCoefficient) {
  BatchListQuery query;
  query.statement =
      Statement(batchSelectSql, hh, outWarehouse, showZeroStock, unitCoefficient, [&query](const std::string& value) {
        query.values.push_back(adodb::BoundText(value));
        return std::string("?");
      });
  return query;
}

std::string BatchListStatement(const std::string& batchSelectSql, const std::string& hh,
                               const std::string& outWarehouse, bool showZeroStock, double unitCoefficient) {
  return Statement(batchSelectSql, hh, outWarehouse, showZeroStock, unitCoefficient, SqlText);
}

}  // namespace storeadjust
