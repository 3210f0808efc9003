#pragma once
// The desktop window of 存量 (FrmStockDistribution): the bill's serial on top, the stock grid
// taking the window's spare room, the row count and the close button below. Read-only: the grid
// cannot be edited, Esc and 关闭 close the window.
#include "qt/FormView.h"

class QTableView;

namespace storeadjust {
class FrmStockDistribution;
}

namespace storeadjust::qt {

class StockDistributionView : public FormView {
  Q_OBJECT

 public:
  StockDistributionView(FrmStockDistribution& form, QWidget* parent = nullptr);

  QTableView* StockView() const { return stock_; }

 private:
  QTableView* stock_ = nullptr;
};

// Registers the view for the form's name, so RunModal shows 存量 in this window.
void RegisterStockDistributionView();

}  // namespace storeadjust::qt
