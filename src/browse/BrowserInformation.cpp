// 存量, 编码 and 关于 of the browser: what a clerk may look up without changing anything.
#include "browse/FrmStoreAdjuctBillBrow.h"

#include <exception>

#include "adodb/Error.h"
#include "browse/FrmStockDistribution.h"
#include "browse/StockDistribution.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/ModuleVersion.h"
#include "host/OperatorScope.h"
#include "host/UserInterface.h"

namespace storeadjust {

namespace {

// The serial of the list's current row; empty when no bill is highlighted.
std::string HighlightedSerial(const std::shared_ptr<adodb::Recordset>& list) {
  if (!list || list->State() != adodb::adStateOpen || list->RecordCount() == 0 || list->BOF() || list->EOF()) {
    return {};
  }
  return list->Value("流水号").TextOrEmpty();
}

}  // namespace

void FrmStoreAdjuctBillBrow::ShowStockDistribution() {
  std::string lsh;
  StockDistribution distribution;
  try {
    lsh = HighlightedSerial(rsMain_);
    if (lsh.empty()) {
      ShowInformation("没有选中的单据，请先在列表中选中一张单据再查看库存分布！");
      return;
    }
    BusyPointer busy(*session_.Ui);
    if (!session_.Conn) throw adodb::Error::Closed();
    distribution = ReadStockDistribution(*session_.Conn, lsh, OperatorScopeCondition(session_, "ID", kWarehouseScope));
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
    return;
  }
  // A bill without lines may be one another clerk deleted since the list was read: "no lines"
  // would not tell the clerk it is gone, nor take it off the list.
  if (!distribution.billHasLines) {
    if (RefuseDeletedBill(lsh)) return;
    ShowInformation("流水号为:" + lsh + "的单据没有明细，没有库存分布可看！");
    return;
  }
  FrmStockDistribution window(lsh, distribution.holdings,
                              session_.SysVarRs ? SiteNumberPlaces(*session_.SysVarRs) : NumberPlaces{});
  ShowModal(*session_.Ui, window);
}

void FrmStoreAdjuctBillBrow::ExplainFinanceCode() {
  ShowInformation("仓库调拨单只在仓库之间移动库存，不生成凭证，没有财务编码可查看。");
}

void FrmStoreAdjuctBillBrow::ShowAbout() {
  ShowInformation(std::string(kModuleName) + "\n版本 " + kModuleVersion);
}

}  // namespace storeadjust
