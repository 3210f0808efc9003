#include "browse/FrmStockDistribution.h"

#include "adodb/Variant.h"
#include "host/CellText.h"
#include "host/KeyCodes.h"

namespace storeadjust {

namespace {

constexpr const char* kHeaders[] = {"货号", "品名", "仓库编号", "仓库名称", "批号", "批次", "数量", "效期", "货位"};
constexpr long kQuantityCol = 6;

}  // namespace

FrmStockDistribution::FrmStockDistribution(const std::string& lsh, const std::vector<StockHolding>& holdings)
    : FormModel("FrmStockDistribution") {
  Caption = "库存分布";
  AddControl("LblLSH", ControlKind::Label, "流水号:");
  AddControl("TxtLSH", ControlKind::TextBox);
  SetText("TxtLSH", lsh);
  SetLocked("TxtLSH", true);
  AddControl(kGrid, ControlKind::Grid);
  AddControl("StatusBar1", ControlKind::StatusPanel);
  AddControl("Cmd_Close", ControlKind::Button, "关闭");
  FillGrid(holdings);
  SetText("StatusBar1", holdings.empty() ? std::string("此单据的商品在各仓库都没有库存")
                                         : "共 " + std::to_string(holdings.size()) + " 条库存记录");
}

void FrmStockDistribution::FillGrid(const std::vector<StockHolding>& holdings) {
  grid_.SetCols(static_cast<long>(std::size(kHeaders)));
  grid_.SetRows(static_cast<long>(holdings.size()) + 1);
  for (long col = 0; col < grid_.Cols(); ++col) grid_.SetTextMatrix(0, col, kHeaders[col]);
  grid_.SetColAlignment(kQuantityCol, GridModel::Alignment::Right);
  long row = 1;
  for (const StockHolding& holding : holdings) {
    const std::string cells[] = {holding.goodsNumber, holding.goodsName, holding.warehouseId, holding.warehouseName,
                                 holding.batch,       holding.batchLine, adodb::FormatNumber(holding.quantity),
                                 CellText(holding.expiry, CellDates::DayOnly), holding.goodsPlaces};
    for (long col = 0; col < grid_.Cols(); ++col) grid_.SetTextMatrix(row, col, cells[col]);
    ++row;
  }
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
  if (keyCode != key::kEscape) return;
  keyCode = 0;
  Close();
}

}  // namespace storeadjust
