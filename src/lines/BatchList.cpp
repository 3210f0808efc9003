#include "lines/BatchList.h"

#include <utility>

#include "adodb/TextCompare.h"
#include "adodb/Variant.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

std::string BuiltInList(bool showZeroStock) {
  const std::string list =
      "select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh =";
  return list + "?" + (showZeroStock ? " and stockid =" : " and sl > 0 and stockid =") + "?";
}

std::string TemplateCondition(bool showZeroStock) {
  return showZeroStock ? " where hh =? and stockid =? " : " where hh =? AND sl > 0  and stockid =? ";
}

}  // namespace

BoundSql BatchList(const std::string& batchSelectSql, const std::string& hh, const std::string& outWarehouse,
                   bool showZeroStock, double unitCoefficient) {
  const adodb::BoundValues pair{adodb::BoundText(hh), adodb::BoundText(outWarehouse)};
  if (adodb::Trimmed(batchSelectSql).empty()) return {BuiltInList(showZeroStock), pair};
  BoundSql query = FillSelectCondition(batchSelectSql, {TemplateCondition(showZeroStock), pair});
  const std::string coefficient = unitCoefficient == 0 ? "1" : adodb::FormatNumber(unitCoefficient);
  query.text = ReplaceAll(std::move(query.text), "[系数]", coefficient);
  return query;
}

}  // namespace storeadjust
