#include "browse/BillListQuery.h"

#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

// A bill whose warehouse was removed from gl_stock is still listed (left joins), with the
// missing warehouse's name marked: hidden, no command of the browser could reach it, and its
// stock would still move when it is audited.
const std::string kFromClause =
    " From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id ";

// The name of the warehouse joined as `alias`, or the mark of one that is gone.
std::string WarehouseName(const char* alias) {
  return std::string("case when ") + alias + ".id is null then '[仓库已删除]' else " + alias + ".name end";
}

const std::string kTwoStepDefault =
    "Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号," + WarehouseName("b") +
    " as 拨出仓库名称,a.drstockid as 拨入仓库编号," + WarehouseName("d") +
    " as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.PRESHBZ AS 审核标志,A.PRESHRY AS 审核人员,A.SHBZ AS "
    "确认标志,A.SHRY AS 确认人员 " +
    kFromClause + "Where A.JZBZ = 0 [选择条件] Order By A.LSH";

const std::string kOneStepDefault =
    "Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号," + WarehouseName("b") +
    " as 拨出仓库名称,a.drstockid as 拨入仓库编号," + WarehouseName("d") +
    " as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.SHBZ AS 审核标志,A.SHRY AS 审核人员 " + kFromClause +
    "Where A.JZBZ=0 [选择条件] Order By A.LSH";

}  // namespace

const char* BrowserTemplateName(BrowserLayout layout) {
  return layout == BrowserLayout::TwoStep ? "仓库调拨浏览1" : "仓库调拨浏览2";
}

const std::string& DefaultBrowserTemplate(BrowserLayout layout) {
  return layout == BrowserLayout::TwoStep ? kTwoStepDefault : kOneStepDefault;
}

std::string CompleteBrowserTemplate(const std::string& stored, const std::string& optCode, BrowserLayout layout) {
  std::string completed = SubstituteTemplateValue(stored, "[操作人员编号]", optCode);
  return completed.empty() ? DefaultBrowserTemplate(layout) : completed;
}

// A template written without "[选择条件]" has nowhere to take a condition: it would list every
// operator's bills to a clerk whose scope is his own, and a find would change nothing. The
// built-in list, which takes it, is read instead.
BoundSql BuildBrowserListQuery(const std::string& completedTemplate, const BoundSql& filter, BrowserLayout layout) {
  BoundSql condition;
  if (!filter.text.empty()) {
    condition = {(layout == BrowserLayout::TwoStep ? "   " : "  ") + filter.text + " ", filter.values};
  }
  const bool takesCondition = completedTemplate.find("[选择条件]") != std::string::npos;
  return FillSelectCondition(takesCondition || filter.text.empty() ? completedTemplate : DefaultBrowserTemplate(layout),
                             condition);
}

}  // namespace storeadjust
