#include "browse/FrmStockDistribution.h"

#include "adodb/Variant.h"
#include "host/CellText.h"
#include "host/KeyCodes.h"
#include "host/NumberHelpers.h"

namespace storeadjust {

namespace {

// 金额 holds only the stock of goods kept by amount only, which have no quantity. 单位 is the unit
// 数量 and the places count in (the goods' base unit): 500 of 克 and 500 of 千克 look alike without it.
constexpr const char* kHeaders[] = {"货号", "品名", "仓库编号", "仓库名称", "批号", "批次",
                                    "数量", "效期", "货位", "金额", "单位"};
constexpr long kQuantityCol = 6;
constexpr long kAmountCol = 9;

}  // namespace

FrmStockDistribution::FrmStockDistribution(const std::string& lsh, const std::vector<StockHolding>& holdings,
                                           NumberPlaces places)
    : FormModel("FrmStockDistribution") {
  Caption = "库存分布";
  AddControl("LblLSH", ControlKind::Label, "流水号:");
  AddControl("TxtLSH", ControlKind::TextBox);
  SetText("TxtLSH", lsh);
  SetLocked("TxtLSH", true);
  AddControl(kGrid, ControlKind::Grid);
  AddControl("StatusBar1", ControlKind::StatusPanel);
  AddControl("Cmd_Close", ControlKind::Button, "关闭");
  FillGrid(holdings, places);
  SetText("StatusBar1", holdings.empty() ? std::string("此单据的商品在各仓库都没有库存")
                                         : "共 " + std::to_string(holdings.size()) + " 条库存记录");
}

void FrmStockDistribution::FillGrid(const std::vector<StockHolding>& holdings, NumberPlaces places) {
  grid_.SetCols(static_cast<long>(std::size(kHeaders)));
  grid_.SetRows(static_cast<long>(holdings.size()) + 1);
  for (long col = 0; col < grid_.Cols(); ++col) grid_.SetTextMatrix(0, col, kHeaders[col]);
  grid_.SetColAlignment(kQuantityCol, GridModel::Alignment::Right);
  grid_.SetColAlignment(kAmountCol, GridModel::Alignment::Right);
  long row = 1;
  for (const StockHolding& holding : holdings) {
    const bool byAmount = holding.amount.has_value();
    const std::string quantity = byAmount && holding.quantity == 0 ? "" : adodb::FormatNumber(holding.quantity);
    const std::string amount = byAmount ? NumberWithPlaces(*holding.amount, 2) : "";
    const std::string cells[] = {holding.goodsNumber, holding.goodsName, holding.warehouseId, holding.warehouseName,
                                 holding.batch,       holding.batchLine, quantity,
                                 CellText(holding.expiry, CellDates::DayOnly), holding.goodsPlaces, amount,
                                 byAmount && holding.quantity == 0 ? "" : holding.unit};
    for (long col = 0; col < grid_.Cols(); ++col) grid_.SetTextMatrix(row, col, cells[col]);
    ++row;
  }
  ShowNumberPlaces(grid_, places);
  grid_.Row = grid_.Rows() > 1 ? 1 : 0;
}

void FrmStockDistribution::FormLoad() { SetFocus(kGrid); }

void FrmStockDistribution::Click(const std::string& name) {
  Control(name);  // an unknown name is an error
  if (name == "Cmd_Close") Close();
  NotifyChanged();
}

void FrmStockDistribution::FormKeyDown(int& keyCode, int shift) {
  (void)shift;
  // 关闭 reached with Tab takes Enter as a click, as every button of the module does: the window
  // lets a default button take no Enter, and the clerk's Enter on it went nowhere.
  if (keyCode == key::kReturn && KeyControl() == "Cmd_Close") {
    keyCode = 0;
    Close();
    return;
  }
  if (keyCode != key::kEscape) return;
  keyCode = 0;
  Close();
}

}  // namespace storeadjust
